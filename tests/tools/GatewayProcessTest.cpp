#include "tests/support/TempDir.h"
#include "tests/tools/GatewayTestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace zendrel::test {
namespace {

struct PageCase {
    const char* name;
    std::vector<std::string> expected;   // lines the body must hold
    std::vector<std::string> unexpected; // lines it must not hold
};

TEST(GatewayProcess, AnswersEachKindOfNameInItsFixedWording) {
    const PageCase cases[] = {
        {"zzfree.com", {"No match for \"ZZFREE.COM\"."}, {"Registrar:", "Status:"}},
        {"Shop.Com",
         {"Domain Name: SHOP.COM", "Registrar: ", "Created: ", "Status: registered",
          "\n\nName Server: NS1.", "\nName Server: NS2."},
         {"No match", "on hold"}},
        {"green.org", {"Domain Name: GREEN.ORG", "Registrar: ", "Status: on hold"}, {"No match"}},
    };
    GatewayProcess gateway = StartGateway();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Received r = FetchLoopback(gateway.port(), WhoisRequest(c.name));
        SplitReply reply = SplitHttpReply(r.bytes);
        ASSERT_TRUE(reply.complete);
        EXPECT_FALSE(r.reset);
        EXPECT_TRUE(reply.head.starts_with("HTTP/1.0 200 OK\r\n"));
        EXPECT_NE(reply.head.find("Content-Length: " + std::to_string(reply.body.size()) + "\r\n"),
                  std::string::npos);
        for (const auto& line : c.expected)
            EXPECT_NE(reply.body.find(line), std::string::npos) << line;
        for (const auto& line : c.unexpected)
            EXPECT_EQ(reply.body.find(line), std::string::npos) << line;
    }
    // The same name always gets the same details.
    EXPECT_EQ(FetchLoopback(gateway.port(), WhoisRequest("shop.com")).bytes,
              FetchLoopback(gateway.port(), WhoisRequest("SHOP.com")).bytes);
}

TEST(GatewayProcess, RefusesRequestsItCannotAnswer) {
    const std::pair<std::string, std::string> cases[] = {
        {"GET /other?name=a.com HTTP/1.0\r\n\r\n", "HTTP/1.0 404 "},
        {"GET /whois?q=a.com HTTP/1.0\r\n\r\n", "HTTP/1.0 400 "},
        {"GET /whois?name=a%2 HTTP/1.0\r\n\r\n", "HTTP/1.0 400 "},
        {"GET /whois?name=a%0Ab.com HTTP/1.0\r\n\r\n", "HTTP/1.0 400 "},
        {"POST /whois?name=a.com HTTP/1.0\r\n\r\n", "HTTP/1.0 405 "},
        {"GARBAGE\r\n\r\n", "HTTP/1.0 400 "},
        {"GET /whois?name=a.com HTTP/1.0\r\nX: " + std::string(9000, 'x'), "HTTP/1.0 400 "},
    };
    GatewayProcess gateway = StartGateway();
    for (const auto& [request, status] : cases) {
        SCOPED_TRACE(request.substr(0, 40));
        Received r = FetchLoopback(gateway.port(), request);
        EXPECT_TRUE(r.bytes.starts_with(status)) << r.bytes;
        EXPECT_FALSE(r.timedOut);
    }
    // An absolute target, as a proxy may pass it on, and an escaped name are understood.
    Received r = FetchLoopback(gateway.port(),
                               "GET http://127.0.0.1:1/whois?name=shop%2Ecom HTTP/1.0\r\n\r\n");
    EXPECT_NE(r.bytes.find("Domain Name: SHOP.COM"), std::string::npos);
}

TEST(GatewayProcess, ReadsARequestThatArrivesInPieces) {
    GatewayProcess gateway = StartGateway();
    int fd = ConnectLoopback(gateway.port());
    ASSERT_GE(fd, 0);
    const std::string request = WhoisRequest("shop.com");
    const std::size_t cuts[] = {0, 3, 17, request.size() - 1, request.size()};
    for (std::size_t i = 0; i + 1 < std::size(cuts); ++i) {
        ASSERT_TRUE(SendAll(fd, request.substr(cuts[i], cuts[i + 1] - cuts[i])));
        usleep(20000); // lets each piece arrive on its own
    }
    Received r = ReadUntilClosed(fd, 10000);
    EXPECT_NE(r.bytes.find("Domain Name: SHOP.COM"), std::string::npos);
}

TEST(GatewayProcess, LeavesOutContentLengthWhenAsked) {
    GatewayProcess gateway = StartGateway({"--no-content-length"});
    SplitReply reply = SplitHttpReply(FetchLoopback(gateway.port(), WhoisRequest("a.com")).bytes);
    ASSERT_TRUE(reply.complete);
    EXPECT_EQ(reply.head.find("Content-Length"), std::string::npos);
    EXPECT_NE(reply.body.find("No match for \"A.COM\"."), std::string::npos);
    EXPECT_TRUE(reply.body.ends_with("% End of reply.\n"));
}

