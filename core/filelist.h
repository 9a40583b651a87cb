#pragma once

#include <cstdint>
#include <memory>
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
// The same read keeps the directory's visible subdirectories, so that nothing reads it twice.
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

    std::size_t size() const { return m_entries.size(); }
    // The entry's text as shown.
    std::string_view entry(std::size_t i) const { return {m_entries[i].name, m_entries[i].shown}; }
    // Replaces the entry's text; its position is kept.
    void setEntry(std::size_t i, std::string_view text);
    // Removes the last n characters of the entry's text (all of them when it is shorter).
    void cutEntry(std::size_t i, std::size_t n);
    // Every entry's text, in order.
    std::vector<std::string> entries() const;
    // The name of the file the entry stands for, as read from the directory: the entry's text
    // when that has been replaced by something else than a cut of it.
    std::string_view fileName(std::size_t i) const {
        return {m_entries[i].name, NameBlocks::length(m_entries[i].name)};
    }

    // The directory's subdirectories (links to directories among them) but those whose names
    // start with ".", whatever the mask, sorted as the entries are; as the last read found them.
    std::size_t subdirectoryCount() const { return m_subdirectories.size(); }
    std::string_view subdirectory(std::size_t i) const {
        return {m_subdirectories[i].name, NameBlocks::length(m_subdirectories[i].name)};
    }

    int selected() const { return m_selected; }
    // An index outside the list selects nothing.
    void select(int i);
    // The directory, one "/" and the selected entry; empty with nothing selected.
    std::string fullPath() const;

private:
    // Names kept back to back, each after its length, in blocks that never move: a growing list
    // copies no name again, and entries point at their names. Reading a large folder is bound
    // by the memory it touches for the first time, so nothing is copied that need not be.
    class NameBlocks {
    public:
        // Copies text in; the copy lasts as long as the blocks.
        const char* add(std::string_view text);
        // The length of a text that add returned.
        static std::size_t length(const char* text);
        std::size_t count() const { return m_count; }
        // Calls visit(name, length) for every name, in the order they were added.
        template <typename Visit> void forEach(Visit visit) const;

    private:
        struct Block {
            std::unique_ptr<char[]> bytes;
            std::size_t size = 0;
            std::size_t used = 0;
        };
        std::vector<Block> m_blocks;
        std::size_t m_count = 0;
    };

    // Each entry is its file's whole name and how much of it is shown, so that cutting the names
    // costs no copy and every entry still knows its own file. While the list is read, key holds
    // four bytes of the name, with ASCII letters lowered, for the sort to work on without
    // visiting the name; entries are kept this small because the memory touched is much of the
    // read's cost.
    struct Entry {
        const char* name = nullptr;
        std::uint32_t shown = 0;
        std::uint32_t key = 0;
    };
    struct Listing {
        NameBlocks names;
        NameBlocks folderNames;
        std::vector<Entry> entries;
        std::vector<Entry> subdirectories;
    };

    Listing readListing(const std::string& directory) const;
    void assign(Listing listing);
    // The names' entries with their keys, sorted.
    static std::vector<Entry> sortedEntries(const NameBlocks& names);
    static void sortEntries(Entry* first, Entry* last, std::size_t depth);
    static void compareSort(Entry* first, Entry* last, std::size_t depth);
    static void sortByKeys(Entry* first, Entry* last, std::size_t depth);
    // Sets the keys to the names' bytes from depth on.
    static void loadKeys(Entry* first, Entry* last, std::size_t depth);

    std::string m_directory;
    std::string m_mask;
    NameBlocks m_names;
    NameBlocks m_folderNames;
    std::vector<Entry> m_entries;
    std::vector<Entry> m_subdirectories;
    int m_selected = -1;
};

// Whether name matches one of the ";"-separated patterns ("*" and "?"), ignoring ASCII case.
bool matchesMask(std::string_view name, std::string_view mask);
// The list's order: ASCII letters compared ignoring case, ties broken by the bytes.
bool lessIgnoringCase(std::string_view a, std::string_view b);
// dir + "/" + name, with one separator also when dir already ends with one.
std::string joinPath(std::string_view dir, std::string_view name);

} // namespace vodavav
