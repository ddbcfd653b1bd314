#pragma once

// A search run without a window over the rows of one zone line, as the benchmarks of the run
// drive it: 100 connections, no resume, the sample workspace's methods.
#include "bench/ProcessFigures.h"
#include "engine/LookupOutcome.h"
#include "engine/RunSettings.h"
#include "engine/SearchSession.h"
#include "engine/SearchWindow.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"

#include <string>

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
