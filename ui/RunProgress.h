#pragma once

#include "engine/LookupRate.h"
#include "engine/SearchListener.h"
#include "ui/RunStatusBar.h"

#include <QObject>
#include <QTimer>

namespace zendrel {

class MessageLoop;
class SearchSession;

// Keeps the status bar's run fields current: while a search runs it counts the rows by state a
// few times a second (never per row), with the pace of the last minute and the time left; once
// the search is over it shows the final counts and stops.
class RunProgress final : public QObject, public SearchListener {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 250;

    RunProgress(const SearchSession& session, MessageLoop& loop, RunStatusBar& bar,
                QObject* parent = nullptr);

    // The run buttons show a busy (or an idle) window: a search or resume began (or ended).
    void runButtonsBusy(bool busy);
    bool running() const { return running_; }
    // Counts the rows and shows the figures now.
    void update();
    // How many times the figures were shown.
    int updates() const { return updates_; }
    const RunStatusFigures& figures() const { return figures_; }

signals:
    // The figures were just shown; nothing has run on the loop since they were counted.
    void figuresShown();

private:
    void lookupEnded(std::size_t row, const LookupOutcome& outcome) override;
    void searchEnded(SearchEnd end) override;

    const SearchSession& session_;
    MessageLoop& loop_;
    RunStatusBar& bar_;
    QTimer timer_;
    LookupRate rate_;
    bool running_ = false;
    std::size_t ended_ = 0; // lookups ended since the last start
    RunStatusFigures figures_;
    int updates_ = 0;
};

} // namespace zendrel
