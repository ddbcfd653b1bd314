#include "ui/ListButton.h"

#include <QToolButton>

namespace zendrel {

QToolButton* MakeListButton(QWidget* parent, const char* name, const QString& caption,
                            const QString& hint, int tag) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setProperty("tag", tag);
    b->setMinimumWidth(caption.size() > 1 ? 40 : 22);
    return b;
}

int ButtonTag(const QObject* button) {
    return button ? button->property("tag").toInt() : 0;
}

} // namespace zendrel
