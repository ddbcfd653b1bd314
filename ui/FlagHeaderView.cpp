#include "ui/FlagHeaderView.h"

#include "ui/CheckMarkImage.h"

#include <QMouseEvent>
#include <QPainter>

namespace zendrel {

FlagHeaderView::FlagHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    // Clicks are handled on release (any button); a clickable section would also select its
    // column and move the grid's current row.
    setSectionsClickable(false);
    setHighlightSections(false);
    // Fixed widths: a resize drag would end in a release that toggles a column.
    setSectionResizeMode(QHeaderView::Fixed);
}

QString FlagHeaderView::text(int column) const {
    return column >= 0 && column < 3 ? texts_[column] : QString();
}

void FlagHeaderView::setText(int column, const QString& text) {
    if (column < 0 || column >= 3)
        return;
    texts_[column] = text;
    viewport()->update();
}

void FlagHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    // The model's header texts are empty; the frame and background come from the style.
    QHeaderView::paintSection(painter, rect, logicalIndex);
    if (logicalIndex < 0 || logicalIndex >= 3)
        return;
    QString shown = texts_[logicalIndex];
    painter->save();
    painter->setClipRect(rect);
    if (logicalIndex < 2) {
        bool checked = shown.startsWith('1');
        if (checked) {
            shown.remove(0, 1);
            painter->drawPixmap(rect.left() + 2, rect.top() + 2, CheckMarkImage());
        }
        painter->drawText(rect.adjusted(15, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, shown);
    } else {
        painter->drawText(rect.adjusted(2, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, shown);
    }
    painter->restore();
}

void FlagHeaderView::mouseReleaseEvent(QMouseEvent* event) {
    QHeaderView::mouseReleaseEvent(event);
    int column = logicalIndexAt(event->position().toPoint());
    if (column >= 0)
        emit sectionReleased(column);
}

} // namespace zendrel
