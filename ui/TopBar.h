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

    void setRunButtons(bool search, bool stop);
    void setProgressVisible(bool shown);
    void setProgressMaximum(int maximum);
    void setProgressPosition(int position);

signals:
    void searchClicked();
    void stopClicked();
    void exitClicked();

private:
    QToolButton* sbSearch;
    QToolButton* sbStop;
    QProgressBar* pbar;
    QToolButton* ExplorerButton1;
};

} // namespace zendrel
