#include "engine/RefusalCheck.h"
#include "engine/RetryAfter.h"
#include "engine/RowRefusals.h"
#include "engine/ServerCooldown.h"

#include <gtest/gtest.h>
#include <string>

namespace zendrel {
namespace {

TEST(ServerCooldown, DoublesFromFiveSecondsToFiveMinutesAndAnAnswerEndsIt) {
    ServerCooldown c;
    EXPECT_FALSE(c.paused(0));
    const Millis expected[] = {5000, 10000, 20000, 40000, 80000, 160000, 300000, 300000};
    Millis now = 0;
    for (Millis wait : expected) {
        c.refused(now, now);
        EXPECT_EQ(c.pausedUntil(), now + wait);
        EXPECT_TRUE(c.paused(now + wait - 1));
        EXPECT_FALSE(c.paused(now + wait));
        now += wait;
    }
    c.answered(now);
    EXPECT_EQ(c.streak(), 0);
    c.refused(now + 10, now + 10);
    EXPECT_EQ(c.pausedUntil(), now + 10 + 5000);
}

TEST(ServerCooldown, HonoursRetryAfterUpToFifteenMinutes) {
    ServerCooldown c;
    c.refused(0, 0, 30000);
    EXPECT_EQ(c.pausedUntil(), 30000);
    c.refused(30000, 30000, 3600000);
    EXPECT_EQ(c.pausedUntil(), 30000 + 15 * 60000);
    c.refused(500000, 500000, 0); // "retry now" still never shortens a pause
    EXPECT_EQ(c.pausedUntil(), 30000 + 15 * 60000);
    EXPECT_TRUE(c.paused(929999));
}

TEST(ServerCooldown, LookupsRunningWhenAPauseBeganCountOnce) {
    ServerCooldown c;
    // Two lookups started at 0 and 10 are both refused: one episode, one doubling.
    c.refused(100, 0);
    c.refused(120, 10);
    EXPECT_EQ(c.streak(), 1);
    EXPECT_EQ(c.pausedUntil(), 120 + 5000); // still a pause from the latest refusal
    // An answer to a lookup started before the refusal says nothing about the server now.
    c.answered(50);
    EXPECT_EQ(c.streak(), 1);
    // A lookup started after the pause is news: refused, the pause doubles.
    c.refused(6000, 5200);
    EXPECT_EQ(c.streak(), 2);
    EXPECT_EQ(c.pausedUntil(), 16000);
    c.answered(16000);
    EXPECT_EQ(c.streak(), 0);
}

TEST(RetryAfter, ReadsSecondsAndEveryHttpDateForm) {
    const std::time_t now = 784111777; // Sun, 06 Nov 1994 08:49:37 GMT
    struct Case {
        const char* value;
        std::optional<Millis> wait;
    };
    const Case cases[] = {
        {"120", 120000},
        {" 0 ", 0},
        {"Sun, 06 Nov 1994 08:50:37 GMT", 60000},
        {"Sunday, 06-Nov-94 08:49:47 GMT", 10000},
        {"Sun Nov  6 08:49:57 1994", 20000},
        {"Sun, 06 Nov 1994 08:00:00 GMT", 0}, // in the past: no wait
        {"99999999999999999999999", 100LL * 365 * 24 * 3600 * 1000},
        {"-5", std::nullopt},
        {"1.5", std::nullopt},
        {"soon", std::nullopt},
        {"", std::nullopt},
        {"Sun, 06 Nov 1994 08:50:37", std::nullopt},
        {"Sun, 31 Foo 1994 08:50:37 GMT", std::nullopt},
        {"Sun, 06 Nov 1994 25:50:37 GMT", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseRetryAfter(c.value, now), c.wait) << c.value;
}

ZoneEntry lineOf(const char* text) {
    ZoneTable zones;
    ReadZoneTable(text, zones);
    EXPECT_EQ(zones.size(), 1u);
    return zones.entries().at(0);
}

TEST(RefusalCheck, ABusyPhraseWinsOverTheNotFoundTextBesideIt) {
    ZoneEntry fr = lineOf("fr;whois://whois.nic.fr/%s;1;fr;busy=too many requests;"
                          "busy=Query Rate Limit Exceeded\n");
    const std::string afnic = "%% RL Net [##########] - RL IP [..........]\n%%\n"
                              "%% Too many requests...\n%%\n\n"
                              "%% No entries found in the AFNIC Database.\n";
    const std::string registroBr = "% Query rate limit exceeded. Reduced information.\n"
                                   "% No match for domain \"u34jedzcq.br\"\n";
    EXPECT_TRUE(IsRefusal(fr, afnic, 0));
    EXPECT_TRUE(IsRefusal(fr, registroBr, 200));
    EXPECT_FALSE(IsRefusal(fr, "%% No entries found in the AFNIC Database.\n", 0));
    EXPECT_FALSE(IsRefusal(fr, "", 0));
    EXPECT_FALSE(IsRefusal(lineOf("fr;whois://whois.nic.fr/%s;1;fr\n"), afnic, 0));
}

TEST(RefusalCheck, StatusesCountOnlyWhereTheLineLetsThem) {
    const ZoneEntry counts[] = {lineOf("a;https://rdap.example/domain/%s;1;net\n"),
                                lineOf("b;http://gw.example/?d=%s;1;com;nodns\n")};
    const ZoneEntry plain = lineOf("c;http://gw.example/?d=%s;1;com\n");
    for (int status : {429, 503}) {
        for (const ZoneEntry& line : counts)
            EXPECT_TRUE(IsRefusal(line, "", status)) << line.label << status;
        EXPECT_FALSE(IsRefusal(plain, "", status)) << status; // four fields: as it always was
    }
    for (int status : {0, 200, 404, 400, 500, 502})
        EXPECT_FALSE(IsRefusal(counts[0], "x", status)) << status;
}

TEST(RefusalCheck, DisclaimersAboutLimitsInNormalRepliesAreNotRefusals) {
    // The phrases registries' refusals carry, and the sentences every normal reply of some
    // registries carries about their limits.
    ZoneEntry line = lineOf("x;https://rdap.example/domain/%s;1;x;busy=too many requests;"
                            "busy=query rate limit exceeded;busy=whois limit exceeded;"
                            "busy=the whois query quota for;busy=access control limit reached;"
                            "busy=request per second allowed;busy=excessive querying;"
                            "busy=maximum query rate reached\n");
    ASSERT_EQ(line.options.busy.size(), 8u);
    const char* normal[] = {
        "Access to the whois service is rate limited.",
        "Access to the Whois and RDAP services is rate limited",
        "(C) exceeding query rate or volume limits. The data is provided on an 'as-is' basis",
        "Queries to the RDAP services are throttled. If too many queries are received from a "
        "single IP address",
        "%% RL Net [##########] - RL IP [#########.]",
    };
    for (const char* text : normal)
        EXPECT_FALSE(IsRefusal(line, text, 200)) << text;
}

TEST(RowRefusals, TheFifthRefusalInAPassGivesUp) {
    RowRefusals r;
    for (int i = 1; i < RowRefusals::kGiveUpAfter; ++i)
        EXPECT_FALSE(r.refused(7));
    EXPECT_FALSE(r.refused(8));
    EXPECT_EQ(r.count(7), 4);
    EXPECT_TRUE(r.refused(7));
    r.forget(7);
    EXPECT_EQ(r.count(7), 0);
    EXPECT_EQ(r.count(8), 1);
    r.newPass();
    EXPECT_EQ(r.count(8), 0);
}

} // namespace
} // namespace zendrel
