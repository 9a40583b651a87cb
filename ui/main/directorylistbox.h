#pragma once

#include <QListWidget>

#include <string>

namespace vodavav {

// The classic directory list: the current directory's ancestors from the root down, each one
// step further in under an open folder, then its subdirectories one step further still under
// closed folders, sorted ignoring letter case. Double click or Enter opens an entry.
class DirectoryListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirectoryListBox(QWidget* parent);

    void showDirectory(const std::string& directory);
    // The directory the entry in the row stands for.
    std::string entryPath(int row) const;

signals:
    void openRequested(const std::string& directory);
};

} // namespace vodavav
