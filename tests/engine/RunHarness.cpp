#include "tests/engine/RunHarness.h"

#include "platform/Files.h"

#include <algorithm>

namespace zendrel::test {

namespace {

std::string SampleMethods() {
    std::string text;
    ReadFileBytes(ZENDREL_TEST_DATA "/../../data/method.txt", text);
    return text;
}

} // namespace

void StateLog::rowChanged(std::size_t row) {
    if (row >= states.size())
        return;
    std::string state(rows->subItem(row, ResultStore::kState));
    if (states[row].empty() || states[row].back() != state)
        states[row].push_back(state);
    std::string time(rows->subItem(row, ResultStore::kTime));
    if (times[row].empty() || times[row].back() != time)
        times[row].push_back(time);
    if (std::find(firstTouched.begin(), firstTouched.end(), row) == firstTouched.end())
        firstTouched.push_back(row);
    std::size_t live = 0;
    for (std::size_t i = 0; i < rows->size(); ++i)
        live += rows->connection(i) ? 1 : 0;
    maxLive = std::max(maxLive, live);
}

RunHarness::RunHarness(std::vector<std::string> gatewayArgs, const std::string& methodText)
    : gateway(ZENDREL_BINARY_DIR "/tools/zendrel-gateway", std::move(gatewayArgs)) {
    const std::string url = "http://127.0.0.1:" + std::to_string(gateway.port()) + "/whois?name=%s";
    ZoneTable zones;
    ReadZoneTable("local;" + url + ";1;com\nlocal;" + url + ";1;net\n", zones);
    session.setZoneTable(std::move(zones));
    MethodTable methods;
    ReadMethodTable(methodText.empty() ? SampleMethods() : methodText, methods);
    session.setMethodTable(std::move(methods));
    session.addListener(events);
    log.rows = &rows;
    rows.setObserver(&log);
    loop.setFailureHook([this](const std::string& what) { failures.push_back(what); });
}

RunHarness::~RunHarness() {
    rows.setObserver(nullptr);
}

void RunHarness::addRows(const std::vector<std::string>& captions) {
    for (const std::string& c : captions)
        rows.append(c);
}

void RunHarness::search() {
    session.lookUpRows();
}

bool RunHarness::pumpUntil(const std::function<bool()>& done, long virtualMs) {
    for (long t = 0; t < virtualMs; t += 10) {
        if (done())
            return true;
        loop.runUntil([] { return false; }, 1);
        loop.advance(10);
    }
    return done();
}

bool RunHarness::completed() const {
    return !events.finished.empty();
}

bool RunHarness::pumpUntilCompleted(long virtualMs) {
    return pumpUntil([this] { return completed(); }, virtualMs);
}

std::size_t RunHarness::liveConnections() const {
    std::size_t live = 0;
    for (std::size_t i = 0; i < rows.size(); ++i)
        live += rows.connection(i) ? 1 : 0;
    return live;
}

} // namespace zendrel::test
