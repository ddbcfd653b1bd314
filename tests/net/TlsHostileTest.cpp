// TLS peers that must not be trusted or that break the stream: every case ends promptly, through
// the socket's close path, with a reason a user can read, and leaves no descriptor behind.
#include "net/SocketErrors.h"
#include "net/WSocket.h"
#include "tests/net/TlsProbe.h"
#include "tests/support/FdCount.h"
#include "tests/support/NginxServer.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestTrust.h"
#include "tests/support/TlsServer.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace zendrel;
using zendrel::test::TlsProbe;
using zendrel::test::TlsServer;

namespace {

constexpr Millis kWait = 10000;

// Whatever server a case needs, kept alive while the client talks to it.
struct Peer {
    std::unique_ptr<TlsServer> tls;
    std::unique_ptr<test::ScriptedServer> scripted;
    std::unique_ptr<test::NginxServer> nginx;
    int port = 0;
};

Peer TlsPeer(TlsServer::Options options) {
    Peer peer;
    peer.tls = std::make_unique<TlsServer>(std::move(options));
    peer.port = peer.tls->port();
    return peer;
}

Peer TlsPeer(const PemPair& identity) {
    TlsServer::Options o;
    o.identity = identity;
    o.reply = "HTTP/1.0 200 OK\r\n\r\nnever reached";
    return TlsPeer(o);
}

CertificateRequest Loopback() {
    CertificateRequest r;
    r.commonName = "localhost";
    r.dnsNames = {"localhost"};
    r.ipAddresses = {"127.0.0.1"};
    return r;
}

struct Conversation {
    TlsProbe probe;
    bool ended = false;
};

// Connects to `port`, starts TLS for `serverName`, sends a request and reads until the close.
Conversation Talk(int port, const std::string& serverName) {
    Conversation run;
    MessageLoop loop;
    TWSocket s(loop);
    run.probe.serverName = serverName;
    run.probe.request = "GET / HTTP/1.0\r\nHost: " + serverName + "\r\n\r\n";
    run.probe.attach(s);
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(port));
    s.Connect();
    run.ended = loop.runUntil([&] { return run.probe.closed(); }, kWait);
    if (!run.ended)
        s.Abort();
    return run;
}

std::string Reply() {
    std::string body;
    for (int i = 0; body.size() < 100000; ++i)
        body += "row " + std::to_string(i) + "\n";
    return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

} // namespace

