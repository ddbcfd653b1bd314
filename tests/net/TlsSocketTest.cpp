// TLS on the socket against real servers on loopback: nginx with a certificate of the test CA,
// directly and through a proxy's CONNECT tunnel, and misuse of StartTls.
#include "net/SocketErrors.h"
#include "net/WSocket.h"
#include "tests/net/TlsProbe.h"
#include "tests/support/FdCount.h"
#include "tests/support/NginxServer.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestTrust.h"
#include "tests/support/TinyProxy.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace zendrel;
using zendrel::test::NginxServer;
using zendrel::test::ScriptedServer;
using zendrel::test::TlsProbe;

namespace {

constexpr Millis kWait = 10000;
const std::vector<std::string> kOrdinaryEvents = {"connected 0", "tls 0", "sent 0", "closed 0"};

// 300 KiB without repeats a 16 KiB record could line up with.
std::string BigPage() {
    std::string page;
    for (int i = 0; page.size() < 300 * 1024; ++i)
        page += "line " + std::to_string(i) + " of a page larger than any TLS record\n";
    return page;
}

void ConnectTo(TWSocket& s, int port) {
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(port));
    s.Connect();
}

std::string Body(const std::string& reply) {
    std::size_t end = reply.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : reply.substr(end + 4);
}

class TlsSocket : public testing::Test {
protected:
    void SetUp() override { test::TrustedTestCa(); }
};

} // namespace

