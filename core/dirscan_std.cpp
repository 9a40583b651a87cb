#include "dirscan.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace vodavav {

namespace {

// The type as the iteration read it; the entry asks the system only where the read did not say.
EntryType typeOf(const fs::directory_entry& entry) {
    std::error_code ec;
    if (entry.is_symlink(ec)) {
        return EntryType::Link;
    }
    if (entry.is_regular_file(ec)) {
        return EntryType::Regular;
    }
    if (entry.is_directory(ec)) {
        return EntryType::Directory;
    }
    return ec ? EntryType::Unknown : EntryType::Other;
}

class StandardDirectory final : public ScannedDirectory {
public:
    explicit StandardDirectory(fs::path directory) : m_directory(std::move(directory)) {}

    EntryType followedType(std::string_view name) const override {
        std::error_code ec;
        const fs::file_status status = fs::status(m_directory / fs::path(name), ec);
        if (ec || !fs::exists(status)) {
            return EntryType::Unknown;
        }
        if (fs::is_regular_file(status)) {
            return EntryType::Regular;
        }
        return fs::is_directory(status) ? EntryType::Directory : EntryType::Other;
    }

private:
    fs::path m_directory;
};

} // namespace

std::error_code scanDirectory(const std::string& directory, const EntryVisitor& visit) {
    std::error_code ec;
    fs::directory_iterator it(directory, ec);
    if (ec) {
        return ec;
    }
    const StandardDirectory scanned{fs::path(directory)};
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        visit(it->path().filename().string(), typeOf(*it), scanned);
    }
    return ec;
}

} // namespace vodavav
