#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vodavav {

// Reading stops here: a settings file is a few kilobytes, and anything far larger is not one.
inline constexpr std::size_t kProfileReadLimit = 16 * 1024 * 1024;

// A profile (INI) file held in memory as its lines, so that writing a value changes that one
// line and keeps everything else as it was: unknown keys and sections, comments, order, line
// endings and a byte-order mark.
//
// The format: "[name]" opens a section; "key=value" holds a value; a line starting with ";" is a
// comment. Section and key names match ignoring ASCII letter case; blanks (spaces and tabs)
// around names and values are dropped and one pair of double quotes around a whole value is
// removed. LF and CRLF lines both read. The first of duplicate keys wins.
class ProfileFile {
public:
    ProfileFile() = default;
    explicit ProfileFile(std::string_view text);

    // The value under section and key; none when absent.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Stores value: the key's line is replaced in place, a new key goes after the last line of
    // its section, a new section at the end of the file. A value with leading or trailing
    // blanks or enclosed in double quotes is written quoted, so it reads back as given. A value
    // or name holding a line break cannot be stored: returns false and changes nothing.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);

    // The whole file as it would be written.
    std::string text() const;

    // Replaces the content with the file's, read through symbolic links; a missing file reads
    // as empty. Only a regular file is read, and at most kProfileReadLimit bytes of it. Returns
    // the reason when the file cannot be read, and is then empty.
    [[nodiscard]] std::optional<std::string> read(const std::filesystem::path& file);
    // The last read stopped at kProfileReadLimit; write() then refuses to cut the file.
    bool partial() const { return m_partial; }

    // Replaces the file with text() at once: a temporary file beside it, forced to disk, renamed
    // over it, with the old file's permission bits. A symbolic link is written through to its
    // target. A file that is read-only, one that is not a regular file, a directory that refuses
    // a new file, or content that was only partly read, is not replaced. Returns the reason when
    // the file was not replaced; it is then exactly as it was.
    [[nodiscard]] std::optional<std::string> write(const std::filesystem::path& file) const;

private:
    struct Line {
        std::string text;
        // "\n", "\r\n"; for the last line also empty, or "\r" when the file ends in a CR alone
        std::string ending;
    };

    void parse(std::string_view text);
    // The first line of the section's first occurrence, or none.
    std::optional<std::size_t> findSection(std::string_view section) const;
    // The line holding the key within the section starting at sectionLine, or none.
    std::optional<std::size_t> findKey(std::size_t sectionLine, std::string_view key) const;
    // The ending new lines get: the file's first one, LF for a file without any.
    std::string newLineEnding() const;
    void insertLine(std::size_t at, std::string text);

    std::string m_byteOrderMark;
    std::vector<Line> m_lines;
    bool m_partial = false; // the read stopped at kProfileReadLimit
};

} // namespace vodavav
