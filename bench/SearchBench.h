#pragma once

// A search run without a window over the rows of one zone line, as the benchmarks of the run
// drive it: 100 connections, no resume, the sample workspace's methods.
#include "engine/LookupOutcome.h"
#include "engine/RunSettings.h"
#include "engine/SearchSession.h"
#include "engine/SearchWindow.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"

#include <fstream>
#include <string>
#include <sys/resource.h>

namespace zendrel::bench {

// The end of the run, and how many lookups got a reply the method could read: a figure of a
// run whose lookups failed would time the failures.
struct EndOfRun : SearchListener {
    bool completed = false;
    int answered = 0;
    void lookupEnded(std::size_t, const LookupOutcome& outcome) override {
        answered += outcome.verdict != ReplyState::NoData;
    }
    void runFinished(RunEnd) override { completed = true; }
};

struct HundredConnections : RunSettings {
    int linkLimit() const override { return 100; }
    int timeLimit() const override { return 100; }
    bool autoResume() const override { return false; }
    int autoResumeLimit() const override { return 0; }
    bool deleteUnavailable() const override { return false; }
    ConnectionSettings connectionSettings() const override { return {}; }
};

// User and system time of this process so far.
inline double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Resident memory of this process, as the kernel counts it.
inline long RssKb() {
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

// One session whose zone table is `zoneLine` (for the zone "com").
struct SearchBench {
    MessageLoop loop;
    NoSearchWindow window;
    HundredConnections options;
    EndOfRun end;
    SearchSession session{loop, window, options};

    explicit SearchBench(const std::string& zoneLine) {
        ZoneTable zones;
        ReadZoneTable(zoneLine + "\n", zones);
        session.setZoneTable(std::move(zones));
        std::string text;
        ReadFileBytes(ZENDREL_SOURCE_DIR "/data/method.txt", text);
        MethodTable methods;
        ReadMethodTable(text, methods);
        session.setMethodTable(std::move(methods));
        session.addListener(end);
    }
    // Looks up `count` fresh names of the zone.
    void start(int count) {
        for (int i = 0; i < count; ++i)
            session.rows().append("name" + std::to_string(i) + ".com");
        session.lookUpRows();
    }
    // Waits until the run has ended, at most `limitMs`.
    void finish(int limitMs) {
        loop.runUntil([&] { return end.completed; }, limitMs);
    }
};

} // namespace zendrel::bench
