#include "ui/TitleStrip.h"

#include <QHBoxLayout>

namespace zendrel {

TitleStrip::TitleStrip(QWidget* parent) : QFrame(parent), row_(new QHBoxLayout(this)) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::gray);
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);
    setFixedHeight(20);
    row_->setContentsMargins(2, 0, 2, 0);
    row_->setSpacing(4);
}

QString TitleStrip::textStyle() {
    return QStringLiteral("color: white; font-size: 12px; font-weight: bold;");
}

} // namespace zendrel
