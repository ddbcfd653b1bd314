#include "ui/CheckMarkImage.h"

#include <QPainter>
#include <QPixmap>

namespace zendrel {

namespace {

// Drawn rather than loaded so the program ships no image files; 1-based rows of a 10x10 cell.
QPixmap drawCheckMark() {
    QPixmap image(10, 10);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawLine(1, 5, 3, 8);
    p.drawLine(3, 8, 8, 1);
    return image;
}

} // namespace

const QPixmap& CheckMarkImage() {
    static const QPixmap image = drawCheckMark();
    return image;
}

} // namespace zendrel
