#pragma once

#include <QIcon>
#include <QListWidget>
#include <QStyle>

#include <filesystem>
#include <string>

namespace vodavav {

class FileList;

// The classic directory list: the current directory's ancestors from the root down, each one
// step further in under an open folder, then its subdirectories one step further still under
// closed folders, sorted ignoring letter case. Double click or Enter opens an entry.
class DirectoryListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirectoryListBox(QWidget* parent);

    // Shows directory, reading its subdirectories.
    void showDirectory(const std::string& directory);
    // Shows directory with the subdirectories that the file list's own read of it found, when
    // the list holds that directory; reads them otherwise.
    void showDirectory(const std::string& directory, const FileList& files);
    // The directory the entry in the row stands for.
    std::string entryPath(int row) const;

signals:
    void openRequested(const std::string& directory);

private:
    // Shows directory with the subdirectories of a file list's read of it.
    void show(const std::filesystem::path& directory, const FileList& subdirectories);
    QIcon folderIcon(QStringView name, QStyle::StandardPixmap standard) const;

    QIcon m_openIcon;
    QIcon m_closedIcon;
};

} // namespace vodavav
