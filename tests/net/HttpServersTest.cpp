// The client against real third-party servers on loopback: nginx for pages and redirects,
// tinyproxy (with Basic proxy authorization) as the proxy.
#include "net/HttpProt.h"
#include "tests/net/HttpProbe.h"
#include "tests/support/NginxServer.h"
#include "tests/support/TinyProxy.h"

#include <gtest/gtest.h>
#include <string>

using namespace zendrel;
using zendrel::test::HttpProbe;
using zendrel::test::NginxServer;
using zendrel::test::TinyProxy;

namespace {

constexpr Millis kWait = 8000;
const std::string kPage = "<html><body>example.com is not available</body></html>\n";

class HttpServers : public ::testing::Test {
protected:
    void SetUp() override { nginx_.addPage("page.html", kPage); }

    // Fetches `url`, through `proxy` when given; false when the request did not end in time.
    bool Fetch(THttpCli& c, HttpProbe& p, const std::string& url, const TinyProxy* proxy = nullptr,
               const std::string& proxyUser = "") {
        c.URL = url;
        if (proxy) {
            c.Proxy = "127.0.0.1";
            c.ProxyPort = std::to_string(proxy->port());
            c.ProxyUsername = proxyUser;
            c.ProxyPassword = "secret";
        }
        c.GetAsync();
        return loop_.runUntil([&] { return p.done > 0; }, kWait);
    }

    MessageLoop loop_;
    NginxServer nginx_;
};

} // namespace

TEST_F(HttpServers, StaticPageAndMissingPage) {
    THttpCli c(loop_);
    HttpProbe p(c);
    ASSERT_TRUE(Fetch(c, p, nginx_.url("/page.html")));
    EXPECT_EQ(p.doneError, 0);
    EXPECT_EQ(c.StatusCode(), 200);
    EXPECT_EQ(c.ContentType(), "text/html");
    EXPECT_EQ(c.ContentLength(), static_cast<int>(kPage.size()));
    EXPECT_EQ(p.body, kPage);

    p.done = 0;
    p.body.clear();
    ASSERT_TRUE(Fetch(c, p, nginx_.url("/missing.html")));
    EXPECT_EQ(p.doneError, 0);
    EXPECT_EQ(c.StatusCode(), 404);
}

TEST_F(HttpServers, RedirectIsFollowedAndBothHeadersAreKept) {
    THttpCli c(loop_);
    HttpProbe p(c);
    ASSERT_TRUE(Fetch(c, p, nginx_.url("/redirect")));
    EXPECT_EQ(c.StatusCode(), 200);
    EXPECT_EQ(p.body, kPage);
    ASSERT_FALSE(c.RcvdHeader().empty());
    EXPECT_EQ(c.RcvdHeader().front().rfind("HTTP/1.1 302", 0), 0u);
    int statusLines = 0;
    for (const std::string& line : c.RcvdHeader())
        statusLines += line.rfind("HTTP/1.", 0) == 0;
    EXPECT_EQ(statusLines, 2);
}

TEST_F(HttpServers, ProxyWithBasicAuthorization) {
    TinyProxy proxy("zendrel", "secret");
    {
        THttpCli c(loop_);
        HttpProbe p(c);
        ASSERT_TRUE(Fetch(c, p, nginx_.url("/page.html"), &proxy, "zendrel"));
        EXPECT_EQ(c.StatusCode(), 200);
        EXPECT_EQ(p.body, kPage);
    }
    {
        THttpCli c(loop_);
        HttpProbe p(c);
        ASSERT_TRUE(Fetch(c, p, nginx_.url("/redirect"), &proxy, "zendrel"));
        EXPECT_EQ(c.StatusCode(), 200);
        EXPECT_EQ(p.body, kPage);
    }
    {
        THttpCli c(loop_);
        HttpProbe p(c);
        ASSERT_TRUE(Fetch(c, p, nginx_.url("/page.html"), &proxy, ""));
        EXPECT_EQ(c.StatusCode(), 407);
    }
}
