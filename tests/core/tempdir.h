#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace vodavav::test {

// A fresh directory under the system's temporary directory, removed with all it holds. It is
// open to every user (0755), so that a child process running as an unprivileged user can reach
// what lies inside.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vodavav-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary directory");
        }
        m_path = pattern;
        std::filesystem::permissions(m_path, std::filesystem::perms(0755));
    }
    ~TempDir() {
        // Tests take permissions away; give them back so that everything can be removed.
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (!it->is_symlink(ec)) {
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ec);
            }
        }
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // The full path of name inside the directory; name may hold any bytes but "/" and NUL.
    std::string operator/(std::string_view name) const { return m_path + "/" + std::string(name); }

    // Creates (or replaces) a regular file and returns its full path.
    std::string file(std::string_view name, std::string_view content = "") const {
        const std::string full = *this / name;
        std::ofstream out(full, std::ios::binary | std::ios::trunc);
        out << content;
        if (!out.flush()) {
            throw std::runtime_error("cannot write " + full);
        }
        return full;
    }
    // Creates a directory (and any missing parents) and returns its full path.
    std::string dir(std::string_view name) const {
        const std::string full = *this / name;
        std::filesystem::create_directories(full);
        return full;
    }

private:
    std::string m_path;
};

} // namespace vodavav::test
