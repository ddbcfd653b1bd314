// Where the client takes a reply's body to end: at the close for HTTP/1.0 requests, as always;
// at the content length or the last chunk for HTTP/1.1 ones, which the client then ends itself
// while the server still holds the connection open. Also the length the lookup shows progress
// against, read once by the client.
#include "net/HttpProt.h"
#include "tests/net/HttpProbe.h"
#include "tests/support/ScriptedServer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

using namespace zendrel;
using zendrel::test::HttpProbe;
using zendrel::test::ScriptedServer;

namespace {

constexpr Millis kWait = 5000;

// The server holds the connection open for far longer than kWait.
ScriptedServer::Script ReplyAndHold(const std::string& bytes) {
    return {ScriptedServer::readRequest(), ScriptedServer::send(bytes), ScriptedServer::hold()};
}

class Http11Client : public THttpCli {
public:
    explicit Http11Client(MessageLoop& loop) : THttpCli(loop) { UseHttp11(true); }
};

struct FramingCase {
    const char* name;
    ScriptedServer::Script script;
    std::uint16_t error;
    std::string body;
};

std::string CaseName(const ::testing::TestParamInfo<FramingCase>& info) {
    return info.param.name;
}

class HttpFraming : public ::testing::TestWithParam<FramingCase> {};

TEST_P(HttpFraming, Http11BodyEndsWhereItsFramingSays) {
    const FramingCase& k = GetParam();
    MessageLoop loop;
    ScriptedServer server(k.script);
    Http11Client c(loop);
    HttpProbe p(c);
    c.URL = server.url("/x");
    c.GetAsync();
    ASSERT_TRUE(loop.runUntil([&] { return p.done > 0; }, kWait));
    EXPECT_EQ(p.doneError, k.error);
    EXPECT_EQ(p.body, k.body);
    EXPECT_EQ(c.State(), Ready);
    EXPECT_EQ(c.RcvdCount(), static_cast<std::int32_t>(k.body.size()));
    if (!k.body.empty()) {
        EXPECT_EQ(std::count(p.events.begin(), p.events.end(), "doc-end"), 1);
    }
}

const std::string kChunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Replies, HttpFraming,
    ::testing::Values(
        FramingCase{"LengthEndsTheBody",
                    ReplyAndHold("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA"), 0,
                    "hello"},
        FramingCase{"LengthWithBlanksAroundIt",
                    ReplyAndHold("HTTP/1.1 200 OK\r\nContent-Length: \t5 \r\n\r\nhello"), 0,
                    "hello"},
        FramingCase{"LengthArrivingLater",
                    {ScriptedServer::readRequest(),
                     ScriptedServer::send("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nab"),
                     ScriptedServer::pause(50), ScriptedServer::send("cd"),
                     ScriptedServer::pause(50), ScriptedServer::send("ef"), ScriptedServer::hold()},
                    0,
                    "abcdef"},
        FramingCase{"EmptyBodyOfLengthZero",
                    ReplyAndHold("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"), 0, ""},
        FramingCase{"ChunkedBody",
                    ReplyAndHold(kChunked + "5;x=1\r\nhello\r\n6\r\n world\r\n0\r\nT: 1\r\n\r\n"),
                    0, "hello world"},
        FramingCase{"ChunkedWinsOverLength",
                    ReplyAndHold("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n"
                                 "Transfer-Encoding: gzip, chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n"),
                    0, "abc"},
        FramingCase{"InterimReplyIsSkipped",
                    ReplyAndHold("HTTP/1.1 100 Continue\r\n\r\n"
                                 "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"),
                    0, "ok"},
        FramingCase{"ConflictingLengthsReadUntilTheClose",
                    ScriptedServer::reply("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n"
                                          "Content-Length: 3\r\n\r\nabcd"),
                    0, "abcd"},
        FramingCase{"NoFramingReadsUntilTheClose",
                    ScriptedServer::reply("HTTP/1.1 200 OK\r\n\r\nall of it"), 0, "all of it"},
        FramingCase{"CloseBeforeTheLengthIsACutShortReply",
                    ScriptedServer::reply("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly"), 0,
                    "only"},
        FramingCase{"CloseBeforeTheLastChunkIsACutShortReply",
                    ScriptedServer::reply(kChunked + "4\r\nsome\r\n10\r\npart"), 0, "somepart"},
        FramingCase{"MalformedChunkEndsTheRequestWithAnError",
                    ReplyAndHold(kChunked + "3\r\nabc\r\nzz\r\nmore\r\n0\r\n\r\n"), 10053, "abc"}),
    CaseName);

