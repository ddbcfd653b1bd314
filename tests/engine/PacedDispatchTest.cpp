// Per-server pacing and refusals in the dispatcher, driven through the session with a scripted
// lookup kind whose servers answer on a manual clock: no sockets, every case in microseconds.
#include "engine/SearchSession.h"
#include "lookup/ZoneTable.h"
#include "platform/Files.h"
#include "tests/engine/FakeRunSettings.h"
#include "tests/engine/FakeSearchWindow.h"
#include "tests/engine/RecordingListener.h"
#include "tests/engine/ScriptedServers.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace zendrel::test {
namespace {

const char* const kMethods = "0;Registrar\n1;Registrar:;Registrar:|No match|on hold\n"
                             "2;registrar:;registrar:|No entries found|REDEMPTION\n"
                             "3;registrar:;ldhname:|rdap status: 404|server hold\n";

Answer taken(int, const std::string&) {
    return {"Registrar: R\n"};
}

class PacedDispatchTest : public ::testing::Test {
protected:
    void useZones(const std::string& text) {
        ZoneTable zones;
        ReadZoneTable(text, zones);
        ASSERT_TRUE(zones.problems().empty());
        session.setZoneTable(std::move(zones));
        MethodTable methods;
        ReadMethodTable(kMethods, methods);
        session.setMethodTable(std::move(methods));
        session.addListener(events);
        session.setLookupFactory([this](const LookupContext& c, LookupRequest r) {
            return std::make_unique<ServerLookup>(c, std::move(r), servers);
        });
    }

    void lookUp(const std::vector<std::string>& captions, Millis limit = 3600000) {
        for (const std::string& c : captions)
            session.rows().append(c);
        session.lookUpRows();
        for (Millis ms = 0; ms < limit && events.finished.empty(); ms += 10) {
            loop.runUntilIdle();
            loop.advance(10);
            mostWaiting = std::max(mostWaiting, session.waitingRows());
        }
        ASSERT_EQ(events.finished.size(), 1u);
    }
    std::string state(std::size_t row) const {
        return std::string(session.rows().subItem(row, ResultStore::kState));
    }
    std::vector<Millis> startTimes(const std::string& host) {
        std::vector<Millis> t;
        for (const auto& s : servers.starts[host])
            t.push_back(s.first);
        return t;
    }
    std::vector<std::string> startNames(const std::string& host) {
        std::vector<std::string> n;
        for (const auto& s : servers.starts[host])
            n.push_back(s.second);
        return n;
    }

