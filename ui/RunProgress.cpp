#include "ui/RunProgress.h"

#include "engine/SearchSession.h"
#include "platform/MessageLoop.h"

namespace zendrel {

RunProgress::RunProgress(const SearchSession& session, MessageLoop& loop, RunStatusBar& bar,
                         QObject* parent)
    : QObject(parent), session_(session), loop_(loop), bar_(bar) {
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &RunProgress::update);
}

void RunProgress::runButtonsBusy(bool busy) {
    if (busy == running_)
        return; // the passes of one run keep their pace
    running_ = busy;
    if (busy) {
        ended_ = 0;
        rate_.start(loop_.now());
        timer_.start();
        update();
        return;
    }
    timer_.stop();
    // The end of a run may still delete rows before the loop comes round again.
    QTimer::singleShot(0, this, &RunProgress::update);
}

void RunProgress::lookupEnded(std::size_t, const LookupOutcome&) {
    rate_.ended(loop_.now());
    ++ended_;
}

void RunProgress::searchEnded(SearchEnd) {
    update();
}

void RunProgress::update() {
    const Millis now = loop_.now();
    figures_.counts = CountRowStates(session_.rows());
    figures_.running = running_;
    figures_.perMinute.reset();
    figures_.secondsLeft.reset();
    // After a search that looked nothing up (no zone checked, stopped at once) there is no pace.
    if (running_ || ended_ > 0)
        figures_.perMinute = rate_.perMinute(now);
    const std::size_t remaining = figures_.counts.waiting + figures_.counts.open;
    if (running_)
        figures_.secondsLeft = rate_.secondsLeft(remaining, now);
    bar_.showFigures(figures_);
    ++updates_;
    emit figuresShown();
}

} // namespace zendrel
