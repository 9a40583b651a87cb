#include "profilefile.h"

#include "filesync.h"
#include "text.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace vodavav {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Enough for any sane chain; a loop of links ends here too.
constexpr int kMaxLinkDepth = 40;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool hasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

bool isQuoted(std::string_view s) {
    return s.size() >= 2 && s.front() == '"' && s.back() == '"';
}

// The name of the section a line opens, or none.
std::optional<std::string_view> sectionOf(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return trim(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// The key and the raw value a line holds, or none for a section, a comment or another line.
std::optional<KeyLine> keyOf(std::string_view line) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') {
        return std::nullopt;
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view key = trim(t.substr(0, eq));
    if (key.empty()) {
        return std::nullopt;
    }
    return KeyLine{key, trim(t.substr(eq + 1))};
}

std::string systemReason(int error) {
    return std::generic_category().message(error);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The file a path names once every symbolic link on its last component is followed; the path
// of a link that points nowhere yet is where the new file goes.
std::optional<fs::path> linkTarget(const fs::path& file, std::string& reason) {
    fs::path p = file;
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(p, ec);
        if (st.type() != fs::file_type::symlink) {
            return p;
        }
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) {
            reason = ec.message();
            return std::nullopt;
        }
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    reason = std::make_error_code(std::errc::too_many_symbolic_link_levels).message();
    return std::nullopt;
}

// Creates a new, empty file beside target under a name no other file has.
File createTemporary(const fs::path& target, fs::path& created, std::string& reason) {
    static std::mt19937 generator{std::random_device{}()};
    const fs::path dir = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ".";
        name += target.filename().string();
        name += '.';
        name += std::to_string(generator() % 1000000000U);
        name += ".tmp";
        created = dir.empty() ? fs::path(name) : dir / name;
        // "x": fails when the name exists, so no other file is ever overwritten.
        errno = 0;
        File f{std::fopen(created.c_str(), "wbx")};
        if (f) {
            return f;
        }
        if (errno != EEXIST) {
            reason = systemReason(errno);
            return nullptr;
        }
    }
    reason = systemReason(EEXIST);
    return nullptr;
}

} // namespace

ProfileFile::ProfileFile(std::string_view text) {
    parse(text);
}

void ProfileFile::parse(std::string_view text) {
    m_lines.clear();
    m_byteOrderMark.clear();
    if (text.starts_with(kByteOrderMark)) {
        m_byteOrderMark = kByteOrderMark;
        text.remove_prefix(kByteOrderMark.size());
    }
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        if (nl == std::string_view::npos) {
            // A last CR alone is a CRLF cut short: it ends the line, or the CR would end up in
            // the last value and meet an LF of the next write.
            const bool cr = text.back() == '\r';
            m_lines.push_back(
                {std::string(text.substr(0, text.size() - (cr ? 1 : 0))), cr ? "\r" : ""});
            break;
        }
        std::string_view line = text.substr(0, nl);
        const bool crlf = !line.empty() && line.back() == '\r';
        if (crlf) {
            line.remove_suffix(1);
        }
        m_lines.push_back({std::string(line), crlf ? "\r\n" : "\n"});
        text.remove_prefix(nl + 1);
    }
}

std::optional<std::size_t> ProfileFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const std::optional<std::string_view> name = sectionOf(m_lines[i].text);
        if (name && equalIgnoringCase(*name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> ProfileFile::findKey(std::size_t sectionLine,
                                                std::string_view key) const {
    for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i) {
        if (sectionOf(m_lines[i].text)) {
            break;
        }
        const std::optional<KeyLine> k = keyOf(m_lines[i].text);
        if (k && equalIgnoringCase(k->key, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ProfileFile::value(std::string_view section,
                                              std::string_view key) const {
    // A section may occur more than once; its keys are looked for in every occurrence, in order.
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const std::optional<std::string_view> name = sectionOf(m_lines[i].text);
        if (!name || !equalIgnoringCase(*name, section)) {
            continue;
        }
        if (const std::optional<std::size_t> line = findKey(i, key)) {
            std::string_view v = keyOf(m_lines[*line].text)->value;
            if (isQuoted(v)) {
                v = v.substr(1, v.size() - 2);
            }
            return std::string(v);
        }
    }
    return std::nullopt;
}

std::string ProfileFile::newLineEnding() const {
    for (const Line& line : m_lines) {
        if (line.ending.ends_with('\n')) {
            return line.ending;
        }
    }
    return "\n";
}

void ProfileFile::insertLine(std::size_t at, std::string text) {
    std::string ending = newLineEnding();
    if (at > 0 && !m_lines[at - 1].ending.ends_with('\n')) {
        // The line before was the last one, without a whole ending: it gets one, and the new
        // last line ends as the file did.
        std::swap(m_lines[at - 1].ending, ending);
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at),
                   Line{std::move(text), std::move(ending)});
}

bool ProfileFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) || trim(key).empty() ||
        key.find('=') != std::string_view::npos || section.find(']') != std::string_view::npos) {
        return false;
    }
    std::string line(key);
    line += '=';
    // Quoted, blanks at the ends and enclosing quotes survive the next read.
    if (trim(value).size() != value.size() || isQuoted(value)) {
        line += '"';
        line += value;
        line += '"';
    } else {
        line += value;
    }

    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const std::optional<std::string_view> name = sectionOf(m_lines[i].text);
        if (name && equalIgnoringCase(*name, section)) {
            if (const std::optional<std::size_t> at = findKey(i, key)) {
                m_lines[*at].text = std::move(line);
                return true;
            }
        }
    }
    if (const std::optional<std::size_t> start = findSection(section)) {
        // After the section's last line that is not blank, so a blank line before the next
        // section stays where it is.
        std::size_t last = *start;
        for (std::size_t i = *start + 1; i < m_lines.size() && !sectionOf(m_lines[i].text); ++i) {
            if (!trim(m_lines[i].text).empty()) {
                last = i;
            }
        }
        insertLine(last + 1, std::move(line));
        return true;
    }
    if (!m_lines.empty() && !trim(m_lines.back().text).empty()) {
        insertLine(m_lines.size(), {});
    }
    std::string header = "[";
    header += section;
    header += ']';
    insertLine(m_lines.size(), std::move(header));
    insertLine(m_lines.size(), std::move(line));
    return true;
}

