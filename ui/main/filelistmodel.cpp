#include "filelistmodel.h"

#include "filelist.h"

namespace vodavav {

FileListModel::FileListModel(const FileList& files, QObject* parent)
    : QAbstractListModel(parent), m_files(files) {}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_files.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.parent().isValid() ||
        index.column() != 0 || index.row() >= rowCount()) {
        return {};
    }
    return displayName(m_files.entry(static_cast<std::size_t>(index.row())));
}

void FileListModel::change(const std::function<void()>& change) {
    struct Reset {
        FileListModel& model;
        ~Reset() { model.endResetModel(); }
    };
    beginResetModel();
    const Reset reset{*this};
    change();
}

QString displayName(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace vodavav
