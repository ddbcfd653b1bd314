#include "ui/CheckAllBox.h"

#include "ui/CheckMarkImage.h"

#include <QMouseEvent>
#include <QPainter>

namespace zendrel {

CheckAllBox::CheckAllBox(QWidget* parent) : QFrame(parent) {
    setFixedSize(16, 16);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
}

void CheckAllBox::setChecked(bool on) {
    checked_ = on;
    setFrameShadow(on ? QFrame::Raised : QFrame::Sunken);
    update();
}

void CheckAllBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    setChecked(!checked_);
    emit toggled(checked_);
}

void CheckAllBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (!checked_)
        return;
    QPainter p(this);
    const QPixmap& mark = CheckMarkImage();
    p.drawPixmap((width() - mark.width()) / 2, (height() - mark.height()) / 2, mark);
}

} // namespace zendrel
