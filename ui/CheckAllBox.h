#pragma once

#include <QFrame>

namespace zendrel {

// A small sunken square that checks or unchecks a whole list: a click flips it, and the new
// state is announced; while on it shows the check mark.
class CheckAllBox : public QFrame {
    Q_OBJECT
public:
    explicit CheckAllBox(QWidget* parent = nullptr);

    bool isChecked() const { return checked_; }
    // Sets the state without announcing it.
    void setChecked(bool on);

signals:
    // The user flipped the box; `on` is the new state.
    void toggled(bool on);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool checked_ = false;
};

} // namespace zendrel
