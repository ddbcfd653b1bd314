#pragma once

#include <QFrame>

class QHBoxLayout;

namespace zendrel {

// The grey strip with white 12-pixel text that heads a pane.
class TitleStrip final : public QFrame {
    Q_OBJECT
public:
    explicit TitleStrip(QWidget* parent = nullptr);
    QHBoxLayout* row() const { return row_; }
    // The style of the strip's text, for widgets placed in it.
    static QString textStyle();

private:
    QHBoxLayout* row_;
};

} // namespace zendrel
