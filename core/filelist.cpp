#include "filelist.h"

#include "dirscan.h"
#include "text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace vodavav {

namespace {

// Glob match of "*" and "?" ignoring ASCII case, iterative with one backtrack point.
bool matchPattern(std::string_view name, std::string_view pattern) {
    std::size_t n = 0, p = 0;
    std::size_t star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

// A pattern of the mask, with the shapes that masks nearly always have ("*.sms", "GAME.SMS")
// told apart once per read, so that most names are matched without the general glob.
class Pattern {
public:
    explicit Pattern(std::string_view text) : m_text(text) {
        const std::string_view rest = text.starts_with('*') ? text.substr(1) : text;
        if (rest.find_first_of("*?") == std::string_view::npos) {
            m_shape = text.starts_with('*') ? Shape::Suffix : Shape::Exact;
            m_literal = rest;
            for (const char c : rest) {
                m_lowered += lowerAscii(c);
            }
        }
    }

    bool matches(std::string_view name) const {
        switch (m_shape) {
        case Shape::Suffix: {
            // From the end, where names of other extensions differ at once.
            if (name.size() < m_lowered.size()) {
                return false;
            }
            const char* tail = name.data() + name.size() - m_lowered.size();
            for (std::size_t i = m_lowered.size(); i-- > 0;) {
                if (lowerAscii(tail[i]) != m_lowered[i]) {
                    return false;
                }
            }
            return true;
        }
        case Shape::Exact:
            return equalIgnoringCase(name, m_literal);
        case Shape::Glob:
            break;
        }
        return matchPattern(name, m_text);
    }

private:
    enum class Shape { Suffix, Exact, Glob };

    std::string_view m_text;
    Shape m_shape = Shape::Glob;
    std::string_view m_literal;
    std::string m_lowered;
};

std::vector<Pattern> splitMask(std::string_view mask) {
    std::vector<Pattern> patterns;
    while (true) {
        const std::size_t semi = mask.find(';');
        std::string_view part = mask.substr(0, semi);
        if (!part.empty()) {
            patterns.emplace_back(part);
        }
        if (semi == std::string_view::npos) {
            break;
        }
        mask.remove_prefix(semi + 1);
    }
    return patterns;
}

bool matchesAny(std::string_view name, const std::vector<Pattern>& patterns) {
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const Pattern& p) { return p.matches(name); });
}

constexpr std::size_t kKeyBytes = 4;

// The name's four bytes from depth on as they lie in memory, those past its end zero. One load
// and no branch: the sort loads the keys of names spread over memory, and a branch on each
// name's length would wait for every one of them in turn.
std::uint32_t rawKey(const char* name, std::size_t length, std::size_t depth) {
    const std::size_t at = std::min(depth, length);
    std::uint32_t raw;
    std::memcpy(&raw, name + at, kKeyBytes);
    const std::size_t valid = std::min(length - at, kKeyBytes);
    const std::uint32_t all = 0xffffffffu;
    const std::uint32_t mask =
        std::endian::native == std::endian::little
            ? (valid == kKeyBytes ? all : (std::uint32_t{1} << 8 * valid) - 1)
            : (valid == 0 ? 0 : all << 8 * (kKeyBytes - valid));
    return raw & mask;
}

// A raw key with ASCII letters lowered, its bytes packed in the name's order, so that comparing
// keys orders names that agree before them as lessIgnoringCase does. All four bytes at once: a
// byte's low seven bits plus 0x3f reach the high bit from 'A' on, plus 0x25 past 'Z'; bytes with
// the high bit set are no letters.
std::uint32_t sortKey(std::uint32_t raw) {
    const std::uint32_t low = raw & 0x7f7f7f7fu;
    const std::uint32_t upper = (low + 0x3f3f3f3fu) & ~(low + 0x25252525u) & ~raw & 0x80808080u;
    const std::uint32_t lowered = raw | upper >> 2;
    if constexpr (std::endian::native == std::endian::little) {
        return lowered >> 24 | (lowered >> 8 & 0xff00u) | (lowered << 8 & 0xff0000u) |
               lowered << 24;
    } else {
        return lowered;
    }
}

} // namespace

template <typename Visit> void FileList::NameBlocks::forEach(Visit visit) const {
    for (const Block& block : m_blocks) {
        for (std::size_t at = 0; at < block.used;) {
            std::uint32_t length;
            std::memcpy(&length, block.bytes.get() + at, sizeof length);
            at += sizeof length;
            visit(block.bytes.get() + at, static_cast<std::size_t>(length));
            at += length;
        }
    }
}

