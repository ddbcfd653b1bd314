#include "tests/support/TempDir.h"
#include "tests/tools/GatewayTestSupport.h"
#include "tests/tools/TlsTestClient.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zendrel::test {
namespace {

// The exit status of `zendrel-gateway --make-certificates DIR`.
int MakeCertificates(const std::string& dir) {
    int status = std::system((GatewayProgram() + " --make-certificates '" + dir + "'").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A gateway with a TLS listener on demo certificates made for it.
struct TlsGateway {
    TempDir certs;
    GatewayProcess gateway;
    explicit TlsGateway(std::vector<std::string> args = {})
        : gateway(StartWithTls(certs, std::move(args))) {}

    static GatewayProcess StartWithTls(const TempDir& certs, std::vector<std::string> args) {
        if (MakeCertificates(certs.path()) != 0)
            throw std::runtime_error("no demo certificates");
        args.insert(args.end(), {"--tls-port", "free", "--tls-cert", certs.file("cert.pem"),
                                 "--tls-key", certs.file("key.pem")});
        return StartGateway(std::move(args));
    }
    std::string ca() const { return certs.file("ca.pem"); }
    TlsFetch fetch(const std::string& request, const std::string& host = "127.0.0.1",
                   std::size_t maxBytes = 16 * 1024 * 1024) const {
        return FetchOverTls(gateway.tlsPort(), ca(), host, request, 10000, maxBytes);
    }
};

std::string Request11(const std::string& name) {
    return "GET /whois?name=" + name + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
}

// Undoes chunked framing; empty with `ok` false on a fault.
std::string Unchunk(std::string framed, bool& ok) {
    std::string body;
    ok = false;
    for (;;) {
        std::size_t eol = framed.find("\r\n");
        if (eol == std::string::npos)
            return {};
        std::size_t size = std::stoul(framed.substr(0, eol), nullptr, 16);
        framed.erase(0, eol + 2);
        if (size == 0) {
            ok = framed == "\r\n";
            return body;
        }
        body += framed.substr(0, size);
        framed.erase(0, size + 2);
    }
}

TEST(GatewayTls, ServesThePagesWithALengthAndCloseNotify) {
    TlsGateway tls;
    ASSERT_NE(tls.gateway.tlsPort(), 0);
    for (const char* name : {"shop.com", "zzfree.com", "green.org"}) {
        for (const char* host : {"127.0.0.1", "localhost"}) {
            SCOPED_TRACE(std::string(name) + " at " + host);
            TlsFetch f = tls.fetch(Request11(name), host);
            ASSERT_TRUE(f.connected) << f.error;
            EXPECT_TRUE(f.closeNotify) << f.error;
            SplitReply reply = SplitHttpReply(f.bytes);
            ASSERT_TRUE(reply.complete);
            EXPECT_TRUE(reply.head.starts_with("HTTP/1.1 200 OK\r\n"));
            EXPECT_NE(reply.head.find("\r\nContent-Length: " + std::to_string(reply.body.size()) +
                                      "\r\n"),
                      std::string::npos);
            EXPECT_NE(reply.head.find("\r\nConnection: close\r\n"), std::string::npos);
            std::string plain =
                SplitHttpReply(FetchLoopback(tls.gateway.port(), WhoisRequest(name)).bytes).body;
            EXPECT_EQ(reply.body, plain);
        }
    }
}

TEST(GatewayTls, FramesRepliesInChunksWhenAsked) {
    TlsGateway tls({"--chunked"});
    TlsFetch f = tls.fetch(Request11("shop.com"));
    ASSERT_TRUE(f.connected) << f.error;
    SplitReply reply = SplitHttpReply(f.bytes);
    ASSERT_TRUE(reply.complete);
    EXPECT_NE(reply.head.find("\r\nTransfer-Encoding: chunked\r\n"), std::string::npos);
    EXPECT_EQ(reply.head.find("Content-Length"), std::string::npos);
    bool ok = false;
    std::string body = Unchunk(reply.body, ok);
    EXPECT_TRUE(ok) << reply.body;
    EXPECT_EQ(
        body,
        SplitHttpReply(FetchLoopback(tls.gateway.port(), WhoisRequest("shop.com")).bytes).body);
    EXPECT_TRUE(f.closeNotify);
    // The plain listener keeps its HTTP/1.0 replies with a length.
    EXPECT_NE(
        FetchLoopback(tls.gateway.port(), WhoisRequest("shop.com")).bytes.find("Content-Length"),
        std::string::npos);
}

TEST(GatewayTls, AnswersRequestsAsHttp11Demands) {
    const std::pair<std::string, std::string> cases[] = {
        {"GET /whois?name=a.com HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 400 "},
        {"GET /whois?name=a.com HTTP/1.1\r\nhost: x\r\n\r\n", "HTTP/1.1 200 "},
        {"GET /whois?name=a.com HTTP/1.0\r\n\r\n", "HTTP/1.1 200 "},
        {"POST /whois?name=a.com HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.1 405 "},
        {"GET /other HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.1 404 "},
    };
    TlsGateway tls;
    for (const auto& [request, status] : cases) {
        SCOPED_TRACE(request);
        TlsFetch f = tls.fetch(request);
        EXPECT_TRUE(f.bytes.starts_with(status)) << f.bytes << f.error;
    }
}

TEST(GatewayTls, AStalledHandshakeDoesNotHoldUpOthers) {
    TlsGateway tls({"--read-timeout-ms", "1500"});
    int stalled = ConnectLoopback(tls.gateway.tlsPort());
    ASSERT_GE(stalled, 0);
    ASSERT_TRUE(SendAll(stalled, std::string("\x16\x03\x01\x02\x00", 5))); // a ClientHello's start
    int silent = ConnectLoopback(tls.gateway.tlsPort()); // and one that says nothing at all
    ASSERT_GE(silent, 0);
    auto start = std::chrono::steady_clock::now();
    TlsFetch f = tls.fetch(Request11("shop.com"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    ASSERT_TRUE(f.connected) << f.error;
    EXPECT_NE(f.bytes.find("Domain Name: SHOP.COM"), std::string::npos);
    // Both are let go once their time is up.
    for (int fd : {stalled, silent}) {
        Received r = ReadUntilClosed(fd, 10000);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.bytes, "");
    }
}

TEST(GatewayTls, EndsPlainTextOnTheTlsPortAtOnce) {
    TlsGateway tls;
    Received r = FetchLoopback(tls.gateway.tlsPort(), WhoisRequest("shop.com"), 5000);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.bytes.find("Domain Name"), std::string::npos);
    EXPECT_NE(tls.fetch(Request11("shop.com")).bytes.find("Domain Name"), std::string::npos);
}

TEST(GatewayTls, PlaysTheHostileModesInsideTls) {
    const std::string whole = TlsGateway().fetch(Request11("shop.com")).bytes;
    ASSERT_NE(whole.find("Domain Name"), std::string::npos);
    {
        TlsFetch f = TlsGateway({"--mode", "reset"}).fetch(Request11("shop.com"));
        EXPECT_TRUE(f.connected);
        EXPECT_FALSE(f.closeNotify);
        EXPECT_LT(f.bytes.size(), whole.size());
        EXPECT_TRUE(whole.starts_with(f.bytes));
        EXPECT_NE(f.bytes.find("\r\n\r\n"), std::string::npos);
    }
    {
        TlsFetch f = TlsGateway({"--mode", "close"}).fetch(Request11("shop.com"));
        EXPECT_TRUE(f.connected);
        EXPECT_TRUE(f.closeNotify);
        EXPECT_EQ(f.bytes, "");
    }
    {
        const std::size_t wanted = 1024 * 1024;
        TlsFetch f = TlsGateway({"--mode", "endless", "--chunked"})
                         .fetch(Request11("shop.com"), "127.0.0.1", wanted);
        EXPECT_GE(f.bytes.size(), wanted);
        EXPECT_EQ(f.bytes.find("\r\n0\r\n\r\n"), std::string::npos); // never a last chunk
    }
}

TEST(GatewayTls, MakesFreshCertificatesWithAPrivateKey) {
    TempDir first, second;
    ASSERT_EQ(MakeCertificates(first.path()), 0);
    ASSERT_EQ(MakeCertificates(second.path() + "made/"), 0); // a missing folder is made
    for (const char* name : {"ca.pem", "cert.pem", "key.pem"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(first.read(name).starts_with("-----BEGIN "));
        EXPECT_NE(first.read(name), second.read(std::string("made/") + name));
    }
    struct stat st {};
    ASSERT_EQ(::stat(first.file("key.pem").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NE(MakeCertificates("/nonexistent-zendrel/deeper/"), 0);
    // Trusting another run's CA fails the check.
    TlsGateway tls;
    TlsFetch f =
        FetchOverTls(tls.gateway.tlsPort(), first.file("ca.pem"), "127.0.0.1", Request11("a.com"));
    EXPECT_FALSE(f.connected);
    EXPECT_EQ(f.bytes, "");
}

TEST(GatewayTls, RefusesUnusableTlsOptions) {
    TempDir a, b;
    ASSERT_EQ(MakeCertificates(a.path()), 0);
    ASSERT_EQ(MakeCertificates(b.path()), 0);
    const std::vector<std::string> bad[] = {
        {"--tls-port", "free"},
        {"--tls-port", "free", "--tls-cert", a.file("cert.pem")},
        {"--tls-cert", a.file("cert.pem"), "--tls-key", a.file("key.pem")},
        {"--tls-port", "free", "--tls-cert", a.file("none.pem"), "--tls-key", a.file("key.pem")},
        {"--tls-port", "free", "--tls-cert", a.file("cert.pem"), "--tls-key", b.file("key.pem")},
        {"--tls-port", "free", "--tls-cert", a.file("key.pem"), "--tls-key", a.file("key.pem")},
        {"--make-certificates", a.path(), "--port", "0"},
    };
    for (const auto& args : bad)
        EXPECT_THROW(GatewayProcess(GatewayProgram(), args), std::runtime_error) << args.size();
}

} // namespace
} // namespace zendrel::test
