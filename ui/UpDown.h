#pragma once

#include "engine/RunOptions.h"

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace zendrel {

// An up-down spin control joined to an edit field: the position is the value in use, the field
// shows it. A number typed into the field becomes the position when it lies in range; anything
// else is not taken, and when the field loses focus it shows the position again. The position
// never wraps around at its limits.
class UpDown final : public QWidget {
    Q_OBJECT
public:
    UpDown(int minimum, int maximum, int position, QWidget* parent = nullptr);
    // The field of a run option: its range and its position before the settings apply.
    explicit UpDown(const RunOption& option, QWidget* parent = nullptr)
        : UpDown(option.minimum, option.maximum, option.initial, parent) {}

    // Joins the edit field (which the caller places); its text follows the position from now on.
    void setBuddy(QLineEdit* edit);
    QLineEdit* buddy() const { return buddy_; }

    int position() const { return position_; }
    int minimum() const { return min_; }
    int maximum() const { return max_; }
    // Clamps into range; the field is rewritten.
    void setPosition(int value);
    // Moves by `delta` steps, stopping at the limits.
    void stepBy(int delta);

signals:
    void positionChanged(int value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeTypedText(const QString& text);
    void showPosition();

    int min_;
    int max_;
    int position_;
    QLineEdit* buddy_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace zendrel