const char* FileList::NameBlocks::add(std::string_view text) {
    constexpr std::size_t kFirstBlock = 4096;
    constexpr std::size_t kLargestBlock = std::size_t{1} << 20;
    // Every text is followed by kKeyBytes bytes that are set, the next one's length or zeros at
    // the end, so that a key can be loaded whole however short the text.
    const std::size_t needed = sizeof(std::uint32_t) + text.size();
    if (m_blocks.empty() || m_blocks.back().size - m_blocks.back().used < needed + kKeyBytes) {
        // Each block twice the last, so that a large folder takes few of them.
        const std::size_t grown =
            m_blocks.empty() ? kFirstBlock : std::min(m_blocks.back().size * 2, kLargestBlock);
        const std::size_t size = std::max(grown, needed + kKeyBytes);
        m_blocks.push_back(Block{std::make_unique_for_overwrite<char[]>(size), size, 0});
    }
    Block& block = m_blocks.back();
    char* at = block.bytes.get() + block.used;
    const auto length = static_cast<std::uint32_t>(text.size());
    std::memcpy(at, &length, sizeof length);
    std::memcpy(at + sizeof length, text.data(), text.size());
    std::memset(at + needed, 0, kKeyBytes);
    block.used += needed;
    ++m_count;
    return at + sizeof length;
}

std::size_t FileList::NameBlocks::length(const char* text) {
    std::uint32_t length;
    std::memcpy(&length, text - sizeof length, sizeof length);
    return length;
}

std::vector<FileList::Entry> FileList::sortedEntries(const NameBlocks& names) {
    std::vector<Entry> entries;
    entries.reserve(names.count());
    names.forEach([&](const char* name, std::size_t length) {
        const auto shown = static_cast<std::uint32_t>(length);
        entries.push_back(Entry{name, shown, sortKey(rawKey(name, length, 0))});
    });
    sortEntries(entries.data(), entries.data() + entries.size(), 0);
    return entries;
}

// Sorts entries that agree ignoring case in their first depth bytes, by the next byte, in place
// (a buffer would be as much memory again to touch), one level for each byte: a comparison sort
// of ROM names spends most of its time on the long prefixes they share. The keys hold the four
// bytes from depth rounded down to a multiple of four. Small groups are left to the comparison.
void FileList::sortEntries(Entry* first, Entry* last, std::size_t depth) {
    constexpr std::ptrdiff_t kSmall = 48;
    while (last - first > 1) {
        if (depth % kKeyBytes == 0 && depth != 0) {
            loadKeys(first, last, depth);
        }
        if (last - first < kSmall) {
            compareSort(first, last, depth);
            return;
        }
        // The bytes that all the keys share need no pass of their own: names of one title run
        // share many.
        std::uint32_t differing = 0;
        for (const Entry* e = first + 1; e != last; ++e) {
            differing |= e->key ^ first->key;
        }
        const auto unsorted = static_cast<std::uint32_t>(differing << (8 * (depth % kKeyBytes)));
        if (unsorted == 0) {
            // A last byte 0 is past the end of every name: they are equal ignoring case.
            if ((first->key & 0xffu) == 0) {
                compareSort(first, last, depth);
                return;
            }
            depth += kKeyBytes - depth % kKeyBytes;
            continue;
        }
        depth += static_cast<std::size_t>(std::countl_zero(unsorted)) / 8;
        const unsigned shift = 8 * (kKeyBytes - 1 - depth % kKeyBytes);
        const auto byteAt = [shift](const Entry& e) { return (e.key >> shift) & 0xffu; };
        std::array<std::size_t, 256> counts{};
        for (const Entry* e = first; e != last; ++e) {
            ++counts[byteAt(*e)];
        }
        unsigned low = 0;
        while (counts[low] == 0) {
            ++low;
        }
        unsigned high = 0xff;
        while (counts[high] == 0) {
            --high;
        }
        std::array<std::size_t, 256> next;
        std::size_t start = 0;
        for (unsigned b = low; b <= high; ++b) {
            next[b] = start;
            start += counts[b];
        }
        // Each entry out of place is swapped along until the one for the hole comes round.
        std::size_t end = 0;
        for (unsigned b = low; b <= high; ++b) {
            end += counts[b];
            while (next[b] < end) {
                Entry held = first[next[b]];
                for (unsigned c = byteAt(held); c != b; c = byteAt(held)) {
                    std::swap(held, first[next[c]++]);
                }
                first[next[b]++] = held;
            }
        }
        Entry* group = first;
        if (low == 0) {
            // Byte 0 is past the end of every name in its group: those are equal ignoring case,
            // and only the comparison of their bytes orders them.
            compareSort(first, first + counts[0], depth);
            group += counts[0];
            low = 1;
        }
        // The largest group is sorted by this loop, the others by calls that each take at most
        // half the entries, so that the calls nest only as deep as the halvings.
        unsigned largest = low;
        for (unsigned b = low + 1; b <= high; ++b) {
            if (counts[b] > counts[largest]) {
                largest = b;
            }
        }
        Entry* rest = nullptr;
        for (unsigned b = low; b <= high; ++b) {
            if (b == largest) {
                rest = group;
            } else if (counts[b] > 1) {
                sortEntries(group, group + counts[b], depth + 1);
            }
            group += counts[b];
        }
        first = rest;
        last = rest + counts[largest];
        ++depth;
    }
}

// Two passes: the first only loads, so that the loads of many names are under way at once.
void FileList::loadKeys(Entry* first, Entry* last, std::size_t depth) {
    for (Entry* e = first; e != last; ++e) {
        e->key = rawKey(e->name, NameBlocks::length(e->name), depth);
    }
    for (Entry* e = first; e != last; ++e) {
        e->key = sortKey(e->key);
    }
}

