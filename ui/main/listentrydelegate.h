#pragma once

#include <QStyledItemDelegate>

namespace vodavav {

// List entries of one fixed height, each moved right by its indent level (IndentRole) steps.
class ListEntryDelegate : public QStyledItemDelegate {
public:
    static constexpr int IndentRole = Qt::UserRole + 1;

    ListEntryDelegate(int height, int indentStep, QObject* parent);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    int indent(const QModelIndex& index) const;

    int m_height;
    int m_indentStep;
};

} // namespace vodavav
