#include "filelist.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace vodavav {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Glob match of "*" and "?" ignoring ASCII case, iterative with one backtrack point.
bool matchPattern(std::string_view name, std::string_view pattern) {
    std::size_t n = 0, p = 0;
    std::size_t star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
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

std::vector<std::string_view> splitMask(std::string_view mask) {
    std::vector<std::string_view> patterns;
    while (true) {
        const std::size_t semi = mask.find(';');
        std::string_view part = mask.substr(0, semi);
        if (!part.empty()) {
            patterns.push_back(part);
        }
        if (semi == std::string_view::npos) {
            break;
        }
        mask.remove_prefix(semi + 1);
    }
    return patterns;
}

bool matchesAny(std::string_view name, const std::vector<std::string_view>& patterns) {
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](std::string_view p) { return matchPattern(name, p); });
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
        const char x = lower(a[i]);
        const char y = lower(b[i]);
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
    m_entries = std::move(entries);
    m_selected = -1;
}

void FileList::setMask(const std::string& mask) {
    if (mask == m_mask) {
        return;
    }
    m_mask = mask;
    // A directory that has vanished since leaves an empty list under the new mask.
    m_entries.clear();
    m_selected = -1;
    read();
}

void FileList::read() {
    std::vector<std::string> entries;
    readInto(m_directory, entries);
    m_entries = std::move(entries);
    m_selected = -1;
}

void FileList::readInto(const std::string& directory, std::vector<std::string>& out) const {
    std::error_code ec;
    // One pass over the directory; the entry's type comes from the directory read itself, so
    // only links and entries of unknown type cost a stat.
    fs::directory_iterator it(directory, ec);
    if (ec) {
        throw DirectoryError(directory, ec.message());
    }
    const std::vector<std::string_view> patterns = splitMask(m_mask);
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
    std::sort(out.begin(), out.end(),
              [](const std::string& a, const std::string& b) { return lessIgnoringCase(a, b); });
}

void FileList::select(int i) {
    m_selected = i >= 0 && static_cast<std::size_t>(i) < m_entries.size() ? i : -1;
}

std::string FileList::fullPath() const {
    if (m_selected < 0) {
        return {};
    }
    return joinPath(m_directory, m_entries[static_cast<std::size_t>(m_selected)]);
}

} // namespace vodavav
