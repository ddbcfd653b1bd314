// A search run against the local gateway without a window: lookups per second at 100
// connections, process CPU per lookup, and resident memory with 100 lookups live.
#include "engine/RunSettings.h"
#include "engine/SearchSession.h"
#include "engine/SearchWindow.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "tests/support/GatewayProcess.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>

using namespace zendrel;

namespace {

struct EndOfRun : SearchListener {
    bool completed = false;
    void runFinished(RunEnd) override { completed = true; }
};

struct Options : RunSettings {
    int linkLimit() const override { return 100; }
    int timeLimit() const override { return 100; }
    bool autoResume() const override { return false; }
    int autoResumeLimit() const override { return 0; }
    bool deleteUnavailable() const override { return false; }
    ConnectionSettings connectionSettings() const override { return {}; }
};

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long RssKb() {
    std::ifstream in("/proc/self/status");
    std::string key;
    long value = 0;
    while (in >> key) {
        if (key == "VmRSS:") {
            in >> value;
            return value;
        }
        in.ignore(1 << 20, '\n');
    }
    return 0;
}

// One run over `rows` names on a gateway started with `args`; `stopWhen` may end it early.
struct Bench {
    test::GatewayProcess gateway;
    MessageLoop loop;
    NoSearchWindow window;
    Options options;
    EndOfRun end;
    SearchSession session{loop, window, options};

    explicit Bench(std::vector<std::string> args)
        : gateway(ZENDREL_BINARY_DIR "/tools/zendrel-gateway", std::move(args)) {
        const std::string url =
            "http://127.0.0.1:" + std::to_string(gateway.port()) + "/whois?name=%s";
        ZoneTable zones;
        ReadZoneTable("bench;" + url + ";1;com\n", zones);
        session.setZoneTable(std::move(zones));
        std::string text;
        ReadFileBytes(ZENDREL_SOURCE_DIR "/data/method.txt", text);
        MethodTable methods;
        ReadMethodTable(text, methods);
        session.setMethodTable(std::move(methods));
        session.addListener(end);
    }
    void start(int count) {
        for (int i = 0; i < count; ++i)
            session.rows().append("name" + std::to_string(i) + ".com");
        session.lookUpRows();
    }
};

} // namespace

int main() {
    {
        Bench b({"--idle-exit-ms", "60000"});
        const int count = 5000;
        const double cpu0 = CpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        b.start(count);
        b.loop.runUntil([&] { return b.end.completed; }, 600000);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("run.lookups_per_s: %.1f lookups/s\n", count / wall);
        std::printf("run.cpu_ms_per_lookup: %.3f ms\n", (CpuSeconds() - cpu0) * 1000 / count);
    }
    {
        Bench b({"--delay-ms", "60000", "--idle-exit-ms", "60000"});
        b.start(200);
        b.loop.runUntil([&] { return b.session.variables().activeLookups >= 100; }, 60000);
        b.loop.runUntil([] { return false; }, 500); // let every connection reach its wait
        std::printf("run.rss_mb_100_live: %.1f MB\n", static_cast<double>(RssKb()) / 1024);
        b.session.stop();
        b.loop.runUntil([&] { return b.end.completed; }, 10000);
    }
    return 0;
}
