#pragma once
// Pieces shared by the benchmarks that drive the main window offscreen: dialogs that never
// block, a scratch workspace folder, a probe for stalls of Qt's event loop and the resident size.

#include "bench/ProcessFigures.h"
#include "ui/DialogService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

namespace zendrel::bench {

// Counts the message boxes the window shows; every other dialog is cancelled.
class QuietDialogs final : public DialogService {
public:
    int messages = 0;
    QString lastMessage;
    void showMessage(QWidget*, const QString& text, const QString&, Icon) override {
        ++messages;
        lastMessage = text;
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
    std::optional<QString> openFileName(QWidget*, const QString&, const QString&,
                                        const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(QWidget*, const QString&, const QString&,
                                        const QString&) override {
        return std::nullopt;
    }
    bool askItem(QWidget*, bool, QString&) override { return false; }
    void beep() override {}
};

// A fresh folder under the system's temporary folder, removed with its files at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = "/tmp/zendrel-bench-XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a scratch folder");
        path_ = pattern + "/";
    }
    ~ScratchFolder() {
        const std::string command = "rm -rf '" + path_ + "'";
        [[maybe_unused]] int rc = std::system(command.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path_ + name, std::ios::binary) << text;
    }

private:
    std::string path_;
};

// A 10 ms Qt timer that notes the longest gap between two of its ticks: how long the window
// could not have reacted to input or painted.
class StallProbe {
public:
    StallProbe() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            worst_ = std::max(worst_, now - last_);
            last_ = now;
        });
    }
    void start() {
        worst_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start(10);
    }
    void stop() { timer_.stop(); }
    qint64 worstMs() const { return worst_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 worst_ = 0;
};

// Lets Qt's event loop run until `done` holds or `limitMs` pass; returns done().
inline bool RunEventsUntil(const std::function<bool()>& done, qint64 limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

// Resident memory of this process in megabytes.
inline double ResidentMb() {
    return static_cast<double>(RssKb()) / 1024.0;
}

} // namespace zendrel::bench
