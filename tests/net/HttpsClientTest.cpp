// https:// addresses through the client against real peers on loopback: nginx over TLS directly
// and through a tinyproxy tunnel, and scripted servers for relocations between http:// and
// https://, which keep the rule that credentials go only where they were given.
#include "net/HttpProt.h"
#include "tests/net/HttpProbe.h"
#include "tests/support/NginxServer.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestTrust.h"
#include "tests/support/TinyProxy.h"
#include "tests/support/TlsServer.h"

#include <gtest/gtest.h>
#include <string>

namespace zendrel::test {
namespace {

constexpr Millis kWait = 8000;
const std::string kPage = "<html><body>secure.com is not available</body></html>\n";

class HttpsClient : public ::testing::Test {
protected:
    HttpsClient() : nginx_((TrustedTestCa(), LoopbackCertificate())) {
        nginx_.addPage("page.html", kPage);
    }

    bool Fetch(THttpCli& c, HttpProbe& p, const std::string& url) {
        c.URL = url;
        c.GetAsync();
        return loop_.runUntil([&] { return p.done > 0; }, kWait);
    }
    std::string PageUrl(const std::string& host) const {
        return "https://" + host + ":" + std::to_string(nginx_.port()) + "/page.html";
    }

    MessageLoop loop_;
    NginxServer nginx_;
};

TEST_F(HttpsClient, FetchesAPageOverTlsByNameAndByAddress) {
    for (const char* host : {"localhost", "127.0.0.1"}) {
        SCOPED_TRACE(host);
        THttpCli c(loop_);
        HttpProbe p(c);
        ASSERT_TRUE(Fetch(c, p, PageUrl(host)));
        EXPECT_EQ(p.doneError, 0);
        EXPECT_EQ(c.StatusCode(), 200);
        EXPECT_EQ(c.ContentLength(), static_cast<int>(kPage.size()));
        EXPECT_EQ(p.body, kPage);
        EXPECT_EQ(c.TransportFailure(), THttpTransportFailure::None);
    }
}

TEST_F(HttpsClient, GoesThroughAProxyTunnelWithTheProxyCredentials) {
    TinyProxy proxy("zendrel", "secret");
    for (const char* password : {"secret", "wrong"}) {
        SCOPED_TRACE(password);
        THttpCli c(loop_);
        HttpProbe p(c);
        c.Proxy = "127.0.0.1";
        c.ProxyPort = std::to_string(proxy.port());
        c.ProxyUsername = "zendrel";
        c.ProxyPassword = password;
        ASSERT_TRUE(Fetch(c, p, PageUrl("localhost")));
        if (std::string(password) == "secret") {
            EXPECT_EQ(c.StatusCode(), 200);
            EXPECT_EQ(p.body, kPage);
        } else {
            EXPECT_EQ(c.TransportFailure(), THttpTransportFailure::Tunnel);
            EXPECT_NE(c.ReasonPhrase().find("proxy refused the tunnel (401"), std::string::npos)
                << c.ReasonPhrase();
            EXPECT_TRUE(p.body.empty());
            EXPECT_NE(p.doneError, 0);
        }
    }
}

TEST_F(HttpsClient, RelocationsBetweenPlainAndTlsAreFollowedWithoutCarryingCredentials) {
    {
        TlsServer secure(
            {LoopbackCertificate(), "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\nsecure body"});
        ScriptedServer plain(ScriptedServer::reply("HTTP/1.0 302 Found\r\nLocation: https://"
                                                   "127.0.0.1:" +
                                                   std::to_string(secure.port()) + "/doc\r\n\r\n"));
        THttpCli c(loop_);
        HttpProbe p(c);
        c.Username = "user";
        c.Password = "pass";
        ASSERT_TRUE(Fetch(c, p, plain.url("/start")));
        EXPECT_EQ(p.body, "secure body");
        EXPECT_NE(plain.requests().at(0).find("\r\nAuthorization: Basic "), std::string::npos);
        const std::string request = secure.request();
        EXPECT_TRUE(request.starts_with("GET /doc HTTP/1.1\r\n")) << request;
        EXPECT_EQ(request.find("Authorization"), std::string::npos) << request;
    }
    {
        ScriptedServer plain(ScriptedServer::reply("HTTP/1.0 200 OK\r\n\r\nplain again"));
        TlsServer secure(
            {LoopbackCertificate(), "HTTP/1.1 301 Moved\r\nLocation: " + plain.url("/back") +
                                        "\r\nContent-Length: 0\r\n\r\n"});
        THttpCli c(loop_);
        HttpProbe p(c);
        c.Username = "user";
        c.Password = "pass";
        ASSERT_TRUE(Fetch(c, p, "https://127.0.0.1:" + std::to_string(secure.port()) + "/a"));
        EXPECT_EQ(p.body, "plain again");
        EXPECT_NE(secure.request().find("\r\nAuthorization: Basic "), std::string::npos);
        ASSERT_EQ(plain.requests().size(), 1u);
        EXPECT_TRUE(plain.requests()[0].starts_with("GET /back HTTP/1.0\r\n"));
        EXPECT_EQ(plain.requests()[0].find("Authorization"), std::string::npos);
    }
}

// A second connection to a server resumes the session of the first, which spares the
// certificate exchange; a session is never offered to another server name, even when both
// names reach the same server.
TEST_F(HttpsClient, LaterConnectionsToAServerResumeItsSession) {
    for (const char* protocol : {"TLSv1.2", "TLSv1.3"}) {
        SCOPED_TRACE(protocol);
        NginxServer nginx(LoopbackCertificate(),
                          std::string("    ssl_protocols ") + protocol +
                              ";\n    location = /reused { default_type text/plain; return 200 "
                              "\"[$ssl_session_reused]\"; }\n");
        THttpCli c(loop_);
        HttpProbe p(c);
        std::string seen;
        for (const char* host : {"localhost", "localhost", "localhost", "127.0.0.1"}) {
            p.done = 0;
            p.body.clear();
            ASSERT_TRUE(Fetch(c, p,
                              "https://" + std::string(host) + ":" + std::to_string(nginx.port()) +
                                  "/reused"));
            EXPECT_EQ(c.StatusCode(), 200);
            seen += p.body;
        }
        EXPECT_EQ(seen, "[.][r][r][.]");
    }
}

} // namespace
} // namespace zendrel::test
