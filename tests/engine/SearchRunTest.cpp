#include "tests/engine/RunHarness.h"
#include "tests/support/ScriptedServer.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace zendrel::test {
namespace {

std::string State(const RunHarness& h, std::size_t row) {
    return std::string(h.rows.subItem(row, ResultStore::kState));
}
std::string Time(const RunHarness& h, std::size_t row) {
    return std::string(h.rows.subItem(row, ResultStore::kTime));
}

TEST(SearchRun, LooksUpEveryRowAndEndsWithTheSummary) {
    RunHarness h;
    h.addRows({"shop.com", "zzfree.com", "pixel.net", "shop.net"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted());
    EXPECT_EQ(State(h, 0), "is not available");
    EXPECT_EQ(State(h, 1), "is available");
    EXPECT_EQ(State(h, 2), "hold");
    EXPECT_FALSE(h.rows.checked(0));
    EXPECT_TRUE(h.rows.checked(1));
    EXPECT_TRUE(h.rows.checked(2));
    // Extraction fills registrar, created and both name servers for a taken name.
    EXPECT_FALSE(h.rows.subItem(0, ResultStore::kFirstExtra).empty());
    EXPECT_FALSE(h.rows.subItem(0, ResultStore::kFirstExtra + 3).empty());
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Time(h, i), "~");
        EXPECT_EQ(h.rows.connection(i), nullptr);
        // "Ready" arrives before the verdict and never replaces it.
        ASSERT_FALSE(h.log.states[i].empty());
        EXPECT_NE(h.log.states[i].back(), "Ready");
    }
    EXPECT_EQ(h.events.passes, (std::vector<int>{1}));
    EXPECT_EQ(h.events.finished, (std::vector<RunEnd>{RunEnd::Completed}));
    EXPECT_EQ(h.events.ended, (std::vector<SearchEnd>{SearchEnd::Completed}));
    ASSERT_EQ(h.events.lookups.size(), 4u);
    EXPECT_EQ(h.events.lookups[1].second.verdict, ReplyState::Available);
    EXPECT_EQ(h.events.lookups[1].second.httpStatus, 200);
    EXPECT_EQ(h.events.lookups[1].second.failure, LookupFailure::None);
    EXPECT_EQ(h.vars.runState, RunState::Idle);
    EXPECT_TRUE(h.window.searchEnabled);
    EXPECT_FALSE(h.window.stopEnabled);
    EXPECT_EQ(h.window.resumeCaption, "Resume");
    EXPECT_EQ(h.session.headerToggleCounter(), -1);
}

