#pragma once

#include <QFrame>

class QProgressBar;
class QToolButton;

namespace zendrel {

// The strip above the work area: Search and Stop on the left, the generation progress bar in the
// middle, Exit on the right.
class TopBar final : public QFrame {
    Q_OBJECT
public:
    explicit TopBar(QWidget* parent = nullptr);

    QToolButton* sbSearch;
    QToolButton* sbStop;
    QProgressBar* pbar;
    QToolButton* ExplorerButton1;
};

} // namespace zendrel
