// How long Qt's event loop can be kept from reacting while a search of 10,000 rows runs with
// 100 lookups live against the local gateway: the longest gap between two ticks of a 10 ms
// probe timer, with the window and its results view shown offscreen.
#include "bench/ui/LiveWindow.h"

#include <QApplication>

using namespace zendrel;

namespace {
constexpr int kReplyDelayMs = 1000; // keeps about 100 lookups live at 100 dispatches a second
constexpr int kMeasureMs = 8000;

// 100 keywords joined up to two at a time: 10,000 names in one zone.
std::vector<std::string> keywords() {
    std::vector<std::string> words;
    for (int i = 0; i < 100; ++i)
        words.push_back("kw" + std::to_string(100 + i));
    return words;
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::LiveWindow live(kReplyDelayMs, keywords(), {"com"});
    live.setCombinations(2);
    QApplication::processEvents();
    bench::StallProbe probe;
    int mostLive = 0;
    probe.start();
    live.window->sbSearchClick();
    bench::RunEventsUntil(
        [&] {
            mostLive = std::max(mostLive, live.window->session().variables().activeLookups);
            return false;
        },
        kMeasureMs);
    probe.stop();
    const std::size_t rows = live.window->results().size();
    if (!live.stop() || rows != 10000 || mostLive < 90) {
        std::fprintf(stderr, "rows %zu, most live %d\n", rows, mostLive);
        return 1;
    }
    std::printf("ui.max_stall_ms: %lld ms\n", static_cast<long long>(probe.worstMs()));
    std::printf("ui.max_stall_live_lookups: %d count\n", mostLive);
    return 0;
}
