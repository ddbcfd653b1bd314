#include "tests/tools/GatewayTestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace zendrel::test {
namespace {

using namespace std::string_literals;

GatewayProcess StartWhoisGateway(std::vector<std::string> args = {}) {
    args.insert(args.end(), {"--whois-port", "free"});
    return StartGateway(std::move(args));
}

// Reads until at least `wanted` bytes came, the peer closed, or the time ran out; closes `fd`.
Received ReadSome(int fd, std::size_t wanted, int timeoutMs) {
    Received r;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buf[8192];
    while (r.bytes.size() < wanted) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            r.timedOut = true;
            break;
        }
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        r.bytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return r;
}

TEST(GatewayWhois, AnswersEachKindOfNameInTheWebPagesWording) {
    struct Case {
        std::string query;
        std::string name; // as the web page is asked for it
        std::vector<std::string> expected;
        std::vector<std::string> unexpected;
    };
    const Case cases[] = {
        {"zzfree.com\r\n", "zzfree.com", {"No match for \"ZZFREE.COM\"."}, {"Registrar:"}},
        {"shop.com\r\n",
         "shop.com",
         {"Domain Name: SHOP.COM\n", "Registrar: ", "Created: ", "Status: registered",
          "\n\nName Server: NS1.", "\nName Server: NS2."},
         {"No match", "on hold"}},
        {"green.org\n", "green.org", {"Domain Name: GREEN.ORG", "Status: on hold"}, {"No match"}},
        // Flags real servers expect in front of the name are passed over.
        {"domain Shop.Com\r\n", "shop.com", {"Domain Name: SHOP.COM"}, {"No match"}},
        {"-T dn,ace zzfree.de \r\n", "zzfree.de", {"No match for \"ZZFREE.DE\"."}, {}},
    };
    GatewayProcess gateway = StartWhoisGateway();
    ASSERT_NE(gateway.whoisPort(), 0);
    ASSERT_NE(gateway.whoisPort(), gateway.port());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        Received r = FetchLoopback(gateway.whoisPort(), c.query);
        EXPECT_FALSE(r.reset);
        EXPECT_FALSE(r.timedOut);
        for (const auto& line : c.expected)
            EXPECT_NE(r.bytes.find(line), std::string::npos) << line;
        for (const auto& line : c.unexpected)
            EXPECT_EQ(r.bytes.find(line), std::string::npos) << line;
        // The same text as the web page, so that one method reads both.
        std::string page =
            SplitHttpReply(FetchLoopback(gateway.port(), WhoisRequest(c.name)).bytes).body;
        EXPECT_EQ(r.bytes, page);
    }
}

TEST(GatewayWhois, AnswersQueriesItCannotUseWithAnErrorLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"\r\n", "% Error: the query holds no usable name.\n"},
        {"sh\0p.com\r\n"s, "% Error: the query holds no usable name.\n"},
        {std::string(2000, 'a'), "% Error: query too long.\n"}, // no line end needed to refuse
        {std::string(1500, 'a') + "\r\n", "% Error: query too long.\n"},
    };
    GatewayProcess gateway = StartWhoisGateway();
    for (const auto& [query, reply] : cases) {
        SCOPED_TRACE(query.substr(0, 20));
        Received r = FetchLoopback(gateway.whoisPort(), query);
        EXPECT_EQ(r.bytes, reply);
        EXPECT_FALSE(r.timedOut);
    }
}

TEST(GatewayWhois, ReadsAQueryThatArrivesInPieces) {
    GatewayProcess gateway = StartWhoisGateway();
    int fd = ConnectLoopback(gateway.whoisPort());
    ASSERT_GE(fd, 0);
    for (const char* piece : {"dom", "ain sh", "op.com\r", "\n"}) {
        ASSERT_TRUE(SendAll(fd, piece));
        usleep(20000); // lets each piece arrive on its own
    }
    Received r = ReadUntilClosed(fd, 10000);
    EXPECT_NE(r.bytes.find("Domain Name: SHOP.COM"), std::string::npos);
}

TEST(GatewayWhois, DropsAClientThatTakesTooLongToAsk) {
    GatewayProcess gateway = StartWhoisGateway({"--read-timeout-ms", "300"});
    for (const char* sent : {"", "shop.com"}) { // nothing, or a query without its line end
        SCOPED_TRACE(sent);
        int fd = ConnectLoopback(gateway.whoisPort());
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(SendAll(fd, sent));
        auto start = std::chrono::steady_clock::now();
        Received r = ReadUntilClosed(fd, 10000);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.bytes, "");
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
    }
}