TEST(GatewayProcess, CloseModeSendsNothing) {
    GatewayProcess gateway = StartGateway({"--mode", "close"});
    Received r = FetchLoopback(gateway.port(), WhoisRequest("a.com"));
    EXPECT_EQ(r.bytes, "");
    EXPECT_FALSE(r.timedOut);
}

TEST(GatewayProcess, ResetModeCutsTheBodyWithAReset) {
    GatewayProcess gateway = StartGateway({"--mode", "reset"});
    std::string whole = FetchLoopback(StartGateway().port(), WhoisRequest("shop.com")).bytes;
    Received r = FetchLoopback(gateway.port(), WhoisRequest("shop.com"));
    EXPECT_TRUE(r.reset);
    SplitReply cut = SplitHttpReply(r.bytes);
    ASSERT_TRUE(cut.complete) << r.bytes;
    std::size_t wholeBody = SplitHttpReply(whole).body.size();
    EXPECT_EQ(cut.body.size(), wholeBody / 2);
    EXPECT_TRUE(whole.starts_with(r.bytes));
}

TEST(GatewayProcess, TrickleModeSendsOneByteAtATime) {
    GatewayProcess gateway = StartGateway({"--mode", "trickle", "--trickle-ms", "5"});
    Received r = FetchLoopback(gateway.port(), WhoisRequest("a.com"), 30000);
    SplitReply reply = SplitHttpReply(r.bytes);
    ASSERT_TRUE(reply.complete);
    EXPECT_TRUE(reply.body.ends_with("% End of reply.\n"));
    // Bytes sent 5 ms apart mostly arrive one by one; a busy machine may let a few pile up.
    EXPECT_GT(r.reads, static_cast<int>(r.bytes.size() / 4));
}

TEST(GatewayProcess, DelayHoldsTheReplyBack) {
    GatewayProcess gateway = StartGateway({"--delay-ms", "400"});
    auto start = std::chrono::steady_clock::now();
    Received r = FetchLoopback(gateway.port(), WhoisRequest("a.com"));
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_NE(r.bytes.find("No match"), std::string::npos);
    // A lower bound only, less the millisecond the gateway's whole-millisecond clock may lose
    // at each end.
    EXPECT_GE(took, std::chrono::milliseconds(398));
}

TEST(GatewayProcess, ServesManyClientsAtOnce) {
    constexpr int kClients = 150;
    GatewayProcess gateway = StartGateway({"--delay-ms", "200"});
    std::vector<int> fds;
    for (int i = 0; i < kClients; ++i) {
        int fd = ConnectLoopback(gateway.port());
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(SendAll(fd, WhoisRequest("name" + std::to_string(i) + ".com")));
        fds.push_back(fd);
    }
    for (int i = 0; i < kClients; ++i) {
        Received r = ReadUntilClosed(fds[i], 20000);
        EXPECT_NE(r.bytes.find("No match for \"NAME" + std::to_string(i) + ".COM\""),
                  std::string::npos);
    }
}

TEST(GatewayProcess, ReadsItsNameListsFromFiles) {
    TempDir dir;
    dir.write("names.txt", "# test names\r\nmine.com\r\n  HELD.net   hold # reserved\r\n\r\n");
    GatewayProcess gateway = StartGateway({"--no-default-names", "--names", dir.file("names.txt")});
    auto body = [&](const char* name) {
        return SplitHttpReply(FetchLoopback(gateway.port(), WhoisRequest(name)).bytes).body;
    };
    EXPECT_NE(body("mine.com").find("Status: registered"), std::string::npos);
    EXPECT_NE(body("held.net").find("Status: on hold"), std::string::npos);
    EXPECT_NE(body("shop.com").find("No match"), std::string::npos); // built-in list dropped
}

TEST(GatewayProcess, StopsByItselfAfterItsRequestLimitOrIdleTime) {
    GatewayProcess limited(GatewayProgram(), {"--max-requests", "2"});
    FetchLoopback(limited.port(), WhoisRequest("a.com"));
    FetchLoopback(limited.port(), WhoisRequest("b.com"));
    EXPECT_EQ(limited.waitForExit(10000), 0);
    EXPECT_LT(ConnectLoopback(limited.port()), 0);

    GatewayProcess idle(GatewayProgram(), {"--idle-exit-ms", "300"});
    EXPECT_EQ(idle.waitForExit(10000), 0);
}

TEST(GatewayProcess, RefusesBadOptionsAndABusyPort) {
    const std::vector<std::string> bad[] = {
        {"--mode", "sideways"}, {"--delay-ms", "-1"},
        {"--port", "70000"},    {"--names", "/nonexistent-zendrel/names.txt"},
        {"--unknown"},          {"--delay-ms"},
    };
    for (const auto& args : bad)
        EXPECT_THROW(GatewayProcess(GatewayProgram(), args), std::runtime_error) << args[0];
    GatewayProcess first = StartGateway();
    EXPECT_THROW(GatewayProcess(GatewayProgram(), {"--port", std::to_string(first.port())}),
                 std::runtime_error);
}

} // namespace
} // namespace zendrel::test