TEST(SearchRun, OneConnectionLooksRowsUpStrictlyInOrder) {
    RunHarness h;
    h.settings.links = 1;
    h.addRows({"a1.com", "a2.com", "a3.com", "a4.com", "a5.com"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted());
    EXPECT_EQ(h.log.maxLive, 1u);
    EXPECT_EQ(h.log.firstTouched, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
}

TEST(SearchRun, ReplyWithinASecondGoesFromEmptyTimeStraightToTilde) {
    RunHarness h;
    h.addRows({"shop.com"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted());
    EXPECT_EQ(h.log.times[0], (std::vector<std::string>{"", "~"}));
}

TEST(SearchRun, PassWaitsForLiveLookupsBeforeFinishing) {
    RunHarness h({"--delay-ms", "300"});
    h.settings.links = 3;
    h.addRows({"b1.com", "b2.com", "b3.com"});
    h.search();
    // All three are handed out within a few ticks; the pass is then complete but must wait.
    ASSERT_TRUE(h.pumpUntil([&] { return h.vars.lastDispatched == 2; }));
    EXPECT_FALSE(h.completed());
    ASSERT_TRUE(h.pumpUntilCompleted());
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(State(h, i), "is available");
}

TEST(SearchRun, TimeLimitAbortsAtTheSecondTickWithNoData) {
    RunHarness h({"--delay-ms", "60000"});
    h.settings.seconds = 1;
    h.addRows({"slow.com"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted(10000));
    EXPECT_EQ(State(h, 0), "no data");
    EXPECT_EQ(Time(h, 0), "2");
    ASSERT_EQ(h.events.lookups.size(), 1u);
    EXPECT_EQ(h.events.lookups[0].second.failure, LookupFailure::TimeLimit);
    EXPECT_EQ(h.log.times[0], (std::vector<std::string>{"", "1", "2"}));
}

// Lets virtual time pass while a reply streams in: one millisecond per block received.
struct StreamingClockLog : StateLog {
    ManualClock* clock = nullptr;
    void rowChanged(std::size_t row) override {
        StateLog::rowChanged(row);
        if (rows->subItem(row, ResultStore::kState).rfind("Loading ", 0) == 0)
            clock->set(clock->now() + 1);
    }
};

TEST(SearchRun, TimeLimitEndsALookupWhoseReplyNeverEnds) {
    ScriptedServer endless({ScriptedServer::readRequest(),
                            ScriptedServer::send("HTTP/1.0 200 OK\r\n\r\n"),
                            ScriptedServer::stream(std::string(64 * 1024, 'z'), 15000)});
    RunHarness h;
    ZoneTable zones;
    ReadZoneTable("local;" + endless.url("/whois?name=%s") + ";1;com\n", zones);
    h.session.setZoneTable(std::move(zones));
    StreamingClockLog log;
    log.rows = &h.rows;
    log.clock = &h.clock;
    h.rows.setObserver(&log);
    h.settings.seconds = 2;
    h.addRows({"endless.com"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted(10000));
    h.rows.setObserver(nullptr);
    // The ticks kept coming while the bytes did: the third ends the lookup, about three virtual
    // seconds in, long before the sender gives up.
    EXPECT_EQ(State(h, 0), "no data");
    ASSERT_GE(log.times[0].size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.times[0].begin(), log.times[0].begin() + 4),
              (std::vector<std::string>{"", "1", "2", "3"}));
    EXPECT_LT(h.clock.now(), 3500);
}

TEST(SearchRun, StopAbortsLiveLookupsAndRowsKeepTheirTexts) {
    RunHarness h({"--delay-ms", "60000"});
    h.addRows({"c1.com", "c2.com", "c3.com"});
    h.search();
    ASSERT_TRUE(h.pumpUntil([&] { return h.vars.activeLookups == 3 && Time(h, 2) == "2"; }));
    const std::string before = State(h, 1);
    h.session.stop();
    ASSERT_TRUE(h.pumpUntilCompleted(1000));
    EXPECT_EQ(h.liveConnections(), 0u);
    EXPECT_EQ(State(h, 1), before);
    EXPECT_EQ(Time(h, 1), "2");
    EXPECT_EQ(h.events.finished, (std::vector<RunEnd>{RunEnd::Stopped}));
    EXPECT_TRUE(h.events.passes.empty());
    EXPECT_TRUE(h.events.lookups.empty()) << "aborted lookups are released unread";
    // Late reports of the aborted lookups change nothing.
    h.pumpUntil([] { return false; }, 3000);
    EXPECT_EQ(State(h, 1), before);
    EXPECT_FALSE(h.session.dispatchTimerOn());
    EXPECT_EQ(h.events.finished.size(), 1u);
}

TEST(SearchRun, AutomaticResumeRunsTheAllowedPassesOverUncheckedRows) {
    RunHarness h;
    h.settings.resume = true;
    h.settings.resumeLimit = 2;
    h.addRows({"shop.com", "zzfree.com"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted());
    EXPECT_EQ(h.window.captions, (std::vector<std::string>{"Resume : 1", "Resume : 2", "Resume"}));
    EXPECT_EQ(h.events.passes, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(h.events.finished, (std::vector<RunEnd>{RunEnd::Completed}));
    EXPECT_EQ(h.vars.autoResumeCount, 2);
    // The taken row was looked up in all three passes, the free (checked) one only once.
    auto lookups = [&](std::size_t row) {
        return std::count(h.log.states[row].begin(), h.log.states[row].end(), "DnsLookupDone");
    };
    EXPECT_EQ(lookups(0), 3);
    EXPECT_EQ(lookups(1), 1);
}

TEST(SearchRun, NoAutomaticResumeWithZeroPasses) {
    RunHarness h;
    h.settings.resume = true;
    h.settings.resumeLimit = 0;
    h.addRows({"shop.com"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted());
    EXPECT_EQ(h.window.captions, (std::vector<std::string>{"Resume"}));
}

TEST(SearchRun, DeleteUnavailableRemovesExactlyTheTakenRows) {
    RunHarness h({"--delay-ms", "0"}, "");
    h.settings.deleteRows = true;
    h.addRows({"shop.com", "zzfree.com", "nozone.org", "pixel.net", "shop.net"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted());
    ASSERT_EQ(h.rows.size(), 3u);
    EXPECT_EQ(h.rows.caption(0), "zzfree.com");
    EXPECT_EQ(h.rows.caption(1), "nozone.org");
    EXPECT_EQ(State(h, 1), "no method");
    EXPECT_EQ(h.rows.caption(2), "pixel.net");
}

TEST(SearchRun, MethodNumberMatchesAnEntryWrittenWithLeadingZeros) {
    // Zone entries say 1; the only method is written "001": the dispatcher reads both as
    // integers and looks the name up, but the reply is read by exact number and finds none.
    RunHarness h({}, "0;Registrar\n001;Registrar:;Registrar:|No match for|on hold\n");
    h.addRows({"shop.com"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted());
    EXPECT_EQ(Time(h, 0), "~");
    EXPECT_EQ(State(h, 0), "no data");
}

TEST(SearchRun, MethodWithNonNumericFirstItemIsReportedAndRunGoesOn) {
    RunHarness h({}, "0;Registrar\nx;Registrar:;Registrar:|No match for|on hold\n");
    h.addRows({"shop.com", "cloud.com"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted());
    EXPECT_EQ(h.failures, (std::vector<std::string>{"'x' is not a valid integer value",
                                                    "'x' is not a valid integer value"}));
    EXPECT_EQ(State(h, 0), "");
    EXPECT_EQ(State(h, 1), "");
}

TEST(SearchRun, LoadingTextsShowPercentOrBytes) {
    {
        RunHarness h({"--mode", "trickle", "--trickle-ms", "1"});
        h.addRows({"shop.com"});
        h.search();
        ASSERT_TRUE(h.pumpUntilCompleted());
        const auto& s = h.log.states[0];
        EXPECT_TRUE(std::any_of(s.begin(), s.end(), [](const std::string& t) {
            return t.rfind("Loading ", 0) == 0 && t.find(" from ") != std::string::npos;
        }));
    }
    {
        RunHarness h({"--no-content-length"});
        h.addRows({"shop.com"});
        h.search();
        ASSERT_TRUE(h.pumpUntilCompleted());
        const auto& s = h.log.states[0];
        EXPECT_TRUE(std::any_of(s.begin(), s.end(), [](const std::string& t) {
            return t.rfind("Loading ", 0) == 0 && t.size() > 3 && t.substr(t.size() - 3) == " bt";
        }));
    }
}

TEST(SearchRun, GatewayThatMisbehavesStillGivesEveryRowAResult) {
    for (const char* mode : {"close", "reset"}) {
        RunHarness h({"--mode", mode});
        h.settings.seconds = 2;
        h.addRows({"shop.com", "zzfree.com"});
        h.search();
        ASSERT_TRUE(h.pumpUntilCompleted(20000)) << mode;
        for (std::size_t i = 0; i < 2; ++i) {
            const std::string s = State(h, i);
            EXPECT_TRUE(s == "no data" || s == "is available" || s == "is not available")
                << mode << " " << s;
        }
    }
}

} // namespace
} // namespace zendrel::test
