#include "directorylistbox.h"

#include "filelist.h"
#include "filelistmodel.h"
#include "listentrydelegate.h"

#include <QByteArray>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace vodavav {

namespace {

constexpr int kEntryHeight = 16;
constexpr int kIndentStep = 8;
constexpr int kPathRole = Qt::UserRole;

// The visible subdirectories' names; an unreadable directory shows none.
std::vector<std::string> subdirectories(const std::string& directory) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(directory, ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().native();
        std::error_code typeError;
        if (!name.empty() && name.front() != '.' && it->is_directory(typeError)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return lessIgnoringCase(a, b); });
    return names;
}

} // namespace

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new ListEntryDelegate(kEntryHeight, kIndentStep, this));
    setUniformItemSizes(true);
    setIconSize(QSize(16, 14));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(NoEditTriggers);
    connect(this, &QListWidget::activated, this,
            [this](const QModelIndex& index) { emit openRequested(entryPath(index.row())); });
}

void DirectoryListBox::showDirectory(const std::string& directory) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(directory, ec);
    const fs::path normal = (ec ? fs::path(directory) : absolute).lexically_normal();
    std::vector<std::pair<std::string, std::string>> ancestors; // name shown, path
    fs::path built;
    for (const fs::path& part : normal) {
        if (part.empty()) {
            continue; // the trailing separator of "/a/b/"
        }
        built /= part;
        ancestors.emplace_back(part.native(), built.native());
    }

    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const auto addEntry = [this](const QIcon& icon, const std::string& name,
                                 const std::string& path, int level) {
        auto* item = new QListWidgetItem(icon, displayName(name), this);
        item->setData(kPathRole, QByteArray::fromStdString(path));
        item->setData(ListEntryDelegate::IndentRole, level);
    };
    int level = 0;
    for (const auto& [name, path] : ancestors) {
        addEntry(open, name, path, level++);
    }
    setCurrentRow(count() - 1);
    for (const std::string& name : subdirectories(normal.native())) {
        addEntry(closed, name, joinPath(normal.native(), name), level);
    }
    scrollToItem(currentItem());
}

std::string DirectoryListBox::entryPath(int row) const {
    const QListWidgetItem* entry = item(row);
    return entry != nullptr ? entry->data(kPathRole).toByteArray().toStdString() : std::string();
}

} // namespace vodavav
