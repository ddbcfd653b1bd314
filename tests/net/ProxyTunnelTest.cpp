// CONNECT tunnels through a real tinyproxy to an echoing server on loopback, and through
// scripted proxies that refuse, close, or never end their header.
#include "net/ProxyTunnel.h"

#include "tests/support/ScriptedServer.h"
#include "tests/support/TinyProxy.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

using namespace zendrel;
using namespace std::string_literals;
using zendrel::test::ScriptedServer;
using zendrel::test::TinyProxy;
using zendrel::test::TinyProxyOptions;

namespace {

constexpr Millis kWait = 8000;

// A running proxy of either kind, kept alive for the case.
struct Proxy {
    std::shared_ptr<void> keep;
    int port = 0;
};

Proxy StartTinyProxy(TinyProxyOptions options) {
    auto p = std::make_shared<TinyProxy>(options);
    return {p, p->port()};
}

Proxy StartScripted(ScriptedServer::Script script) {
    auto p = std::make_shared<ScriptedServer>(std::move(script));
    return {p, p->port()};
}

// A socket connected to 127.0.0.1:port whose own events are counted.
struct Connection {
    TWSocket socket;
    int ownerData = 0;
    int ownerClosed = 0;
    std::string received;

    Connection(MessageLoop& loop, int port) : socket(loop) {
        bool connected = false;
        socket.OnSessionConnected = [&](TWSocket*, std::uint16_t e) { connected = e == 0; };
        socket.OnDataAvailable = [this](TWSocket* s, std::uint16_t) {
            ++ownerData;
            received += s->ReceiveStr();
        };
        socket.OnSessionClosed = [this](TWSocket*, std::uint16_t) { ++ownerClosed; };
        socket.SetAddr("127.0.0.1");
        socket.SetPort(std::to_string(port));
        socket.SetProto("tcp");
        socket.Connect();
        loop.runUntil([&] { return connected; }, kWait);
        socket.OnSessionConnected = nullptr;
    }
};

struct TunnelCase {
    const char* name;
    std::function<Proxy(int echoPort)> start;
    const char* user;
    const char* password;
    TunnelOutcome outcome;
    int status;
    std::string early = "";
};

std::string CaseName(const ::testing::TestParamInfo<TunnelCase>& info) {
    return info.param.name;
}

class ProxyTunnelling : public ::testing::TestWithParam<TunnelCase> {};

TEST_P(ProxyTunnelling, ReportsOnceWhatTheProxyAnswered) {
    const TunnelCase& k = GetParam();
    MessageLoop loop;
    ScriptedServer echo(ScriptedServer::Script{ScriptedServer::echo()});
    Proxy proxy = k.start(echo.port());
    Connection c(loop, proxy.port);
    ASSERT_EQ(c.socket.State(), wsConnected);
    ProxyTunnel tunnel(c.socket);
    int reports = 0;
    int ownerEventsAtReport = -1;
    TunnelResult result;
    ASSERT_TRUE(tunnel.Start("127.0.0.1", std::to_string(echo.port()), k.user, k.password,
                             [&](const TunnelResult& r) {
                                 ++reports;
                                 result = r;
                                 ownerEventsAtReport = c.ownerData + c.ownerClosed;
                             }));
    ASSERT_TRUE(loop.runUntil([&] { return reports > 0; }, kWait));
    EXPECT_EQ(result.outcome, k.outcome);
    EXPECT_EQ(result.status, k.status);
    EXPECT_EQ(result.early, k.early);
    EXPECT_FALSE(tunnel.Running());
    EXPECT_EQ(ownerEventsAtReport, 0); // the proxy's answer went to the tunnel alone
    if (k.outcome == TunnelOutcome::Open && k.early.empty()) {
        // The socket's events are the owner's again, and the tunnel reaches the echo server.
        c.socket.SendStr("ping\r\n\r\n");
        ASSERT_TRUE(loop.runUntil([&] { return c.received == "ping\r\n\r\n"; }, kWait))
            << c.received;
    }
    c.socket.Close();
    loop.runUntil([] { return false; }, 20);
    EXPECT_EQ(reports, 1);
    // A close the tunnel reported is not reported to the owner a second time.
    EXPECT_EQ(c.ownerClosed, k.outcome == TunnelOutcome::Closed ? 0 : 1);
}

std::string EndlessLines() {
    return "X-Filler: " + std::string(60, 'f') + "\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Proxies, ProxyTunnelling,
    ::testing::Values(
        TunnelCase{"TinyProxyWithCredentials",
                   [](int) {
                       return StartTinyProxy({"scout", "s3cret", {}});
                   },
                   "scout", "s3cret", TunnelOutcome::Open, 200},
        TunnelCase{"TinyProxyWithoutAuthorization",
                   [](int) {
                       return StartTinyProxy({"", "", {}});
                   },
                   "", "", TunnelOutcome::Open, 200},
        TunnelCase{"WrongCredentials",
                   [](int) {
                       return StartTinyProxy({"scout", "s3cret", {}});
                   },
                   "scout", "wrong", TunnelOutcome::Refused, 401},
        TunnelCase{"MissingCredentials",
                   [](int) {
                       return StartTinyProxy({"scout", "s3cret", {}});
                   },
                   "", "", TunnelOutcome::Refused, 407},
        TunnelCase{"PortTheProxyDoesNotAllow",
                   [](int) {
                       return StartTinyProxy({"", "", {43}});
                   },
                   "", "", TunnelOutcome::Refused, 403},
        TunnelCase{
            "ProxyThatCloses",
            [](int) {
                return StartScripted({ScriptedServer::readRequest(), ScriptedServer::close()});
            },
            "", "", TunnelOutcome::Closed, 0},
        TunnelCase{
            "ProxyThatClosesInItsHeader",
            [](int) { return StartScripted(ScriptedServer::reply("HTTP/1.1 200 OK\r\nX-A: 1")); },
            "", "", TunnelOutcome::Closed, 200},
        TunnelCase{
            "ProxyThatResets",
            [](int) {
                return StartScripted({ScriptedServer::readRequest(), ScriptedServer::reset()});
            },
            "", "", TunnelOutcome::Closed, 0},
        TunnelCase{"EndlessHeaderLines",
                   [](int) {
                       return StartScripted({ScriptedServer::readRequest(),
                                             ScriptedServer::send("HTTP/1.1 200 OK\r\n"),
                                             ScriptedServer::stream(EndlessLines(), 10000)});
                   },
                   "", "", TunnelOutcome::HeaderTooLong, 200},
        TunnelCase{"EndlessHeaderLine",
                   [](int) {
                       return StartScripted({ScriptedServer::readRequest(),
                                             ScriptedServer::send("HTTP/1.1 200 OK\r\nX: "),
                                             ScriptedServer::stream("x", 10000)});
                   },
                   "", "", TunnelOutcome::HeaderTooLong, 200},
        TunnelCase{"AnswerThatIsNotHttp",
                   [](int) {
                       return StartScripted({ScriptedServer::readRequest(),
                                             ScriptedServer::send("SSH-2.0-Server\r\n\r\n"),
                                             ScriptedServer::hold()});
                   },
                   "", "", TunnelOutcome::NotHttp, 0},
        TunnelCase{"BytesAfterTheHeaderAreHandedOver",
                   [](int) {
                       return StartScripted(
                           {ScriptedServer::readRequest(),
                            ScriptedServer::send("HTTP/1.0 200 Connection established\r\n"
                                                 "Proxy-Agent: x\r\n\r\nEARLY"),
                            ScriptedServer::hold()});
                   },
                   "", "", TunnelOutcome::Open, 200, "EARLY"}),
    CaseName);

TEST(ProxyTunnel, SendsTheConnectRequestWithCredentials) {
    MessageLoop loop;
    ScriptedServer proxy(ScriptedServer::reply("HTTP/1.1 200 Connection established\r\n\r\n"));
    Connection c(loop, proxy.port());
    ProxyTunnel tunnel(c.socket);
    std::optional<TunnelResult> result;
    ASSERT_TRUE(
        tunnel.Start("whois.example", "43", "u", "p", [&](const TunnelResult& r) { result = r; }));
    ASSERT_TRUE(loop.runUntil([&] { return result.has_value(); }, kWait));
    EXPECT_EQ(result->outcome, TunnelOutcome::Open);
    EXPECT_EQ(result->reason, "Connection established");
    EXPECT_EQ(proxy.requests().at(0), "CONNECT whois.example:43 HTTP/1.1\r\n"
                                      "Host: whois.example:43\r\n"
                                      "Proxy-Authorization: Basic dTpw\r\n\r\n");
}

TEST(ProxyTunnel, RefusesTextThatCouldAddALineAndSendsNothing) {
    MessageLoop loop;
    ScriptedServer proxy(
        ScriptedServer::Script{ScriptedServer::readRequest(), ScriptedServer::hold()});
    Connection c(loop, proxy.port());
    ProxyTunnel tunnel(c.socket);
    struct Bad {
        std::string host, port, user, password;
    } bad[] = {
        {"h\r\nX-Evil: 1", "43", "", ""},
        {"h", "43\n", "", ""},
        {"h h", "43", "", ""},
        {"", "43", "", ""},
        {"h", "", "", ""},
        {"h", "43", "u\r\n", "p"},
        {"h", "43", "u", "p\nq"},
        {"h", "43", "u", "p\0q"s},
    };
    for (const Bad& b : bad) {
        EXPECT_FALSE(tunnel.Start(b.host, b.port, b.user, b.password, [](const TunnelResult&) {
            ADD_FAILURE() << "a refused start must not report";
        })) << b.host;
        EXPECT_FALSE(tunnel.Running());
    }
    ASSERT_TRUE(loop.runUntil([&] { return proxy.connections() == 1; }, kWait));
    c.socket.Close(); // the owner's events were never taken
    EXPECT_EQ(c.ownerClosed, 1);
    proxy.stop(); // what the proxy read is complete once it has seen the close
    EXPECT_EQ(proxy.requests().at(0), "");
}

TEST(ProxyTunnel, CancelGivesTheEventsBackWithoutAReport) {
    MessageLoop loop;
    ScriptedServer proxy(
        ScriptedServer::Script{ScriptedServer::readRequest(), ScriptedServer::hold()});
    Connection c(loop, proxy.port());
    int reports = 0;
    {
        ProxyTunnel tunnel(c.socket);
        ASSERT_TRUE(tunnel.Start("h", "43", "", "", [&](const TunnelResult&) { ++reports; }));
        loop.runUntil([] { return false; }, 100);
        tunnel.Cancel();
        EXPECT_FALSE(tunnel.Running());
    }
    c.socket.Close();
    EXPECT_EQ(c.ownerClosed, 1);
    EXPECT_EQ(reports, 0);

    TWSocket unconnected(loop);
    ProxyTunnel tunnel(unconnected);
    EXPECT_FALSE(tunnel.Start("h", "43", "", "", [&](const TunnelResult&) { ++reports; }));
}

} // namespace
