#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

namespace zendrel {

class MessageLoop;

// Lets Qt's event loop, which owns the thread, drive the message loop: readiness of the loop's
// poll fd, its next timer deadline and the wake-up for newly posted work each schedule one
// runPending() pass. Because the drivers are ordinary Qt notifiers and timers, a modal dialog's
// own event loop keeps lookups going.
class QtLoopBridge final : public QObject {
    Q_OBJECT
public:
    // Installs the loop's wake and failure hooks; `onFailure` receives what a handler threw.
    QtLoopBridge(MessageLoop& loop, std::function<void(const std::string&)> onFailure,
                 QObject* parent = nullptr);
    ~QtLoopBridge() override;

    // Runs one bounded pass now and schedules the next one.
    void runOnce();

private:
    void schedule();

    MessageLoop& loop_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer timer_;
    int depth_ = 0;
};

} // namespace zendrel
