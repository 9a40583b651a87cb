#include "filelist.h"

#include "text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

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
        }
    }

    bool matches(std::string_view name) const {
        switch (m_shape) {
        case Shape::Suffix:
            return name.size() >= m_literal.size() &&
                   equalIgnoringCase(name.substr(name.size() - m_literal.size()), m_literal);
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

// The first 24 bytes of a name with ASCII letters lowered, packed so that comparing two keys
// word by word orders them as lessIgnoringCase does; only names whose keys are equal need the
// full comparison. Sorting these instead of the strings keeps the sort out of the names' memory;
// 24 bytes, because ROM names often share their first 16 ("Super Monaco GP (USA)" and
// "Super Monaco GP II"), and every tie costs a visit to both names.
struct SortKey {
    std::array<std::uint64_t, 3> words{};
    std::uint32_t index = 0;
};

SortKey sortKey(std::string_view name, std::uint32_t index) {
    SortKey key;
    key.index = index;
    const std::size_t n = std::min(name.size(), key.words.size() * 8);
    for (std::size_t i = 0; i < n; ++i) {
        const auto byte =
            static_cast<std::uint64_t>(static_cast<unsigned char>(lowerAscii(name[i])));
        key.words[i / 8] |= byte << (56 - 8 * (i % 8));
    }
    return key;
}

// Sorts names as lessIgnoringCase orders them.
void sortIgnoringCase(std::vector<std::string>& names) {
    std::vector<SortKey> keys;
    keys.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        keys.push_back(sortKey(names[i], static_cast<std::uint32_t>(i)));
    }
    std::sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
        if (a.words != b.words) {
            return a.words < b.words;
        }
        return lessIgnoringCase(names[a.index], names[b.index]);
    });
    // Puts each name where its key landed, following the cycles of the permutation in place.
    for (std::size_t start = 0; start < keys.size(); ++start) {
        if (keys[start].index == start) {
            continue;
        }
        std::string held = std::move(names[start]);
        std::size_t to = start;
        while (true) {
            const std::size_t from = keys[to].index;
            keys[to].index = static_cast<std::uint32_t>(to);
            if (from == start) {
                names[to] = std::move(held);
                break;
            }
            names[to] = std::move(names[from]);
            to = from;
        }
    }
}

} // namespace

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
    std::vector<std::string> entries;
    readInto(directory, entries);
    m_directory = directory;
    assign(std::move(entries));
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
    std::vector<std::string> entries;
    // A list not yet given a directory has nothing to read.
    if (!m_directory.empty()) {
        readInto(m_directory, entries);
    }
    assign(std::move(entries));
}

void FileList::assign(std::vector<std::string> names) {
    m_names = std::move(names);
    m_shown.resize(m_names.size());
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        m_shown[i] = static_cast<std::uint32_t>(m_names[i].size());
    }
    m_selected = -1;
}

void FileList::setEntry(std::size_t i, std::string text) {
    // A cut of the whole name keeps the entry tied to its file.
    m_shown[i] = static_cast<std::uint32_t>(text.size());
    if (!std::string_view(m_names[i]).starts_with(text)) {
        m_names[i] = std::move(text);
    }
}

void FileList::cutEntry(std::size_t i, std::size_t n) {
    m_shown[i] = n < m_shown[i] ? m_shown[i] - static_cast<std::uint32_t>(n) : 0;
}

std::vector<std::string> FileList::entries() const {
    std::vector<std::string> texts;
    texts.reserve(size());
    for (std::size_t i = 0; i < size(); ++i) {
        texts.emplace_back(entry(i));
    }
    return texts;
}

void FileList::readInto(const std::string& directory, std::vector<std::string>& out) const {
    std::error_code ec;
    // One pass over the directory; the entry's type comes from the directory read itself, so
    // only links and entries of unknown type cost a stat.
    fs::directory_iterator it(directory, ec);
    if (ec) {
        throw DirectoryError(directory, ec.message());
    }
    const std::vector<Pattern> patterns = splitMask(m_mask);
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        const std::string& full = it->path().native();
        const std::size_t slash = full.rfind('/');
        const std::string_view name = std::string_view(full).substr(slash + 1);
        if (name.empty() || name.front() == '.' || !matchesAny(name, patterns)) {
            continue;
        }
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        out.emplace_back(name);
    }
    if (ec) {
        throw DirectoryError(directory, ec.message());
    }
    sortIgnoringCase(out);
}

void FileList::select(int i) {
    m_selected = i >= 0 && static_cast<std::size_t>(i) < m_names.size() ? i : -1;
}

std::string FileList::fullPath() const {
    if (m_selected < 0) {
        return {};
    }
    return joinPath(m_directory, entry(static_cast<std::size_t>(m_selected)));
}

} // namespace vodavav