    ManualClock clock;
    MessageLoop loop{clock};
    FakeSearchWindow window;
    FakeRunSettings settings;
    RecordingListener events;
    ScriptedServers servers;
    std::size_t mostWaiting = 0;
    SearchSession session{loop, window, settings};
};

TEST_F(PacedDispatchTest, APacedServerNeverHoldsUpRowsOfOtherServers) {
    useZones("reg;whois://whois.reg.test/%s;1;fr\n"
             "gw;http://gw.test/q?n=%s;1;com\n");
    servers.answer["whois.reg.test"] = taken;
    servers.answer["gw.test"] = taken;
    servers.delay["whois.reg.test"] = 50;
    lookUp({"a.fr", "b.fr", "c.fr", "d.fr", "x.com", "y.com", "z.com"});
    // One per second, in list order, never more.
    EXPECT_EQ(startNames("whois.reg.test"),
              (std::vector<std::string>{"a.fr", "b.fr", "c.fr", "d.fr"}));
    auto fr = startTimes("whois.reg.test");
    for (std::size_t i = 1; i < fr.size(); ++i) {
        EXPECT_GE(fr[i] - fr[i - 1], 1000) << i;
        EXPECT_LE(fr[i] - fr[i - 1], 1020) << i;
    }
    // The plain gateway's rows went ahead at once, one per tick, as they always did.
    auto com = startTimes("gw.test");
    ASSERT_EQ(com.size(), 3u);
    EXPECT_LT(com.back(), 100);
    EXPECT_EQ(mostWaiting, 3u);
    for (std::size_t row = 0; row < 7; ++row)
        EXPECT_EQ(state(row), "is not available") << row;
}

TEST_F(PacedDispatchTest, LinesOfOneServerShareTheStrictestBudget) {
    useZones("a;https://rdap.test/domain/%s;1;net;pace=10/s;conns=1\n"
             "b;https://rdap.test/other/%s;1;org;pace=5/s\n");
    servers.answer["rdap.test"] = taken;
    servers.delay["rdap.test"] = 300; // slower than the pace: one at once is the limit
    lookUp({"a.net", "a.org", "b.net", "b.org"});
    auto t = startTimes("rdap.test");
    ASSERT_EQ(t.size(), 4u);
    for (std::size_t i = 1; i < t.size(); ++i)
        EXPECT_GE(t[i] - t[i - 1], 300) << i;
    EXPECT_EQ(startNames("rdap.test"),
              (std::vector<std::string>{"a.net", "a.org", "b.net", "b.org"}));
}

TEST_F(PacedDispatchTest, ARefusedRowWaitsThenGetsItsVerdictAfterThePause) {
    useZones("fr;whois://whois.reg.test/%s;2;fr;busy=too many requests\n");
    servers.answer["whois.reg.test"] = [](int n, const std::string&) {
        if (n == 2)
            return Answer{"%% Too many requests...\n%% No entries found in the Database.\n"};
        return Answer{"%% No entries found in the Database.\n"};
    };
    std::vector<std::string> seen;
    struct Watch : ResultStoreObserver {
        ResultStore* rows;
        std::vector<std::string>* seen;
        void rowsAppended(std::size_t, std::size_t) override {}
        void rowChanged(std::size_t row) override {
            if (row == 1)
                seen->emplace_back(rows->subItem(row, ResultStore::kState));
        }
        void storeReset() override {}
    } watch;
    watch.rows = &session.rows();
    watch.seen = &seen;
    session.rows().setObserver(&watch);
    lookUp({"a.fr", "b.fr", "c.fr"});
    session.rows().setObserver(nullptr);
    EXPECT_NE(std::find(seen.begin(), seen.end(), "waiting"), seen.end());
    // b.fr was refused at its second query and came back first once the 5 s pause was over.
    EXPECT_EQ(startNames("whois.reg.test"),
              (std::vector<std::string>{"a.fr", "b.fr", "b.fr", "c.fr"}));
    auto t = startTimes("whois.reg.test");
    EXPECT_GE(t[2] - t[1], 5000);
    EXPECT_LE(t[2] - t[1], 5100);
    EXPECT_GE(t[3] - t[2], 1000); // the pace still holds after the pause
    for (std::size_t row = 0; row < 3; ++row)
        EXPECT_EQ(state(row), "is available") << row;
    ASSERT_EQ(events.lookups.size(), 4u);
    EXPECT_TRUE(events.lookups[1].second.refused);
}

TEST_F(PacedDispatchTest, RetryAfterSetsThePauseAndDoublingIsTheFallback) {
    useZones("r;https://rdap.test/domain/%s;1;net\n");
    int calls = 0;
    servers.answer["rdap.test"] = [&calls](int, const std::string&) {
        ++calls;
        if (calls == 1)
            return Answer{"", 429, "30"};
        if (calls <= 3)
            return Answer{"", 503, ""};
        return Answer{"Registrar: R\n"};
    };
    lookUp({"a.net"});
    auto t = startTimes("rdap.test");
    ASSERT_EQ(t.size(), 4u);
    EXPECT_GE(t[1] - t[0], 30000); // as the server asked
    EXPECT_LE(t[1] - t[0], 30100);
    // Then the doubling, which counts every refusal in a row, the one that named its wait too.
    EXPECT_GE(t[2] - t[1], 10000);
    EXPECT_LE(t[2] - t[1], 10100);
    EXPECT_GE(t[3] - t[2], 20000);
    EXPECT_LE(t[3] - t[2], 20100);
    EXPECT_EQ(state(0), "is not available");
}

TEST_F(PacedDispatchTest, TheFifthRefusalInAPassGivesUpWithNoDataAndNoCheckMark) {
    // The recorded AFNIC refusal carries AFNIC's "not found" line; the method reads that line
    // as "is available", so only the refusal check stands between it and a false verdict.
    std::string refusal;
    ASSERT_TRUE(ReadFileBytes(ZENDREL_TEST_DATA "/whois-2026/fr__throttled__toomany.txt", refusal));
    ASSERT_NE(refusal.find("No entries found"), std::string::npos);
    useZones("fr;whois://whois.nic.test/%s;2;fr;busy=too many requests\n");
    servers.answer["whois.nic.test"] = [&](int, const std::string&) { return Answer{refusal}; };
    lookUp({"google.fr"});
    EXPECT_EQ(servers.starts["whois.nic.test"].size(), 5u);
    EXPECT_EQ(state(0), "no data");
    EXPECT_FALSE(session.rows().checked(0));
    ASSERT_EQ(events.lookups.size(), 5u);
    for (const auto& [row, outcome] : events.lookups) {
        EXPECT_TRUE(outcome.refused);
        EXPECT_NE(outcome.verdict, ReplyState::Available);
    }
    // The row's check mark is clear, so Resume asks for it again.
    session.resume();
    for (int i = 0; i < 400 && servers.starts["whois.nic.test"].size() < 6; ++i)
        loop.advance(1000);
    EXPECT_EQ(servers.starts["whois.nic.test"].size(), 6u);
}

TEST_F(PacedDispatchTest, EmptyRepliesPauseTheServerButEndTheirRowAsBefore) {
    useZones("w;whois://whois.reg.test/%s;1;de\n");
    servers.answer["whois.reg.test"] = [](int n, const std::string&) {
        return n == 1 ? Answer{""} : Answer{"Registrar: R\n"};
    };
    lookUp({"a.de", "b.de"});
    EXPECT_EQ(state(0), "no data");
    EXPECT_EQ(state(1), "is not available");
    auto t = startTimes("whois.reg.test");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_GE(t[1] - t[0], 5000);
}

TEST_F(PacedDispatchTest, AnRdapNotFoundWithoutBodyIsAnAnswerNotASilence) {
    useZones("v;https://rdap.test/com/v1/domain/%s;3;com;rdap\n");
    servers.answer["rdap.test"] = [](int, const std::string&) { return Answer{"", 404}; };
    lookUp({"a.com", "b.com"});
    EXPECT_EQ(state(0), "is available");
    EXPECT_EQ(state(1), "is available");
    auto t = startTimes("rdap.test");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_LT(t[1] - t[0], 1100); // the pace only, no pause
}

TEST_F(PacedDispatchTest, AFourFieldLineReadsA429AsItAlwaysDid) {
    useZones("gw;http://gw.test/q?n=%s;1;com\n");
    servers.answer["gw.test"] = [](int, const std::string&) {
        return Answer{"Too many requests. No match\n", 429, "60"};
    };
    lookUp({"a.com", "b.com"});
    EXPECT_EQ(state(0), "is available");
    EXPECT_EQ(state(1), "is available");
    auto t = startTimes("gw.test");
    EXPECT_LT(t[1] - t[0], 100); // no pause, no pace
}

} // namespace
} // namespace zendrel::test