std::string ProfileFile::text() const {
    std::string out = m_byteOrderMark;
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.ending;
    }
    return out;
}

std::optional<std::string> ProfileFile::read(const fs::path& file) {
    parse({});
    m_partial = false;
    // The type first: opening a FIFO would wait for a writer, and a device may never end.
    std::error_code ec;
    const fs::file_status st = fs::status(file, ec);
    if (st.type() == fs::file_type::not_found) {
        return std::nullopt;
    }
    if (ec) {
        return ec.message();
    }
    if (st.type() == fs::file_type::directory) {
        return std::make_error_code(std::errc::is_a_directory).message();
    }
    if (st.type() != fs::file_type::regular) {
        return "it is not a regular file";
    }
    errno = 0;
    const File f{std::fopen(file.c_str(), "rb")};
    if (!f) {
        return systemReason(errno);
    }
    std::string text;
    constexpr std::size_t kChunk = 64 * 1024;
    while (text.size() < kProfileReadLimit) {
        const std::size_t old = text.size();
        const std::size_t want = std::min(kChunk, kProfileReadLimit - old);
        text.resize(old + want);
        const std::size_t got = std::fread(text.data() + old, 1, want, f.get());
        text.resize(old + got);
        if (got < want) {
            break;
        }
    }
    if (std::ferror(f.get())) {
        return systemReason(errno != 0 ? errno : EIO);
    }
    m_partial = text.size() == kProfileReadLimit && std::fgetc(f.get()) != EOF;
    parse(text);
    return std::nullopt;
}

std::optional<std::string> ProfileFile::write(const fs::path& file) const {
    if (m_partial) {
        // Writing back what was read would cut the rest of the file off.
        return "the file is larger than " + std::to_string(kProfileReadLimit / (1024 * 1024)) +
               " MB and only part of it could be read";
    }
    std::string reason;
    const std::optional<fs::path> target = linkTarget(file, reason);
    if (!target) {
        return reason;
    }
    std::error_code ec;
    const fs::file_status st = fs::status(*target, ec);
    const bool exists = st.type() != fs::file_type::not_found;
    if (exists) {
        if (ec) {
            return ec.message();
        }
        if (st.type() != fs::file_type::regular) {
            return "it is not a regular file";
        }
        // Renaming over the file would get around its own protection: the file itself must
        // accept writing. Opening for update neither creates nor truncates it.
        errno = 0;
        if (!File{std::fopen(target->c_str(), "r+b")}) {
            return systemReason(errno);
        }
    }

    fs::path temporary;
    File out = createTemporary(*target, temporary, reason);
    if (!out) {
        return reason;
    }
    // Any failure from here on leaves the old file and removes the new one.
    const auto fail = [&](std::string why) {
        out.reset();
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return std::optional<std::string>(std::move(why));
    };
    if (exists) {
        // Before any content goes in, so the file is never readable by more than the old one.
        fs::permissions(temporary, st.permissions() & fs::perms::mask, ec);
        if (ec) {
            return fail(ec.message());
        }
    }
    const std::string content = text();
    errno = 0;
    if (std::fwrite(content.data(), 1, content.size(), out.get()) != content.size() ||
        std::fflush(out.get()) != 0) {
        return fail(systemReason(errno != 0 ? errno : EIO));
    }
    errno = 0;
    if (std::fclose(out.release()) != 0) {
        return fail(systemReason(errno != 0 ? errno : EIO));
    }
    if (const std::error_code synced = syncToDisk(temporary)) {
        return fail(synced.message());
    }
    fs::rename(temporary, *target, ec);
    if (ec) {
        return fail(ec.message());
    }
    // Makes the rename itself last; the new file is complete either way.
    const fs::path dir = target->parent_path();
    static_cast<void>(syncToDisk(dir.empty() ? fs::path(".") : dir));
    return std::nullopt;
}

} // namespace vodavav
