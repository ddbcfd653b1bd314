#include "engine/HeldRows.h"
#include "engine/ServerBudget.h"
#include "engine/ServerTable.h"
#include "engine/ZoneServers.h"

#include <gtest/gtest.h>
#include <vector>

namespace zendrel {
namespace {

ZoneTable zonesOf(const char* text) {
    ZoneTable zones;
    ReadZoneTable(text, zones);
    return zones;
}

TEST(ZoneServers, RegistryAddressesGetAConservativeDefaultAndPlainLinesNone) {
    ZoneTable zones = zonesOf("a;http://gw.example/w?d=%s;1;com\n"
                              "b;https://rdap.example/domain/%s;1;net\n"
                              "c;whois://whois.example/%s;1;de\n"
                              "d;whois://whois.example:4343/%s;1;eu;pace=15/min;conns=4\n"
                              "e;http://gw.example/w?d=%s;1;org;pace=5/s\n"
                              "f;HTTPS://Rdap.Example/other/%s;1;info;conns=1\n");
    const auto& e = zones.entries();
    ASSERT_EQ(e.size(), 6u);
    EXPECT_FALSE(FollowsRegistryRules(e[0]));
    for (std::size_t i = 1; i < e.size(); ++i)
        EXPECT_TRUE(FollowsRegistryRules(e[i])) << i;
    const std::pair<Millis, int> limits[] = {{0, 0},    {1000, 2}, {1000, 2},
                                             {4000, 4}, {200, 0},  {1000, 1}};
    for (std::size_t i = 0; i < e.size(); ++i) {
        EXPECT_EQ(LineLimits(e[i]).interval, limits[i].first) << i;
        EXPECT_EQ(LineLimits(e[i]).conns, limits[i].second) << i;
    }

    ZoneServers servers;
    servers.build(zones);
    EXPECT_EQ(servers.serverOf(zones, &e[0]), std::nullopt);
    EXPECT_EQ(servers.serverOf(zones, nullptr), std::nullopt);
    ASSERT_TRUE(servers.serverOf(zones, &e[1]));
    // b and f name one host and port: one server, the strictest of both.
    EXPECT_EQ(servers.serverOf(zones, &e[1]), servers.serverOf(zones, &e[5]));
    EXPECT_NE(servers.serverOf(zones, &e[2]), servers.serverOf(zones, &e[3]));
    EXPECT_EQ(servers.servers().size(), 4u);
    const auto& rdap = servers.servers()[*servers.serverOf(zones, &e[1])];
    EXPECT_EQ(rdap.host, "rdap.example");
    EXPECT_EQ(rdap.port, 443);
    EXPECT_EQ(rdap.budget.limits().conns, 1);
    EXPECT_EQ(servers.servers()[*servers.serverOf(zones, &e[2])].port, 43);
    EXPECT_EQ(servers.servers()[*servers.serverOf(zones, &e[3])].port, 4343);
    EXPECT_EQ(servers.servers()[*servers.serverOf(zones, &e[4])].port, 80);
}

TEST(ServerLimits, PaceIsRoundedSoItIsNeverExceeded) {
    EXPECT_EQ(PaceInterval(1, 1000), 1000);
    EXPECT_EQ(PaceInterval(3, 1000), 334);
    EXPECT_EQ(PaceInterval(100, 3600000), 36000);
    EXPECT_EQ(PaceInterval(0, 1000), 0);
}

TEST(ServerLimits, TheStrictestOfEveryLineHolds) {
    ServerLimits s = Strictest({1000, 0}, {200, 3});
    EXPECT_EQ(s.interval, 1000);
    EXPECT_EQ(s.conns, 3);
    s = Strictest(s, {0, 2});
    EXPECT_EQ(s.interval, 1000);
    EXPECT_EQ(s.conns, 2);
    EXPECT_EQ(Strictest({0, 0}, {0, 0}).conns, 0);
}

TEST(ServerBudget, SpacesStartsEvenlyAndCapsLiveLookups) {
    ServerBudget b({500, 2});
    EXPECT_TRUE(b.canStart(0));
    b.started(0);
    EXPECT_FALSE(b.canStart(499));
    EXPECT_TRUE(b.canStart(500));
    b.started(507); // a tick late: the next start counts from here
    EXPECT_FALSE(b.canStart(1006));
    EXPECT_FALSE(b.canStart(1007)); // two live lookups
    b.finished();
    EXPECT_TRUE(b.canStart(1007));
    EXPECT_EQ(b.live(), 1);
    b.reset();
    EXPECT_TRUE(b.canStart(0));
    EXPECT_EQ(b.live(), 0);
}

TEST(ServerBudget, WithoutLimitsEveryStartIsAllowed) {
    ServerBudget b;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(b.canStart(0));
        b.started(0);
    }
}

TEST(ServerTable, LinesOfOneHostAndPortShareOneServer) {
    ServerTable t;
    std::size_t a = t.add("rdap.example", 443, {1000, 2});
    std::size_t b = t.add("whois.example", 43, {1000, 2});
    std::size_t c = t.add("RDAP.example", 443, {2000, 0});
    std::size_t d = t.add("rdap.example", 8443, {0, 0});
    EXPECT_EQ(a, c);
    EXPECT_NE(a, b);
    EXPECT_NE(a, d);
    EXPECT_EQ(t.size(), 3u);
    EXPECT_EQ(t[a].budget.limits().interval, 2000);
    EXPECT_EQ(t[a].budget.limits().conns, 2);
}

TEST(ServerTable, APausedServerTakesNothingUntilThePauseEnds) {
    ServerTable t;
    auto& s = t[t.add("whois.example", 43, {1000, 2})];
    s.budget.started(0);
    s.budget.finished();
    s.cooldown.refused(100, 0);
    EXPECT_FALSE(s.canStart(1000)); // the pace allows it, the pause does not
    EXPECT_EQ(s.nextChance(), 5100);
    EXPECT_TRUE(s.canStart(5100));
    t.resetRun();
    EXPECT_TRUE(s.canStart(0));
}

TEST(HeldRows, GivesBackTheFirstRowOfAReadyServerInListOrder) {
    HeldRows held;
    held.hold(0, 3);
    held.hold(1, 4);
    held.hold(0, 7);
    held.hold(1, 9);
    held.hold(0, 1); // refused earlier and requeued: still first for its server
    EXPECT_EQ(held.size(), 5u);
    EXPECT_EQ(held.waitingFor(0), 3u);
    std::vector<bool> ready = {false, true};
    auto isReady = [&](std::size_t s) { return ready[s]; };
    EXPECT_EQ(held.takeFirst(isReady), 4u);
    EXPECT_EQ(held.takeFirst(isReady), 9u);
    EXPECT_EQ(held.takeFirst(isReady), std::nullopt);
    ready = {true, true};
    EXPECT_EQ(held.takeFirst(isReady), 1u);
    EXPECT_EQ(held.takeFirst(isReady), 3u);
    EXPECT_EQ(held.takeFirst(isReady), 7u);
    EXPECT_TRUE(held.empty());
    EXPECT_EQ(held.takeFirst(isReady), std::nullopt);
}

TEST(HeldRows, AsksEachServerOnceAndOnlyWhenItCouldWin) {
    HeldRows held;
    held.hold(0, 10);
    held.hold(1, 5);
    held.hold(2, 20);
    std::vector<std::size_t> asked;
    auto ready = [&](std::size_t s) {
        asked.push_back(s);
        return true;
    };
    EXPECT_EQ(held.takeFirst(ready), 5u);
    EXPECT_EQ(asked, (std::vector<std::size_t>{0, 1})); // server 2's row comes later anyway
    held.clear();
    EXPECT_EQ(held.size(), 0u);
    EXPECT_EQ(held.waitingFor(1), 0u);
}

} // namespace
} // namespace zendrel
