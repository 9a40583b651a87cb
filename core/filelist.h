#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vodavav {

// A directory that cannot be entered or read. what() names the directory and the reason.
class DirectoryError : public std::runtime_error {
public:
    DirectoryError(std::string directory, std::string reason);
    const std::string& directory() const { return m_directory; }
    const std::string& reason() const { return m_reason; }

private:
    std::string m_directory;
    std::string m_reason;
};

// The file list: the names of the regular files of one directory that match a mask of patterns
// separated by ";", sorted ignoring letter case. Names are the bytes the file system returned.
class FileList {
public:
    FileList() = default;

    const std::string& directory() const { return m_directory; }
    const std::string& mask() const { return m_mask; }

    // Reads the list again when the directory differs. On failure throws DirectoryError and
    // keeps the directory, the entries and the selection as they were.
    void setDirectory(const std::string& directory);
    // Reads the list again when the text differs; an equal text does nothing.
    void setMask(const std::string& mask);
    // Reads the directory under the mask, replacing every entry and clearing the selection.
    void read();

    std::size_t size() const { return m_names.size(); }
    // The entry's text as shown.
    std::string_view entry(std::size_t i) const {
        return std::string_view(m_names[i]).substr(0, m_shown[i]);
    }
    // Replaces the entry's text; its position is kept.
    void setEntry(std::size_t i, std::string text);
    // Removes the last n characters of the entry's text (all of them when it is shorter).
    void cutEntry(std::size_t i, std::size_t n);
    // Every entry's text, in order.
    std::vector<std::string> entries() const;
    // The name of the file the entry stands for, as read from the directory: the entry's text
    // when that has been replaced by something else than a cut of it.
    const std::string& fileName(std::size_t i) const { return m_names[i]; }

    int selected() const { return m_selected; }
    // An index outside the list selects nothing.
    void select(int i);
    // The directory, one "/" and the selected entry; empty with nothing selected.
    std::string fullPath() const;

private:
    void readInto(const std::string& directory, std::vector<std::string>& out) const;

    std::string m_directory;
    std::string m_mask;
    void assign(std::vector<std::string> names);

    // Each entry is its file's whole name and how much of it is shown, so that cutting the names
    // costs no copy and every entry still knows its own file.
    std::vector<std::string> m_names;
    std::vector<std::uint32_t> m_shown;
    int m_selected = -1;
};

// Whether name matches one of the ";"-separated patterns ("*" and "?"), ignoring ASCII case.
bool matchesMask(std::string_view name, std::string_view mask);
// The list's order: ASCII letters compared ignoring case, ties broken by the bytes.
bool lessIgnoringCase(std::string_view a, std::string_view b);
// dir + "/" + name, with one separator also when dir already ends with one.
std::string joinPath(std::string_view dir, std::string_view name);

} // namespace vodavav
