#pragma once

#include "engine/ResultStore.h"
#include "engine/SearchSession.h"
#include "platform/MessageLoop.h"
#include "tests/engine/FakeRunSettings.h"
#include "tests/engine/FakeSearchWindow.h"
#include "tests/engine/RecordingListener.h"
#include "tests/support/GatewayProcess.h"

#include <functional>
#include <string>
#include <vector>

namespace zendrel::test {

// Records every Resume caption, not just the last one.
struct RecordingWindow : FakeSearchWindow {
    std::vector<std::string> captions;
    void setResumeCaption(const std::string& caption) override {
        FakeSearchWindow::setResumeCaption(caption);
        captions.push_back(caption);
    }
};

// Records the State texts each row shows, in order, and how many rows hold a connection.
struct StateLog : ResultStoreObserver {
    ResultStore* rows = nullptr;
    std::vector<std::vector<std::string>> states;
    std::vector<std::vector<std::string>> times;
    std::vector<std::size_t> firstTouched; // rows in the order they were first written
    std::size_t maxLive = 0;
    void rowsAppended(std::size_t first, std::size_t count) override {
        states.resize(first + count);
        times.resize(first + count);
    }
    void rowChanged(std::size_t row) override;
    void storeReset() override {}
};

// A search session against a real local gateway, on a manual clock: timers move only when the
// test advances time, while the gateway's replies arrive over real loopback sockets. The zone
// table sends "com" and "net" to the gateway with method 1.
class RunHarness {
public:
    explicit RunHarness(std::vector<std::string> gatewayArgs = {},
                        const std::string& methodText = "");
    ~RunHarness();

    void addRows(const std::vector<std::string>& captions);
    void search(); // looks up the rows added, as a search does once its rows are in
    // Advances virtual time in 10 ms steps, letting real sockets deliver between steps, until
    // `done` holds; false when `virtualMs` pass first.
    bool pumpUntil(const std::function<bool()>& done, long virtualMs = 120000);
    bool pumpUntilCompleted(long virtualMs = 120000);
    bool completed() const;
    std::size_t liveConnections() const;

    ManualClock clock;
    MessageLoop loop{clock};
    RecordingWindow window;
    FakeRunSettings settings;
    RecordingListener events;
    StateLog log;
    std::vector<std::string> failures;
    GatewayProcess gateway;
    SearchSession session{loop, window, settings};
    ResultStore& rows = session.rows();
    const RunVariables& vars = session.variables();
};

} // namespace zendrel::test