TEST(GatewayWhois, PlaysTheHostileModes) {
    const std::string query = "shop.com\r\n";
    GatewayProcess normal = StartWhoisGateway();
    const std::string whole = FetchLoopback(normal.whoisPort(), query).bytes;
    ASSERT_NE(whole.find("Registrar:"), std::string::npos);

    auto modeGateway = [](const char* mode) { return StartWhoisGateway({"--mode", mode}); };
    {
        Received r = FetchLoopback(modeGateway("close").whoisPort(), query);
        EXPECT_EQ(r.bytes, "");
        EXPECT_FALSE(r.timedOut);
        EXPECT_FALSE(r.reset);
    }
    {
        Received r = FetchLoopback(modeGateway("reset").whoisPort(), query);
        EXPECT_TRUE(r.reset);
        EXPECT_EQ(r.bytes, whole.substr(0, whole.size() / 2));
    }
    {
        Received r = FetchLoopback(modeGateway("nul").whoisPort(), query);
        EXPECT_TRUE(r.bytes.starts_with(std::string(16, '\0')));
        EXPECT_NE(r.bytes.find("Registrar: "), std::string::npos);
        EXPECT_NE(r.bytes.find("\0\n"s), std::string::npos);
        std::erase(r.bytes, '\0');
        EXPECT_EQ(r.bytes, whole);
    }
    {
        GatewayProcess endless = modeGateway("endless");
        int fd = ConnectLoopback(endless.whoisPort());
        ASSERT_TRUE(SendAll(fd, query));
        const std::size_t wanted = 1024 * 1024;
        Received r = ReadSome(fd, wanted, 20000);
        ASSERT_GE(r.bytes.size(), wanted); // still sending, far beyond one reply
        for (std::size_t at = 0; at + whole.size() <= r.bytes.size(); at += whole.size())
            ASSERT_EQ(r.bytes.compare(at, whole.size(), whole), 0) << at;
    }
    {
        GatewayProcess silent = modeGateway("silent");
        Received r = FetchLoopback(silent.whoisPort(), query, 500);
        EXPECT_TRUE(r.timedOut);
        EXPECT_EQ(r.bytes, "");
        // The mode holds for the web listener too.
        EXPECT_TRUE(FetchLoopback(silent.port(), WhoisRequest("a.com"), 300).timedOut);
    }
}

TEST(GatewayWhois, DelaysAndTricklesLikeTheWebListener) {
    GatewayProcess delayed = StartWhoisGateway({"--delay-ms", "300"});
    auto start = std::chrono::steady_clock::now();
    Received r = FetchLoopback(delayed.whoisPort(), "a.com\r\n");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(298));
    EXPECT_NE(r.bytes.find("No match"), std::string::npos);

    GatewayProcess trickle = StartWhoisGateway({"--mode", "trickle", "--trickle-ms", "5"});
    r = FetchLoopback(trickle.whoisPort(), "a.com\r\n", 30000);
    EXPECT_TRUE(r.bytes.ends_with("% End of reply.\n"));
    EXPECT_GT(r.reads, static_cast<int>(r.bytes.size() / 4));
}

TEST(GatewayWhois, CountsQueriesTowardsTheRequestLimit) {
    GatewayProcess limited(GatewayProgram(), {"--max-requests", "2", "--whois-port", "free"});
    EXPECT_NE(FetchLoopback(limited.whoisPort(), "a.com\r\n").bytes.find("No match"),
              std::string::npos);
    FetchLoopback(limited.port(), WhoisRequest("b.com"));
    EXPECT_EQ(limited.waitForExit(10000), 0);
    EXPECT_LT(ConnectLoopback(limited.whoisPort()), 0);
}

TEST(GatewayWhois, OpensNoSecondListenerUnlessAsked) {
    GatewayProcess plain = StartGateway({"--whois-port", "0"});
    EXPECT_EQ(plain.whoisPort(), 0);
    EXPECT_EQ(plain.tlsPort(), 0);
    const std::vector<std::string> bad[] = {
        {"--whois-port", "70000"},
        {"--whois-port", "any"},
        {"--read-timeout-ms", "0"},
        {"--whois-port", std::to_string(plain.port())}, // taken
    };
    for (const auto& args : bad)
        EXPECT_THROW(GatewayProcess(GatewayProgram(), args), std::runtime_error) << args[1];
}

} // namespace
} // namespace zendrel::test
