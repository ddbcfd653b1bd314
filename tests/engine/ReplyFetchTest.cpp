// The rule tester's fetch over loopback: the reply as sent, with the line's lookup, the time
// limit and cancelling.
#include "engine/ReplyFetch.h"

#include "platform/MessageLoop.h"
#include "tests/engine/FakeRunSettings.h"
#include "tests/support/ScriptedServer.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace zendrel::test {
namespace {

ZoneTable Zones(const std::string& text) {
    ZoneTable zones;
    ReadZoneTable(text, zones);
    return zones;
}

class Fetching : public ::testing::Test {
protected:
    // Starts the fetch of `name`; records the reply and the state texts.
    std::optional<std::string> start(const ZoneTable& zones, const std::string& name) {
        return fetch.start(
            zones, name, [this](const std::string& s) { states.push_back(s); },
            [this](const FetchedReply& r) { replies.push_back(r); });
    }
    // Runs the loop on a manual clock until a reply arrived or `ms` of loop time passed.
    bool pumpUntilReply(long ms = 10000) {
        for (long t = 0; t < ms && replies.empty(); t += 10) {
            loop.runUntil([this] { return !replies.empty(); }, 1);
            if (replies.empty())
                loop.advance(10);
        }
        return !replies.empty();
    }

    ManualClock clock;
    MessageLoop loop{clock};
    FakeRunSettings settings;
    ReplyFetch fetch{loop, settings};
    std::vector<std::string> states;
    std::vector<FetchedReply> replies;
};

TEST_F(Fetching, AnRdapReplyArrivesAsSentWithItsStatusAndLine) {
    const std::string body = R"({"errorCode":404,"title":"Not Found"})";
    ScriptedServer server(
        ScriptedServer::reply("HTTP/1.0 404 Not Found\r\nContent-Type: application/rdap+json\r\n"
                              "\r\n" +
                              body));
    settings.connection[3] = "tester agent";
    const ZoneTable zones = Zones("r;" + server.url("/domain/%s") + ";8;org;rdap\n");
    ASSERT_EQ(start(zones, "  Free-Name.ORG "), std::nullopt);
    EXPECT_TRUE(fetch.running());
    ASSERT_TRUE(pumpUntilReply());
    const FetchedReply& r = replies[0];
    EXPECT_EQ(r.body, body) << "not the converted text the method reads";
    EXPECT_EQ(r.outcome.httpStatus, 404);
    EXPECT_EQ(r.outcome.failure, LookupFailure::None);
    EXPECT_EQ(r.address, server.url("/domain/free-name.org"));
    EXPECT_TRUE(r.line.options.rdap);
    EXPECT_EQ(r.line.zone, "org");
    EXPECT_FALSE(fetch.running());
    EXPECT_FALSE(states.empty());
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_NE(server.requests()[0].find("tester agent"), std::string::npos)
        << "the connection settings of the window";
}

TEST_F(Fetching, TheTimeLimitEndsAFetchThatGetsNoReply) {
    ScriptedServer server({ScriptedServer::readRequest(), ScriptedServer::hold()});
    settings.seconds = 2;
    ASSERT_EQ(start(Zones("h;" + server.url("/w?n=%s") + ";1;com\n"), "x.com"), std::nullopt);
    ASSERT_TRUE(pumpUntilReply(20000));
    EXPECT_EQ(replies[0].outcome.failure, LookupFailure::TimeLimit);
    EXPECT_GE(clock.now(), 2000);
    EXPECT_LE(clock.now(), 5000);
    EXPECT_EQ(replies[0].body, "");
}

TEST_F(Fetching, CancelEndsAtOnceAndALaterFetchGetsOnlyItsOwnReply) {
    ScriptedServer held({ScriptedServer::readRequest(), ScriptedServer::hold()});
    ScriptedServer answering(ScriptedServer::reply("HTTP/1.0 200 OK\r\n\r\nRegistrar: second"));
    const ZoneTable zones =
        Zones("a;" + held.url("/w?n=%s") + ";1;com\nb;" + answering.url("/w?n=%s") + ";1;net\n");
    ASSERT_EQ(start(zones, "x.com"), std::nullopt);
    loop.runUntil([&] { return held.connections() > 0; }, 5000);
    fetch.cancel();
    EXPECT_FALSE(fetch.running());
    ASSERT_EQ(start(zones, "x.net"), std::nullopt);
    ASSERT_TRUE(pumpUntilReply());
    loop.advance(100);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].body, "Registrar: second");
    EXPECT_EQ(replies[0].line.zone, "net");
}

TEST_F(Fetching, ANameTheZoneTableCannotFetchIsRefusedWithTheReason) {
    const ZoneTable zones = Zones("a;http://127.0.0.1:1/w?n=%s;one;com\n"
                                  "b;http://127.0.0.1:1/w?n=%d;1;net\n");
    struct Case {
        const char* name;
        const char* reason;
    };
    const Case cases[] = {{"", "Type the name"},
                          {"x.org", "No line of the zone table is for \"x.org\""},
                          {"x.com", "method number \"one\""},
                          {"x.net", "cannot be used"}};
    for (const Case& c : cases) {
        const std::optional<std::string> problem = start(zones, c.name);
        ASSERT_TRUE(problem.has_value()) << c.name;
        EXPECT_NE(problem->find(c.reason), std::string::npos) << *problem;
        EXPECT_FALSE(fetch.running()) << c.name;
    }
}

} // namespace
} // namespace zendrel::test