TEST_F(TlsSocket, NginxPageOverTlsArrivesWholeForNamesAndAddresses) {
    NginxServer nginx(test::LoopbackCertificate());
    const std::string page = BigPage();
    nginx.addPage("big.html", page);
    struct Case {
        const char* name;
        std::string serverName;
        bool sendEarly;
        int chunk;
    } cases[] = {
        {"host name, request after the handshake", "localhost", false, 16384},
        {"address literal, request queued during the handshake", "127.0.0.1", true, 4096},
        {"small reads leave decrypted data inside the session", "localhost", false, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageLoop loop;
        const int fdsBefore = test::OpenFdCount();
        TWSocket s(loop);
        TlsProbe p;
        p.serverName = c.serverName;
        p.sendEarly = c.sendEarly;
        p.chunk = c.chunk;
        p.request = "GET /big.html HTTP/1.0\r\nHost: " + c.serverName + "\r\n\r\n";
        p.attach(s);
        ConnectTo(s, nginx.port());
        ASSERT_TRUE(loop.runUntil([&] { return p.closed(); }, kWait));
        EXPECT_EQ(p.events, kOrdinaryEvents);
        EXPECT_EQ(p.data.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
        EXPECT_TRUE(Body(p.data) == page) << "body of " << Body(p.data).size() << " bytes";
        EXPECT_EQ(p.readCountAtClose, static_cast<std::int64_t>(p.data.size()));
        EXPECT_EQ(p.failureAtClose, "");
        EXPECT_EQ(s.State(), wsClosed);
        EXPECT_EQ(test::OpenFdCount(), fdsBefore);
    }
}

// The server keeps the connection open after the reply, so nothing on the wire signals the last
// records once OpenSSL has read them: only the socket's own report gets them to the owner.
TEST_F(TlsSocket, DecryptedDataIsReportedWhileTheServerKeepsTheConnection) {
    NginxServer nginx(test::LoopbackCertificate());
    const std::string page = BigPage();
    nginx.addPage("big.html", page);
    MessageLoop loop;
    TWSocket s(loop);
    TlsProbe p;
    p.serverName = "localhost";
    p.chunk = 100;
    p.request = "GET /big.html HTTP/1.1\r\nHost: localhost\r\n\r\n";
    p.attach(s);
    ConnectTo(s, nginx.port());
    const std::string length = "Content-Length: " + std::to_string(page.size()) + "\r\n";
    auto complete = [&] { return Body(p.data).size() >= page.size() || p.closed(); };
    ASSERT_TRUE(loop.runUntil(complete, kWait)) << "stalled after " << p.data.size() << " bytes";
    EXPECT_NE(p.data.find(length), std::string::npos);
    EXPECT_TRUE(Body(p.data) == page);
    p.inCall = true;
    s.Close(); // sends close-notify; the closed event comes inside the call, as for plain sockets
    p.inCall = false;
    EXPECT_EQ(p.events,
              (std::vector<std::string>{"connected 0", "tls 0", "sent 0", "closed 0 (in call)"}));
    EXPECT_EQ(s.Addr(), "");
}

// What a proxied https:// lookup does: CONNECT in the clear, then TLS over the same connection.
TEST_F(TlsSocket, StartsAfterAClearExchangeThroughAProxyTunnel) {
    NginxServer nginx(test::LoopbackCertificate());
    nginx.addPage("page.html", "through the tunnel\n");
    test::TinyProxy proxy("user", "secret");
    MessageLoop loop;
    TWSocket s(loop);
    TlsProbe p;
    p.request = "GET /page.html HTTP/1.0\r\nHost: localhost\r\n\r\n";
    p.attach(s);
    auto readPlaintext = s.OnDataAvailable;
    std::string clear;
    bool tunnelOpen = false;
    s.OnDataAvailable = [&](TWSocket* sock, std::uint16_t e) {
        if (tunnelOpen)
            return readPlaintext(sock, e);
        clear += sock->ReceiveStr();
        if (clear.find("\r\n\r\n") == std::string::npos)
            return;
        tunnelOpen = true;
        p.add("tunnel " + clear.substr(0, clear.find("\r\n")), 0);
        sock->StartTls("localhost");
    };
    s.OnSessionConnected = [&](TWSocket* sock, std::uint16_t e) {
        p.add("connected", e);
        sock->SendStr("CONNECT 127.0.0.1:" + std::to_string(nginx.port()) +
                      " HTTP/1.0\r\nProxy-Authorization: Basic dXNlcjpzZWNyZXQ=\r\n\r\n");
    };
    ConnectTo(s, proxy.port());
    ASSERT_TRUE(loop.runUntil([&] { return p.closed(); }, kWait));
    ASSERT_EQ(p.events.size(), 6u) << testing::PrintToString(p.events);
    EXPECT_EQ(p.events[0], "connected 0");
    EXPECT_EQ(p.events[1], "sent 0");
    EXPECT_NE(p.events[2].find(" 200 "), std::string::npos) << p.events[2];
    EXPECT_EQ(std::vector<std::string>(p.events.begin() + 3, p.events.end()),
              (std::vector<std::string>{"tls 0", "sent 0", "closed 0"}));
    EXPECT_EQ(Body(p.data), "through the tunnel\n");
}

TEST_F(TlsSocket, StartTlsRefusesWhatCannotWork) {
    ScriptedServer server({ScriptedServer::hold()});
    MessageLoop loop;
    TWSocket s(loop);
    auto raised = [&](const std::string& name) {
        try {
            s.StartTls(name);
        } catch (const ESocketException& e) {
            return std::string(e.what());
        }
        return std::string("nothing raised");
    };
    EXPECT_EQ(raised("localhost"), "StartTls: Socket not connected");
    bool connected = false;
    s.OnSessionConnected = [&](TWSocket*, std::uint16_t) { connected = true; };
    ConnectTo(s, server.port());
    ASSERT_TRUE(loop.runUntil([&] { return connected; }, kWait));
    EXPECT_EQ(raised(""), "StartTls: No server name");
    s.StartTls("localhost");
    EXPECT_EQ(raised("localhost"), "StartTls: TLS already started");
    s.Abort();
    server.stop();
}

// A server that takes the ClientHello and never answers: nothing hangs and nothing is left over
// when the owner gives up, here by destroying the socket in the middle of the handshake.
TEST_F(TlsSocket, StalledHandshakeEndsWhenTheOwnerGivesUp) {
    MessageLoop loop;
    const int fdsBefore = test::OpenFdCount();
    ScriptedServer server({ScriptedServer::hold()});
    auto owned = std::make_unique<TWSocket>(loop);
    TlsProbe p;
    p.serverName = "localhost";
    p.request = "GET / HTTP/1.0\r\n\r\n";
    p.attach(*owned);
    ConnectTo(*owned, server.port());
    loop.runUntil([] { return false; }, 300);
    EXPECT_EQ(p.events, (std::vector<std::string>{"connected 0"}));
    EXPECT_EQ(owned->State(), wsConnected);
    owned.reset();
    loop.runUntil([] { return false; }, 50);
    EXPECT_EQ(p.events, (std::vector<std::string>{"connected 0"}));
    server.stop();
    EXPECT_EQ(test::OpenFdCount(), fdsBefore);
}
