#pragma once

#include <QAbstractListModel>

#include <functional>
#include <string_view>

namespace vodavav {

class FileList;

// The entries of the core's file list, for a view. The names stay the bytes the core holds;
// only their display is decoded.
class FileListModel : public QAbstractListModel {
public:
    FileListModel(const FileList& files, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Runs something that may replace the file list's entries, telling the views around it,
    // also when it throws.
    void change(const std::function<void()>& change);

private:
    const FileList& m_files;
};

// A file name for display: UTF-8, anything invalid shown as the replacement character.
QString displayName(std::string_view bytes);

} // namespace vodavav
