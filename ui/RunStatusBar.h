#pragma once

#include "engine/NameCount.h"
#include "engine/RowStateCounts.h"

#include <QStatusBar>
#include <cstdint>
#include <optional>

class QLabel;
class QToolButton;

namespace zendrel {

// Where the rows of the list stand, for the status bar.
struct RunStatusFigures {
    RowStateCounts counts;
    bool running = false;
    std::optional<double> perMinute;         // none before the first search
    std::optional<std::int64_t> secondsLeft; // while running, once the pace is known
};

// The texts of the status bar's run fields.
struct RunStatusTexts {
    QString available;    // "is available: 3"
    QString notAvailable; // "is not available: 12"
    QString hold;         // "hold: 0"
    QString noData;       // "no data: 1" ("no method" rows count here too)
    QString waiting;      // "waiting: 40": rows without a verdict yet
    QString rate;         // "84 lookups/min"; empty before the first search
    QString left;         // "2m10s left" while running; otherwise empty
};
RunStatusTexts DescribeRunStatus(const RunStatusFigures& f);

// The window's status bar: on the left the number of names the next Search makes, on the right
// the counts of the list's rows by state, the pace of lookups, the time left of a running search
// and the button that opens the rule tester.
class RunStatusBar final : public QStatusBar {
    Q_OBJECT
public:
    explicit RunStatusBar(QWidget* parent = nullptr);

    void showNameCount(const NameCount& count);
    void showFigures(const RunStatusFigures& f);

signals:
    void ruleTesterClicked();

private:
    QLabel* field(const char* name, const QString& hint);

    QLabel* lblCount;
    QLabel* lblAvailable;
    QLabel* lblNotAvailable;
    QLabel* lblHold;
    QLabel* lblNoData;
    QLabel* lblWaiting;
    QLabel* lblRate;
    QLabel* lblLeft;
    QToolButton* sbRules;
};

} // namespace zendrel
