#include "ui/FlagCellDelegate.h"

#include "ui/CheckMarkImage.h"

#include <QPainter>

namespace zendrel {

void FlagCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    if (index.column() > 1) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(option.rect,
                      option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    if (index.data().toString() != "1")
        return;
    const QPixmap& mark = CheckMarkImage();
    int left = option.rect.left() + (option.rect.width() - mark.width()) / 2;
    painter->drawPixmap(left, option.rect.top() + 3, mark);
}

} // namespace zendrel
