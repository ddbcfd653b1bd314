#include "ui/UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

namespace zendrel {

namespace {

QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(16, 10);
    return b;
}

// Whole decimal number with an optional sign, nothing else (blanks around are allowed).
bool parseNumber(const QString& text, int& out) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (!c.isDigit() && !(i == 0 && (c == '-' || c == '+')))
            return false;
    }
    bool ok = false;
    out = t.toInt(&ok);
    return ok;
}

} // namespace

UpDown::UpDown(int minimum, int maximum, int position, QWidget* parent)
    : QWidget(parent), min_(minimum), max_(maximum), position_(std::clamp(position, min_, max_)),
      up_(arrowButton(Qt::UpArrow, this)), down_(arrowButton(Qt::DownArrow, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    setFixedWidth(16);
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::setBuddy(QLineEdit* edit) {
    buddy_ = edit;
    connect(edit, &QLineEdit::textEdited, this, &UpDown::takeTypedText);
    connect(edit, &QLineEdit::editingFinished, this, &UpDown::showPosition);
    // Arrow keys and the mouse wheel over the field step the value like the arrows do.
    edit->installEventFilter(this);
    showPosition();
}

void UpDown::setPosition(int value) {
    const int v = std::clamp(value, min_, max_);
    const bool changed = v != position_;
    position_ = v;
    showPosition();
    if (changed)
        emit positionChanged(position_);
}

void UpDown::stepBy(int delta) {
    setPosition(static_cast<int>(
        std::clamp<long long>(static_cast<long long>(position_) + delta, min_, max_)));
}

void UpDown::takeTypedText(const QString& text) {
    int v = 0;
    if (!parseNumber(text, v) || v < min_ || v > max_)
        return;
    if (v != position_) {
        position_ = v;
        emit positionChanged(position_);
    }
}

void UpDown::showPosition() {
    if (!buddy_)
        return;
    const QString text = QString::number(position_);
    if (buddy_->text() != text)
        buddy_->setText(text);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::Wheel) {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta != 0)
            stepBy(delta > 0 ? 1 : -1);
        return true;
    }
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zendrel