TEST(TlsHostilePeer, UntrustworthyServersFailTheHandshakeWithTheirReason) {
    const CertificateAuthority& ca = test::TrustedTestCa();
    CertificateAuthority stranger("Someone else's CA");
    CertificateRequest otherHost = Loopback();
    otherHost.dnsNames = {"other.example"};
    otherHost.ipAddresses = {"127.0.0.2"};
    CertificateRequest expired = Loopback();
    expired.notBeforeSeconds = -10 * 86400;
    expired.notAfterSeconds = -86400;
    TlsServer::Options tls10;
    tls10.identity = test::LoopbackCertificate();
    tls10.tls10Only = true;

    struct Case {
        const char* name;
        std::function<Peer()> peer;
        std::string serverName;
        int error;
        std::string reason;
    } cases[] = {
        {"certificate for another host name", [&] { return TlsPeer(ca.issue(otherHost)); },
         "localhost", WSAECONNABORTED, "certificate not valid for this host name"},
        {"certificate for another address", [&] { return TlsPeer(ca.issue(otherHost)); },
         "127.0.0.1", WSAECONNABORTED, "certificate not valid for this host name"},
        {"expired certificate", [&] { return TlsPeer(ca.issue(expired)); }, "localhost",
         WSAECONNABORTED, "certificate has expired"},
        {"self-signed certificate", [&] { return TlsPeer(SelfSignedCertificate(Loopback())); },
         "localhost", WSAECONNABORTED, "certificate not trusted (self-signed)"},
        {"certificate of an unknown CA", [&] { return TlsPeer(stranger.issue(Loopback())); },
         "localhost", WSAECONNABORTED, "certificate not trusted (unknown issuer)"},
        {"server speaking only TLS 1.0", [&] { return TlsPeer(tls10); }, "localhost",
         WSAECONNABORTED, "server offers no TLS version from 1.2 on"},
        {"plain HTTP server on the port",
         [] {
             Peer peer;
             peer.nginx = std::make_unique<test::NginxServer>();
             peer.port = peer.nginx->port();
             return peer;
         },
         "localhost", WSAECONNABORTED, "not a TLS server"},
        {"server that drops the connection unread",
         [] {
             Peer peer;
             peer.scripted = std::make_unique<test::ScriptedServer>(test::ScriptedServer::Script{
                 test::ScriptedServer::pause(200), test::ScriptedServer::close()});
             peer.port = peer.scripted->port();
             return peer;
         },
         "localhost", WSAECONNRESET, "connection reset during TLS handshake"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int fdsBefore = test::OpenFdCount();
        Peer peer = c.peer();
        Conversation run = Talk(peer.port, c.serverName);
        ASSERT_TRUE(run.ended);
        const std::string e = std::to_string(c.error);
        EXPECT_EQ(run.probe.events,
                  (std::vector<std::string>{"connected 0", "tls " + e, "closed " + e}));
        EXPECT_EQ(run.probe.failureAtDone, c.reason);
        EXPECT_EQ(run.probe.failureAtClose, c.reason);
        EXPECT_EQ(run.probe.data, "");
        if (peer.tls) {
            peer.tls->stop();
            EXPECT_FALSE(peer.tls->handshakeDone());
        }
        peer = Peer();
        EXPECT_EQ(test::OpenFdCount(), fdsBefore);
    }
}

TEST(TlsHostilePeer, StreamEndingsAfterTheHandshakeDeliverWhatCameAndSayHowItEnded) {
    const std::string reply = Reply();
    using Ending = TlsServer::Ending;
    struct Case {
        const char* name;
        Ending ending;
        std::size_t cut;
        int error;
        std::string reasonStart;
    } cases[] = {
        {"close-notify after the reply", Ending::CloseNotify, 0, 0, ""},
        {"close without close-notify after the reply", Ending::NoCloseNotify, 0, 0, ""},
        {"fatal alert in the middle of the body", Ending::AlertMidBody, 30000, WSAECONNABORTED,
         "TLS alert from server: handshake failure"},
        {"garbage record in the middle of the body", Ending::GarbageMidBody, 30000, WSAECONNABORTED,
         "TLS error: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TlsServer::Options o;
        o.identity = test::LoopbackCertificate();
        o.reply = reply;
        o.cut = c.cut;
        o.ending = c.ending;
        const int fdsBefore = test::OpenFdCount();
        Peer peer = TlsPeer(o);
        Conversation run = Talk(peer.port, "localhost");
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(run.probe.events,
                  (std::vector<std::string>{"connected 0", "tls 0", "sent 0",
                                            "closed " + std::to_string(c.error)}));
        EXPECT_TRUE(run.probe.data == (c.cut == 0 ? reply : reply.substr(0, c.cut)))
            << run.probe.data.size() << " bytes arrived";
        EXPECT_EQ(run.probe.failureAtClose.substr(0, c.reasonStart.size()), c.reasonStart);
        EXPECT_EQ(run.probe.failureAtClose.empty(), c.reasonStart.empty())
            << run.probe.failureAtClose;
        EXPECT_EQ(run.probe.readCountAtClose, static_cast<std::int64_t>(run.probe.data.size()));
        peer.tls->stop();
        EXPECT_EQ(peer.tls->request().rfind("GET / HTTP/1.0\r\n", 0), 0u);
        peer = Peer();
        EXPECT_EQ(test::OpenFdCount(), fdsBefore);
    }
}
