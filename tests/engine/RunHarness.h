#pragma once

#include "engine/CheckAllToggle.h"
#include "engine/ResultStore.h"
#include "engine/RunSettings.h"
#include "engine/SearchRun.h"
#include "lookup/MethodTable.h"
#include "lookup/ZoneTable.h"
#include "platform/MessageLoop.h"
#include "tests/engine/FakeSearchWindow.h"
#include "tests/support/GatewayProcess.h"

#include <functional>
#include <string>
#include <vector>

namespace zendrel::test {

struct FakeRunSettings : RunSettings {
    int links = 10;
    int seconds = 50;
    bool resume = false;
    int resumeLimit = 0;
    bool deleteRows = false;
    ConnectionSettings connection{};
    int linkLimit() const override { return links; }
    int timeLimit() const override { return seconds; }
    bool autoResume() const override { return resume; }
    int autoResumeLimit() const override { return resumeLimit; }
    bool deleteUnavailable() const override { return deleteRows; }
    ConnectionSettings connectionSettings() const override { return connection; }
};

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

// A search run against a real local gateway, on a manual clock: timers move only when the test
// advances time, while the gateway's replies arrive over real loopback sockets.
class RunHarness {
public:
    explicit RunHarness(std::vector<std::string> gatewayArgs = {},
                        const std::string& methodText = "");
    ~RunHarness();

    void addRows(const std::vector<std::string>& captions);
    void search(); // as the generator does: SearchRun state, WM_RUN_START posted
    // Advances virtual time in 10 ms steps, letting real sockets deliver between steps, until
    // `done` holds; false when `virtualMs` pass first.
    bool pumpUntil(const std::function<bool()>& done, long virtualMs = 120000);
    bool pumpUntilCompleted(long virtualMs = 120000);
    bool completed() const;
    std::size_t liveConnections() const;

    ManualClock clock;
    MessageLoop loop{clock};
    RunVariables vars;
    ResultStore rows;
    ZoneTable zones;
    MethodTable methods;
    RecordingWindow window;
    FakeRunSettings settings;
    CheckAllToggle toggle;
    StateLog log;
    std::vector<std::string> failures;
    GatewayProcess gateway;
    SearchRun run;
};

} // namespace zendrel::test
