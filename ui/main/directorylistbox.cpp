#include "directorylistbox.h"

#include "filelist.h"
#include "filelistmodel.h"
#include "listentrydelegate.h"

#include <QByteArray>
#include <QImageReader>
#include <QPixmap>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace vodavav {

namespace {

constexpr int kEntryHeight = 16;
constexpr int kIndentStep = 8;
constexpr int kPathRole = Qt::UserRole;

// The directory as the list shows it: absolute, with "." and ".." taken out of the text.
fs::path shownPath(const std::string& directory) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(directory, ec);
    return (ec ? fs::path(directory) : absolute).lexically_normal();
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
    const fs::path normal = shownPath(directory);
    // The file list's read with a mask that takes no file: its subdirectories only. An
    // unreadable directory shows none.
    FileList subdirectories;
    try {
        subdirectories.setDirectory(normal.native());
    } catch (const DirectoryError&) {
    }
    show(normal, subdirectories);
}

void DirectoryListBox::showDirectory(const std::string& directory, const FileList& files) {
    // Taking ".." out of the text names another directory than the system's reading of it
    // when the part before is a link; the file list read the system's.
    const fs::path given(directory);
    const bool sameDirectory =
        std::none_of(given.begin(), given.end(), [](const fs::path& part) { return part == ".."; });
    if (files.directory() != directory || !sameDirectory) {
        showDirectory(directory);
        return;
    }
    show(shownPath(directory), files);
}

void DirectoryListBox::show(const fs::path& normal, const FileList& subdirectories) {
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
    if (m_openIcon.isNull()) {
        m_openIcon = folderIcon(u"diropen", QStyle::SP_DirOpenIcon);
        m_closedIcon = folderIcon(u"dirclosed", QStyle::SP_DirClosedIcon);
    }
    const QIcon& open = m_openIcon;
    const QIcon& closed = m_closedIcon;
    const auto addEntry = [this](const QIcon& icon, std::string_view name, const std::string& path,
                                 int level) {
        // Filled before it joins the list, so that the list hears of it once.
        auto item = std::make_unique<QListWidgetItem>(icon, displayName(name));
        item->setData(kPathRole, QByteArray::fromStdString(path));
        item->setData(ListEntryDelegate::IndentRole, level);
        addItem(item.release());
    };
    int level = 0;
    for (const auto& [name, path] : ancestors) {
        addEntry(open, name, path, level++);
    }
    setCurrentRow(count() - 1);
    for (std::size_t i = 0; i < subdirectories.subdirectoryCount(); ++i) {
        const std::string_view name = subdirectories.subdirectory(i);
        addEntry(closed, name, joinPath(normal.native(), name), level);
    }
    scrollToItem(currentItem());
}

QIcon DirectoryListBox::folderIcon(QStringView name, QStyle::StandardPixmap standard) const {
    // Qt's own folder pictures, which the style gives where the desktop has no icon theme: the
    // same on every desktop, and asking the style on one with a theme makes it search the
    // theme's directories first, which takes longer than building the rest of the window.
    // The list shows them at 16 pixels, 32 on a screen of twice the density.
    QIcon icon;
    for (const int side : {16, 32}) {
        const QString file = QStringLiteral(":/qt-project.org/styles/commonstyle/images/%1-%2.png")
                                 .arg(name)
                                 .arg(side);
        // Read as the PNG it is: telling the format from the file would load every image
        // plugin first.
        QImageReader reader(file, "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull()) {
            icon.addPixmap(QPixmap::fromImage(image));
        }
    }
    return icon.isNull() ? style()->standardIcon(standard) : icon;
}

std::string DirectoryListBox::entryPath(int row) const {
    const QListWidgetItem* entry = item(row);
    return entry != nullptr ? entry->data(kPathRole).toByteArray().toStdString() : std::string();
}

} // namespace vodavav
