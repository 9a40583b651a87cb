#include "scratch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vodavav::fuzz {

namespace {

struct Scratch {
    Scratch() {
        const fs::path base = fs::is_directory("/dev/shm") && ::access("/dev/shm", W_OK) == 0
                                  ? fs::path("/dev/shm")
                                  : fs::temp_directory_path();
        std::string pattern = (base / "vodavav-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("vodavav-fuzz: mkdtemp");
            std::abort();
        }
        path = pattern;
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string path;
};

} // namespace

const std::string& scratchDirectory() {
    static const Scratch scratch;
    return scratch.path;
}

void writeWhole(const std::string& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out.flush()) {
        finding("cannot write the scratch file", path);
    }
}

void finding(std::string_view what, std::string_view detail) {
    std::fprintf(stderr, "vodavav-fuzz: %.*s\n%.*s\n", static_cast<int>(what.size()), what.data(),
                 static_cast<int>(detail.size()), detail.data());
    std::abort();
}

} // namespace vodavav::fuzz
