#pragma once

#include <QStyledItemDelegate>

namespace zendrel {

// Draws the flag cells of the additional-word grid: the background, and the check-mark image
// when the cell holds exactly "1". The word column is drawn as usual.
class FlagCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace zendrel
