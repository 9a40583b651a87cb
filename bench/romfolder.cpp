#include "romfolder.h"

#include "temporarydirectory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace vodavav::bench {

namespace {

constexpr std::array<std::string_view, 32> kWords{
    "Alpha",  "Blaster", "Castle", "Dragon",  "Eagle",  "Fantasy", "Galaxy", "Hero",
    "Island", "Jungle",  "Knight", "Legend",  "Master", "Ninja",   "Ocean",  "Power",
    "Quest",  "Racer",   "Super",  "Thunder", "Ultra",  "Venture", "Wonder", "Xeno",
    "Yeti",   "Zone",    "Kid",    "World",   "Strike", "Rally",   "Tennis", "Golf",
};
constexpr std::array<std::string_view, 6> kTags{"",         " (Europe)", " (USA)",
                                                " (Japan)", " [!]",      " (World) (Rev 1)"};
// Each system's extension in the letter cases ROM collections really use.
constexpr std::array<std::array<std::string_view, 4>, 5> kRomExtensions{{
    {".sms", ".SMS", ".Sms", ".sMs"},
    {".gg", ".GG", ".Gg", ".gG"},
    {".sg", ".SG", ".Sg", ".sG"},
    {".sc", ".SC", ".Sc", ".sC"},
    {".rom", ".ROM", ".Rom", ".rOM"},
}};
// Names no mask takes, some of them close to a ROM's.
constexpr std::array<std::string_view, 10> kOtherExtensions{
    ".txt", ".zip", ".nfo", ".png", ".sav", ".smsx", ".sm", ".ggg", ".romx", ""};

std::string base36(std::size_t n) {
    std::string s;
    do {
        s.insert(s.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36]);
        n /= 36;
    } while (n != 0);
    return s;
}

class NameMaker {
public:
    // A stem that no other entry has: a title of one to four words, or an old upper-case
    // eight-letter name, with the entry's number in it.
    std::string stem(std::size_t index) {
        if (pick(5) == 0) {
            std::string s(kWords[pick(kWords.size())].substr(0, 4));
            for (char& c : s) {
                c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
            }
            std::string number = base36(index);
            for (char& c : number) {
                c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
            }
            return s + number;
        }
        std::string s;
        const std::size_t words = 1 + pick(4);
        for (std::size_t w = 0; w < words; ++w) {
            if (w != 0) {
                s += ' ';
            }
            s += kWords[pick(kWords.size())];
        }
        s += ' ';
        s += base36(index);
        s += kTags[pick(kTags.size())];
        return s;
    }

    std::size_t pick(std::size_t n) { return static_cast<std::size_t>(m_engine() % n); }

private:
    std::mt19937 m_engine{20240611u};
};

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

void createFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) {
        fail("cannot create", path);
    }
    ::close(fd);
}

} // namespace

RomFolder::RomFolder(std::size_t count, Mix mix)
    : m_root(makeTemporaryDirectory("vodavav-roms")), m_path(m_root + "/roms") {
    if (::mkdir(m_path.c_str(), 0755) != 0) {
        fail("cannot create", m_path);
    }
    NameMaker names;
    std::vector<std::string> roms;
    auto addRom = [&](std::string name, std::size_t system) {
        m_listed[0] += 1;
        m_listed[system] += 1;
        m_listedNameBytes += name.size();
        roms.push_back(std::move(name));
    };
    const std::string dir = m_path + "/";
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t kind = mix == Mix::RomsOnly ? 0 : names.pick(100);
        const std::size_t system = names.pick(5);
        const std::string_view romExtension = kRomExtensions[system][names.pick(4)];
        std::string name = names.stem(i);
        if (kind < 80) {
            name += romExtension;
            createFile(dir + name);
            addRom(name, system + 1);
        } else if (kind < 90) {
            name += kOtherExtensions[names.pick(kOtherExtensions.size())];
            createFile(dir + name);
        } else if (kind < 94) {
            // Hidden: never listed, whatever the extension.
            name = "." + name + std::string(romExtension);
            createFile(dir + name);
        } else if (kind < 98) {
            if (names.pick(2) == 0) {
                name += romExtension;
            }
            if (::mkdir((dir + name).c_str(), 0755) != 0) {
                fail("cannot create", dir + name);
            }
        } else {
            name += romExtension;
            const std::size_t target = names.pick(10);
            std::string to;
            bool listed = false;
            if (target < 6 && !roms.empty()) {
                to = roms[names.pick(roms.size())];
                listed = true;
            } else if (target < 8) {
                to = "missing-" + base36(i) + ".sms";
            } else {
                to = ".";
            }
            if (::symlink(to.c_str(), (dir + name).c_str()) != 0) {
                fail("cannot create", dir + name);
            }
            if (listed) {
                addRom(name, system + 1);
            }
        }
        ++m_entries;
    }
}

RomFolder::~RomFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_root, ec);
}

} // namespace vodavav::bench
