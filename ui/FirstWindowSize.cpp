#include "ui/FirstWindowSize.h"

#include <algorithm>

namespace zendrel {

QRect FirstWindowGeometry(const QRect& available, const QSize& design) {
    const QSize size(std::max(design.width(), available.width() * 3 / 4),
                     std::max(design.height(), available.height() * 3 / 4));
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(available.center());
    // A screen smaller than the layout: the window starts at the area's corner.
    if (placed.left() < available.left())
        placed.moveLeft(available.left());
    if (placed.top() < available.top())
        placed.moveTop(available.top());
    return placed;
}

} // namespace zendrel
