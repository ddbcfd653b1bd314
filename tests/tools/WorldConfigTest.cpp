#include "tools/world/WorldConfig.h"

#include "tools/world/RateWindow.h"
#include "tools/world/ReplyShape.h"

#include <gtest/gtest.h>

namespace zendrel::world {
namespace {

TEST(WorldRate, ReadsPublishedLimitsAndRefusesTheRest) {
    const std::pair<const char*, Rate> good[] = {
        {"1/s", {1, 1000}},        {"15/min", {15, 60000}},
        {"100/h", {100, 3600000}}, {"1800/15min", {1800, 900000}},
        {"15/60s", {15, 60000}},   {"7200/d", {7200, 86400000}},
    };
    for (const auto& [text, rate] : good) {
        SCOPED_TRACE(text);
        auto r = ParseRate(text);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->count, rate.count);
        EXPECT_EQ(r->periodMs, rate.periodMs);
    }
    for (const char* bad : {"", "5", "0/s", "-1/s", "1/", "1/sec", "1/0s", "x/s", "1/s ", "2/31d"})
        EXPECT_FALSE(ParseRate(bad)) << bad;
}

TEST(WorldRate, WindowAdmitsTheCountPerPeriodLessTheGrace) {
    RateWindow w({2, 1000}, 100);
    w.record(0);
    w.record(10);
    EXPECT_TRUE(w.full(500));
    EXPECT_TRUE(w.full(899));
    EXPECT_FALSE(w.full(900)); // the first one left the 900 ms window
    w.record(900);
    EXPECT_TRUE(w.full(909));
    EXPECT_FALSE(w.full(910));
}

TEST(WorldConfig, FillsTheDefaultsOfEachService) {
    std::string error;
    auto c = ReadWorldConfig("[registry a]\nserve = rdap\nlimit = 1/s\nrefusal = status 429 "
                             "retry-after=30\n\n[registry b]\n# port 43\ntaken = text T {name}\\n"
                             "\nrefusal = afnic\n[dns]\nport = 0\n",
                             "", error);
    ASSERT_TRUE(c) << error;
    ASSERT_EQ(c->registries.size(), 2u);
    const RegistryTerms& a = c->registries[0];
    EXPECT_EQ(a.service, Service::Rdap);
    EXPECT_EQ(a.free.status, 404);
    EXPECT_EQ(a.taken.status, 200);
    EXPECT_NE(a.taken.body.find("\"ldhName\":\"{name}\""), std::string::npos);
    EXPECT_EQ(a.refusal.retryAfterSeconds, 30);
    EXPECT_EQ(a.blocked.status, 429); // a block looks like a refusal unless told otherwise
    const RegistryTerms& b = c->registries[1];
    EXPECT_EQ(b.service, Service::Whois);
    EXPECT_EQ(b.taken.body, "T {name}\n");
    EXPECT_NE(b.free.body.find("No match for"), std::string::npos);
    EXPECT_NE(b.refusal.body.find("Too many requests"), std::string::npos);
    EXPECT_NE(b.refusal.body.find("No entries found"), std::string::npos);
    EXPECT_FALSE(b.limit);
    EXPECT_TRUE(c->dns);
}

TEST(WorldConfig, NamesTheLineOfEveryMistake) {
    const std::pair<const char*, const char*> cases[] = {
        {"limit = 1/s\n", "line 1: \"limit\" outside a section"},
        {"[registry a]\nlimit = 1 per second\n", "line 2: a rate is written"},
        {"[registry a]\nrefusal = status 429\n",
         "registry a serves whois and cannot send a status"},
        {"[registry a]\n[registry a]\n", "line 2: a second registry named a"},
        {"[registry a]\nspeed = 3\n", "line 2: unknown key \"speed\""},
        {"[registry a]\nconns = 0\n", "line 2: expected a number from 1"},
        {"[registry a]\nrefusal = politely\n", "line 2: unknown reply \"politely\""},
        {"[registry a]\nnames = /nonexistent/list\n", "line 2: cannot read names file"},
        {"[zones]\n", "line 1: unknown section [zones]"},
        {"[registry dns]\n", "line 1: a registry needs a one-word name"},
        {"# nothing\n", "no [registry NAME] or [dns] section"},
        {"[registry a]\nserve = smtp\n", "line 2: serve is whois, rdap or web"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        std::string error;
        EXPECT_FALSE(ReadWorldConfig(text, "", error));
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }
}

TEST(WorldShape, ReadsEveryFormOfReply) {
    std::string error;
    auto s = ParseShape("status 503 retry-date=60 busy\\n", error);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->status, 503);
    EXPECT_EQ(s->retryAfterSeconds, 60);
    EXPECT_TRUE(s->retryAsDate);
    EXPECT_EQ(s->body, "busy\n");
    EXPECT_EQ(ParseShape("reset", error)->kind, ShapeKind::Reset);
    EXPECT_EQ(ParseShape("silent", error)->kind, ShapeKind::Silent);
    EXPECT_EQ(ParseShape("text \\    indented", error)->body, "    indented");
    EXPECT_NE(ParseShape("registro.br", error)->body.find("% No match for domain"),
              std::string::npos);
    for (const char* bad : {"empty now", "status", "status 99", "status 429 retry-after=x"})
        EXPECT_FALSE(ParseShape(bad, error)) << bad;
}

TEST(WorldNames, ReadsHoldingAndDelegationPerLine) {
    NameBook book;
    EXPECT_EQ(book.addText("Shop.FR\nheld.fr hold # comment\r\nquiet.fr registered nxdomain\n"
                           "\n# only a comment\nodd.fr free servfail\n"),
              0);
    EXPECT_EQ(book.size(), 4u);
    auto shop = book.find("shop.fr.");
    ASSERT_TRUE(shop);
    EXPECT_EQ(shop->holding, Holding::Registered);
    EXPECT_EQ(shop->delegation, Delegation::Delegated);
    EXPECT_EQ(book.find("HELD.fr")->delegation, Delegation::NxDomain);
    EXPECT_EQ(book.find("quiet.fr")->holding, Holding::Registered);
    EXPECT_EQ(book.find("quiet.fr")->delegation, Delegation::NxDomain);
    EXPECT_EQ(book.find("odd.fr")->delegation, Delegation::ServFail);
    EXPECT_FALSE(book.find("other.fr"));
    EXPECT_EQ(book.addText("a.fr\nb.fr taken\n"), 2);
}

} // namespace
} // namespace zendrel::world
