#include "ui/QtLoopBridge.h"

#include "platform/MessageLoop.h"

#include <QSocketNotifier>
#include <algorithm>
#include <limits>

namespace zendrel {

namespace {
// While a pass runs, a handler may open a modal dialog and stay inside it for minutes. The loop
// does not call the wake hook from inside a pass, so this guard timer keeps later passes coming
// from the dialog's own event loop.
constexpr int kGuardMs = 5;
constexpr int kPassBudgetMs = 5;
} // namespace

QtLoopBridge::QtLoopBridge(MessageLoop& loop, std::function<void(const std::string&)> onFailure,
                           QObject* parent)
    : QObject(parent), loop_(loop),
      notifier_(std::make_unique<QSocketNotifier>(loop.pollFd(), QSocketNotifier::Read)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &QtLoopBridge::runOnce);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &QtLoopBridge::runOnce);
    loop_.setFailureHook(std::move(onFailure));
    // The hook may be called from any handler; a zero-time timer defers the pass to Qt.
    loop_.setWakeHook([this] {
        if (!timer_.isActive() || timer_.remainingTime() > 0)
            timer_.start(0);
    });
    timer_.start(0);
}

QtLoopBridge::~QtLoopBridge() {
    loop_.setWakeHook({});
    loop_.setFailureHook({});
}

void QtLoopBridge::runOnce() {
    ++depth_;
    timer_.start(kGuardMs);
    loop_.runPending(kPassBudgetMs);
    --depth_;
    schedule();
}

void QtLoopBridge::schedule() {
    const std::optional<Millis> next = loop_.nextDeadline();
    if (depth_ > 0) {
        // An outer pass is still on the stack (we are inside a modal dialog): keep the guard.
        timer_.start(next ? static_cast<int>(std::min<Millis>(*next, kGuardMs)) : kGuardMs);
        return;
    }
    if (!next) {
        timer_.stop();
        return;
    }
    const Millis capped = std::min<Millis>(*next, std::numeric_limits<int>::max());
    timer_.start(static_cast<int>(std::max<Millis>(capped, 0)));
}

} // namespace zendrel
