#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace vodavav::bench {

// A generated folder of ROM files and everything else a real ROM folder holds. It lives one level
// down in a fresh temporary directory, as deep as a ROM folder in a home directory usually is
// (the standard library's directory iteration costs more the more components the path has), and
// is removed with the object. The same count and mix always give the same names.
class RomFolder {
public:
    enum class Mix {
        // Of every 100 entries: 80 ROMs of all five systems with extensions in mixed letter
        // case, 10 other files (some with names close to a ROM's), 4 hidden files, 4
        // subdirectories (half of them named like ROMs) and 2 symbolic links (to ROMs, to a
        // directory, dangling).
        Mixed,
        // Only ROM files, so that every entry is listed under "All Roms".
        RomsOnly,
    };

    RomFolder(std::size_t count, Mix mix);
    ~RomFolder();
    RomFolder(const RomFolder&) = delete;
    RomFolder& operator=(const RomFolder&) = delete;

    const std::string& path() const { return m_path; }
    // Directory entries created, "." and ".." not counted.
    std::size_t entries() const { return m_entries; }
    // What the file list must show under "All Roms" and under each single system (index 1 … 5).
    std::size_t listedAllRoms() const { return m_listed[0]; }
    std::size_t listed(int system) const { return m_listed[static_cast<std::size_t>(system)]; }
    // Sum of the lengths of the names listed under "All Roms".
    std::size_t listedNameBytes() const { return m_listedNameBytes; }

private:
    std::string m_root;
    std::string m_path;
    std::size_t m_entries = 0;
    std::array<std::size_t, 6> m_listed{};
    std::size_t m_listedNameBytes = 0;
};

} // namespace vodavav::bench
