#include "app/cli/HeadlessRun.h"

#include "engine/LookupReport.h"
#include "engine/ResultStore.h"
#include "engine/SearchSession.h"
#include "platform/MessageLoop.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/signalfd.h>
#include <unistd.h>

namespace zendrel {

namespace {

constexpr unsigned WM_SIGNAL = WM_USER + 1;
constexpr unsigned kProgressTimer = 1;
// A line a second where progress is a log; a terminal line moves a little more often.
constexpr Millis kPlainInterval = 1000;
constexpr Millis kTerminalInterval = 500;

// Ctrl-C and termination requests are read from a descriptor, so they arrive through the loop
// like any other event and act as Stop at a moment the search is ready for.
int SignalFd() {
    sigset_t mask;
    sigemptyset(&mask);
    sigaddset(&mask, SIGINT);
    sigaddset(&mask, SIGTERM);
    sigprocmask(SIG_BLOCK, &mask, nullptr);
    return signalfd(-1, &mask, SFD_NONBLOCK | SFD_CLOEXEC);
}

} // namespace

HeadlessRun::HeadlessRun(MessageLoop& loop, const Workspace& ws, const RunSetup& setup,
                         bool verbose, ProgressDisplay& display, ResultStream& output)
    : MessageTarget(loop), setup_(setup), verbose_(verbose), display_(display), output_(output),
      window_([this](const std::string& line) { display_.say(line); }), settings_(setup.settings) {
    session_ = std::make_unique<SearchSession>(loop, window_, settings_);
    session_->setZoneTable(ws.zones);
    session_->setMethodTable(ws.methods);
    session_->addListener(window_);
    session_->addListener(*this);
    const bool resumes = settings_.autoResume() && settings_.autoResumeLimit() > 0;
    streaming_ = !resumes && !settings_.deleteUnavailable();
    sharedTerminal_ = display_.terminal() && ::isatty(STDOUT_FILENO);
}

HeadlessRun::~HeadlessRun() {
    if (signalFd_ >= 0) {
        loop().unwatchFd(signalFd_);
        ::close(signalFd_);
    }
}

int HeadlessRun::run() {
    signalFd_ = SignalFd();
    if (signalFd_ >= 0)
        loop().watchFd(signalFd_, kFdReadable, *this, WM_SIGNAL);
    start_ = loop().now();
    rate_.start(start_);
    setTimer(kProgressTimer, display_.terminal() ? kTerminalInterval : kPlainInterval);

    session_->search(setup_.input);
    if (window_.refused)
        return kExitNoSearch;
    auto over = [&] { return window_.ended || !session_->busy(); };
    while (!over())
        loop().runUntil(over, 60 * 60 * 1000);
    killTimer(kProgressTimer);

    if (display_.terminal()) {
        if (!window_.quiet)
            showProgress(); // the last state stays on the screen
        display_.finish();
    }
    if (output_.error() == 0 && !output_.writeRest(session_->rows()))
        outputFailed();
    return exitStatus();
}

int HeadlessRun::exitStatus() const {
    if (output_.error() == EPIPE)
        return kExitReaderGone;
    if (output_.error() != 0)
        return kExitFailed;
    return interrupted_ ? kExitInterrupt : kExitComplete;
}

void HeadlessRun::handleMessage(const Message& m) {
    if (m.msg == WM_SIGNAL) {
        onSignal();
    } else if (m.msg == WM_TIMER && m.wParam == kProgressTimer) {
        writeFinalRows();
        if (output_.error() == 0)
            showProgress();
    }
}

void HeadlessRun::onSignal() {
    signalfd_siginfo info;
    bool any = false;
    while (::read(signalFd_, &info, sizeof info) == sizeof info)
        any = true;
    if (any) {
        interrupted_ = true;
        session_->stop();
    }
}

void HeadlessRun::showProgress() {
    const RunVariables& v = session_->variables();
    const Millis now = loop().now();
    ProgressFigures f;
    // Rows already written are final: they are counted once, and only the rest each time.
    const ResultStore& rows = session_->rows();
    for (; counted_ < output_.written(); ++counted_)
        writtenCounts_.add(StateGroupOf(rows.subItem(counted_, ResultStore::kState)));
    f.counts = writtenCounts_;
    f.counts += CountRowStates(rows, counted_);
    f.waiting = session_->waitingRows();
    // Rows waiting for their server were passed over, not done.
    f.handedOut =
        std::max<long>(0, v.lastDispatched + 1 - v.activeLookups - static_cast<long>(f.waiting));
    f.live = v.activeLookups;
    f.elapsed = now - start_;
    f.perMinute = rate_.perMinute(now);
    if (const std::size_t remaining = f.counts.waiting + f.counts.open)
        f.secondsLeft = rate_.secondsLeft(remaining, now);
    display_.show(f);
}

void HeadlessRun::lookupEnded(std::size_t row, const LookupOutcome& outcome) {
    rate_.ended(loop().now());
    if (verbose_) {
        if (std::optional<std::string> why = WhyNoAnswer(outcome))
            display_.say("zendrel-search: " + std::string(session_->rows().caption(row)) + ": " +
                         *why);
    }
    writeFinalRows();
}

bool HeadlessRun::rowFinal(std::size_t row) const {
    const ResultStore& rows = session_->rows();
    return rows.connection(row) == nullptr &&
           LookupEnded(StateGroupOf(rows.subItem(row, ResultStore::kState)));
}

void HeadlessRun::writeFinalRows() {
    if (!streaming_ || output_.error() != 0 || output_.written() >= session_->rows().size() ||
        !rowFinal(output_.written()))
        return;
    if (sharedTerminal_)
        display_.hide();
    if (!output_.writeFinal(session_->rows(), [this](std::size_t row) { return rowFinal(row); }))
        outputFailed();
}

void HeadlessRun::outputFailed() {
    if (output_.error() == EPIPE) {
        // The reader took what it wanted (as `head` does): no message, and no more work.
        window_.quiet = true;
    } else {
        display_.say(std::string("zendrel-search: the results could not be written: ") +
                     std::strerror(output_.error()));
    }
    session_->stop();
}

} // namespace zendrel