// Sorts entries that agree ignoring case in their first depth bytes by comparing them.
void FileList::compareSort(Entry* first, Entry* last, std::size_t depth) {
    // Keys from depth on tell more of these names apart than the ones they hold.
    if (depth % kKeyBytes != 0) {
        loadKeys(first, last, depth);
    }
    sortByKeys(first, last, depth);
}

// Sorts entries whose keys hold their bytes from depth on by the keys, and each run of equal
// keys by the next ones: a key costs a visit to one name, where a comparison would visit two.
void FileList::sortByKeys(Entry* first, Entry* last, std::size_t depth) {
    std::sort(first, last, [](const Entry& a, const Entry& b) { return a.key < b.key; });
    for (Entry* run = first; run != last;) {
        Entry* end = run + 1;
        while (end != last && end->key == run->key) {
            ++end;
        }
        if (end - run > 1) {
            if ((run->key & 0xffu) == 0) {
                // Past the end of these names, which are equal ignoring case: their bytes
                // order them.
                std::sort(run, end, [](const Entry& a, const Entry& b) {
                    return std::string_view(a.name, NameBlocks::length(a.name)) <
                           std::string_view(b.name, NameBlocks::length(b.name));
                });
            } else {
                loadKeys(run, end, depth + kKeyBytes);
                sortByKeys(run, end, depth + kKeyBytes);
            }
        }
        run = end;
    }
}

DirectoryError::DirectoryError(std::string directory, std::string reason)
    : std::runtime_error("Unable to enter the directory " + directory + ": " + reason),
      m_directory(std::move(directory)), m_reason(std::move(reason)) {}

bool matchesMask(std::string_view name, std::string_view mask) {
    return matchesAny(name, splitMask(mask));
}

bool lessIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char x = lowerAscii(a[i]);
        const char y = lowerAscii(b[i]);
        if (x != y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

std::string joinPath(std::string_view dir, std::string_view name) {
    std::string path(dir);
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

void FileList::setDirectory(const std::string& directory) {
    if (directory == m_directory) {
        return;
    }
    Listing listing = readListing(directory);
    m_directory = directory;
    assign(std::move(listing));
}

void FileList::setMask(const std::string& mask) {
    if (mask == m_mask) {
        return;
    }
    m_mask = mask;
    // A directory that has vanished since leaves an empty list under the new mask.
    assign({});
    read();
}

void FileList::read() {
    // A list not yet given a directory has nothing to read.
    assign(m_directory.empty() ? Listing{} : readListing(m_directory));
}

void FileList::assign(Listing listing) {
    m_names = std::move(listing.names);
    m_entries = std::move(listing.entries);
    m_folderNames = std::move(listing.folderNames);
    m_subdirectories = std::move(listing.subdirectories);
    m_selected = -1;
}

void FileList::setEntry(std::size_t i, std::string_view text) {
    Entry& e = m_entries[i];
    // A cut of the whole name keeps the entry tied to its file.
    if (!fileName(i).starts_with(text)) {
        e.name = m_names.add(text);
    }
    e.shown = static_cast<std::uint32_t>(text.size());
}

void FileList::cutEntry(std::size_t i, std::size_t n) {
    std::uint32_t& shown = m_entries[i].shown;
    shown = n < shown ? shown - static_cast<std::uint32_t>(n) : 0;
}

std::vector<std::string> FileList::entries() const {
    std::vector<std::string> texts;
    texts.reserve(size());
    for (std::size_t i = 0; i < size(); ++i) {
        texts.emplace_back(entry(i));
    }
    return texts;
}

FileList::Listing FileList::readListing(const std::string& directory) const {
    const std::vector<Pattern> patterns = splitMask(m_mask);
    Listing listing;
    // One pass over the directory; the entry's type comes from the directory read itself, so
    // only links and entries of unknown type cost a look at what they are.
    const std::error_code ec = scanDirectory(
        directory, [&](std::string_view name, EntryType type, const ScannedDirectory& scanned) {
            if (name.empty() || name.front() == '.') {
                return;
            }
            if (type == EntryType::Link || type == EntryType::Unknown) {
                type = scanned.followedType(name);
            }
            if (type == EntryType::Regular && matchesAny(name, patterns)) {
                listing.names.add(name);
            } else if (type == EntryType::Directory) {
                listing.folderNames.add(name);
            }
        });
    if (ec) {
        throw DirectoryError(directory, ec.message());
    }
    listing.entries = sortedEntries(listing.names);
    listing.subdirectories = sortedEntries(listing.folderNames);
    return listing;
}

void FileList::select(int i) {
    m_selected = i >= 0 && static_cast<std::size_t>(i) < m_entries.size() ? i : -1;
}

std::string FileList::fullPath() const {
    if (m_selected < 0) {
        return {};
    }
    return joinPath(m_directory, entry(static_cast<std::size_t>(m_selected)));
}

} // namespace vodavav
