// Port-43 lookups through the real socket layer against scripted servers on loopback: what goes
// on the wire, how the reply is read, and how misbehaving servers end within the time limit.
#include "engine/LookupOutcome.h"
#include "lookup/ZoneTable.h"
#include "tests/engine/RunHarness.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TinyProxy.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace zendrel::test {
namespace {

using S = ScriptedServer;

std::string State(const RunHarness& h, std::size_t row) {
    return std::string(h.rows.subItem(row, ResultStore::kState));
}

std::string WhoisLine(const std::string& zone, int port, const std::string& query) {
    return zone + " server;whois://127.0.0.1:" + std::to_string(port) + "/" + query + ";1;" + zone +
           "\n";
}

void UseZones(RunHarness& h, const std::string& lines) {
    ZoneTable zones;
    ReadZoneTable(lines, zones);
    h.session.setZoneTable(std::move(zones));
}

TEST(WhoisLookup, SendsTheQueryLineAndReadsTheReplyUntilTheClose) {
    S taken({S::readLine(), S::send("Domain Name: SHOP.COM\r\nRegistrar: Example Registrar\r\n"),
             S::pause(50), S::send("Created: 1999-01-02\r\nName Server: NS1.EXAMPLE.NET\r\n"),
             S::close()});
    S free({S::readLine(), S::send(std::string("No mat\0\0ch for \"ZZFREE.NET\".\r\n", 30)),
            S::close()});
    RunHarness h;
    UseZones(h, WhoisLine("com", taken.port(), "domain %s") +
                    WhoisLine("net", free.port(), "-T dn,ace %s"));
    h.addRows({"shop.com", "zzfree.net"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted());
    EXPECT_EQ(taken.requests(), (std::vector<std::string>{"domain shop.com\r\n"}));
    EXPECT_EQ(free.requests(), (std::vector<std::string>{"-T dn,ace zzfree.net\r\n"}));
    EXPECT_EQ(State(h, 0), "is not available");
    EXPECT_EQ(h.rows.subItem(0, ResultStore::kFirstExtra),
              "example registrar"); // as the rules read it
    EXPECT_EQ(h.rows.subItem(0, ResultStore::kFirstExtra + 1), "1999-01-02");
    // NUL bytes are dropped, so the text after them still counts.
    EXPECT_EQ(State(h, 1), "is available");
    EXPECT_EQ(h.rows.subItem(1, ResultStore::kTime), "~");
    // The same progress as a web lookup: look-up, connection, waiting, loading, ready.
    const std::vector<std::string>& seen = h.log.states[0];
    EXPECT_NE(std::find(seen.begin(), seen.end(), "Ready"), seen.end());
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(),
                            [](const std::string& s) { return s.starts_with("Loading "); }));
    ASSERT_EQ(h.events.lookups.size(), 2u);
    for (const auto& [row, outcome] : h.events.lookups) {
        EXPECT_EQ(outcome.failure, LookupFailure::None) << row;
        EXPECT_EQ(outcome.httpStatus, 0) << row;
    }
}

struct HostileCase {
    const char* name;
    S::Script script;
    std::optional<LookupFailure> failure;
};

// Each server misbehaves in its own way; every row ends "no data" by the time limit at the
// latest, and nothing is left open.
TEST(WhoisLookup, MisbehavingServersEndWithNoDataWithinTheTimeLimit) {
    const HostileCase cases[] = {
        {"never answers", {S::readLine(), S::hold()}, LookupFailure::TimeLimit},
        {"accepts and never reads", {S::hold()}, LookupFailure::TimeLimit},
        {"resets", {S::readLine(), S::reset()}, LookupFailure::Network},
        // Closed before the query was read, so the query may meet a reset.
        {"closes at once", {S::close()}, std::nullopt},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        S server(c.script);
        RunHarness h;
        h.settings.seconds = 2;
        UseZones(h, WhoisLine("com", server.port(), "%s"));
        h.addRows({"hostile.com"});
        h.search();
        ASSERT_TRUE(h.pumpUntilCompleted(10000));
        EXPECT_EQ(State(h, 0), "no data");
        EXPECT_LT(h.clock.now(), 3500);
        ASSERT_EQ(h.events.lookups.size(), 1u);
        if (c.failure) {
            EXPECT_EQ(h.events.lookups[0].second.failure, *c.failure);
        }
        EXPECT_EQ(h.liveConnections(), 0u);
    }
}