TEST(HttpFraming11, RequestSaysHttp11AndAsksForTheClose) {
    MessageLoop loop;
    ScriptedServer server(ReplyAndHold("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"));
    Http11Client c(loop);
    HttpProbe p(c);
    c.URL = server.url("/x?y=1");
    c.Agent = "A";
    c.GetAsync();
    ASSERT_TRUE(loop.runUntil([&] { return p.done > 0; }, kWait));
    EXPECT_EQ(server.requests().at(0), "GET /x?y=1 HTTP/1.1\r\nUser-Agent: A\r\nHost: 127.0.0.1:" +
                                           std::to_string(server.port()) +
                                           "\r\nConnection: close\r\n\r\n");
}

TEST(HttpFraming11, HeadReplyHasNoBodyWhateverItsLength) {
    MessageLoop loop;
    ScriptedServer server(ReplyAndHold("HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\n"));
    Http11Client c(loop);
    HttpProbe p(c);
    c.URL = server.url("/");
    c.HeadAsync();
    ASSERT_TRUE(loop.runUntil([&] { return p.done > 0; }, kWait));
    EXPECT_EQ(p.doneError, 0);
    EXPECT_EQ(c.ContentLength(), 50);
    EXPECT_EQ(p.body, "");
}

TEST(HttpFraming10, Http10BodyEndsOnlyAtTheClose) {
    MessageLoop loop;
    ScriptedServer server(ScriptedServer::Script{
        ScriptedServer::readRequest(),
        ScriptedServer::send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"),
        ScriptedServer::pause(300), ScriptedServer::send(" and more"), ScriptedServer::close()});
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = server.url("/");
    c.GetAsync();
    ASSERT_TRUE(loop.runUntil([&] { return p.done > 0; }, kWait));
    EXPECT_EQ(p.body, "ok and more");
    EXPECT_EQ(server.requests().at(0), "GET / HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
}

struct AnnouncedCase {
    const char* name;
    std::string header; // lines after the status line, each with its line end
    std::int32_t announced;
};

std::string AnnouncedName(const ::testing::TestParamInfo<AnnouncedCase>& info) {
    return info.param.name;
}

class HttpAnnouncedLength : public ::testing::TestWithParam<AnnouncedCase> {};

TEST_P(HttpAnnouncedLength, FollowsTheLookupRule) {
    const AnnouncedCase& k = GetParam();
    MessageLoop loop;
    ScriptedServer server(ScriptedServer::reply("HTTP/1.0 200 OK\r\n" + k.header + "\r\nbody"));
    THttpCli c(loop);
    HttpProbe p(c);
    std::int32_t atHeaderEnd = -2;
    c.OnHeaderEnd = [&](THttpCli* s) { atHeaderEnd = s->AnnouncedLength(); };
    c.URL = server.url("/");
    c.GetAsync();
    ASSERT_TRUE(loop.runUntil([&] { return p.done > 0; }, kWait));
    EXPECT_EQ(atHeaderEnd, k.announced);
    EXPECT_EQ(c.AnnouncedLength(), k.announced);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HttpAnnouncedLength,
    ::testing::Values(AnnouncedCase{"Plain", "Content-Length: 20\r\n", 20},
                      AnnouncedCase{"NoBlankAfterTheColon", "content-length:17\r\n", 17},
                      AnnouncedCase{"BlanksAround", "Content-Length:   9 \t\r\n", 9},
                      AnnouncedCase{"FirstLineWins", "Content-Length: 3\r\nContent-Length: 4\r\n",
                                    3},
                      AnnouncedCase{"AnywhereInTheLine", "X-Note: content-length: 5\r\n", 0},
                      AnnouncedCase{"NoneAnnounced", "Content-Type: text/plain\r\n", -1}),
    AnnouncedName);

TEST(HttpAnnouncedLengthChain, TheFirstReplyOfARelocationChainAnnouncesIt) {
    MessageLoop loop;
    ScriptedServer server(
        [](int n) {
            return n == 0 ? ScriptedServer::reply("HTTP/1.0 302 Found\r\nLocation: /b\r\n"
                                                  "Content-Length: 0\r\n\r\n")
                          : ScriptedServer::reply("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n"
                                                  "0123456789");
        },
        2);
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = server.url("/a");
    c.GetAsync();
    ASSERT_TRUE(loop.runUntil([&] { return p.done > 0; }, kWait));
    EXPECT_EQ(c.ContentLength(), 10);
    EXPECT_EQ(c.AnnouncedLength(), 0);
    EXPECT_EQ(p.body, "0123456789");
}

} // namespace
