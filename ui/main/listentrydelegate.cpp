#include "listentrydelegate.h"

namespace vodavav {

ListEntryDelegate::ListEntryDelegate(int height, int indentStep, QObject* parent)
    : QStyledItemDelegate(parent), m_height(height), m_indentStep(indentStep) {}

int ListEntryDelegate::indent(const QModelIndex& index) const {
    return index.data(IndentRole).toInt() * m_indentStep;
}

QSize ListEntryDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    return {QStyledItemDelegate::sizeHint(option, index).width() + indent(index), m_height};
}

void ListEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem moved = option;
    moved.rect.setLeft(moved.rect.left() + indent(index));
    QStyledItemDelegate::paint(painter, moved, index);
}

} // namespace vodavav