TEST(WhoisLookup, AServerThatAnswersForeverIsCutAtTheTimeLimitAndTheCap) {
    // Pieces with short pauses between them, so that virtual time moves on between receptions,
    // far more than the cap, then a connection that stays open.
    S::Script endless{S::readLine()};
    for (int i = 0; i < 150; ++i) {
        endless.push_back(S::send(std::string(64 * 1024, 'z')));
        endless.push_back(S::pause(10));
    }
    endless.push_back(S::hold());
    S server(endless);
    RunHarness h;
    h.settings.seconds = 2;
    UseZones(h, WhoisLine("com", server.port(), "%s"));
    h.addRows({"endless.com"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted(10000));
    EXPECT_LT(h.clock.now(), 3500);
    ASSERT_EQ(h.events.lookups.size(), 1u);
    const LookupOutcome& o = h.events.lookups[0].second;
    EXPECT_EQ(o.failure, LookupFailure::TimeLimit);
    EXPECT_GT(o.replyBytes, 0u);
    EXPECT_LE(o.replyBytes, RowLookup::kMaxReplyBytes);
}

TEST(WhoisLookup, UnusableAddressesSendNothing) {
    S server(S::reply("No match for x\r\n"));
    const std::string port = std::to_string(server.port());
    RunHarness h;
    using namespace std::string_literals;
    UseZones(h, "a;whois://127.0.0.1:" + port + "/x\0y %s;1;com\n"s +
                    std::string("b;whois://127.0.0.1:" + port + ";1;net\n") + "c;whois://:" + port +
                    "/%s;1;org\n");
    h.addRows({"nul.com", "noquery.net", "nohost.org"});
    h.search();
    // Nothing reached the server, so it is not paused either: the three end within the pace of
    // one query per second.
    ASSERT_TRUE(h.pumpUntilCompleted(3000));
    for (std::size_t row = 0; row < 3; ++row)
        EXPECT_EQ(State(h, row), "no data") << row;
    EXPECT_EQ(server.connections(), 0);
    for (const auto& [row, outcome] : h.events.lookups)
        EXPECT_EQ(outcome.failure, LookupFailure::UnusableAddress) << row;
}

TEST(WhoisLookup, NobodyListeningEndsAtOnce) {
    RunHarness h;
    UseZones(h, WhoisLine("com", FreeLoopbackPort(), "%s"));
    h.addRows({"closed.com"});
    h.search();
    ASSERT_TRUE(h.pumpUntilCompleted(2000));
    EXPECT_EQ(State(h, 0), "no data");
    ASSERT_EQ(h.events.lookups.size(), 1u);
    EXPECT_EQ(h.events.lookups[0].second.failure, LookupFailure::ConnectionRefused);
}

TEST(WhoisLookup, GoesThroughTheProxysTunnelWithItsCredentials) {
    S server({S::readLine(), S::send("Registrar: Tunnelled Registrar\r\n"), S::close()}, 2);
    TinyProxy proxy("zendrel", "secret");
    for (const char* password : {"secret", "wrong"}) {
        SCOPED_TRACE(password);
        RunHarness h;
        h.settings.connection[0] = "127.0.0.1";
        h.settings.connection[1] = std::to_string(proxy.port());
        h.settings.connection[7] = "zendrel";
        h.settings.connection[8] = password;
        UseZones(h, WhoisLine("com", server.port(), "domain %s"));
        h.addRows({"shop.com"});
        h.search();
        ASSERT_TRUE(h.pumpUntilCompleted(10000));
        ASSERT_EQ(h.events.lookups.size(), 1u);
        const LookupOutcome& o = h.events.lookups[0].second;
        if (std::string(password) == "secret") {
            EXPECT_EQ(State(h, 0), "is not available");
            EXPECT_EQ(server.requests(), (std::vector<std::string>{"domain shop.com\r\n"}));
        } else {
            EXPECT_EQ(State(h, 0), "no data");
            EXPECT_EQ(o.failure, LookupFailure::ProxyTunnel);
            EXPECT_NE(o.detail.find("proxy refused the tunnel"), std::string::npos) << o.detail;
        }
    }
}

} // namespace
} // namespace zendrel::test
