#include "net/HttpProt.h"

#include "net/HttpText.h"
#include "tests/net/HttpProbe.h"
#include "tests/support/FdCount.h"
#include "tests/support/NxdomainServer.h"
#include "tests/support/ScriptedServer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>

using namespace zendrel;
using zendrel::test::HttpProbe;
using zendrel::test::ScriptedServer;

namespace {

constexpr Millis kWait = 5000;

bool RunUntilDone(MessageLoop& loop, const HttpProbe& p, Millis ms = kWait) {
    return loop.runUntil([&] { return p.done > 0; }, ms);
}

std::string Ok10() {
    return "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n0123456789";
}

} // namespace

TEST(HttpRequest, PlainGetSendsExactlyTheRequestLineAgentAndHost) {
    MessageLoop loop;
    ScriptedServer server(ScriptedServer::reply(Ok10()));
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = server.url("/whois?q=a.com");
    c.Agent = "Zendrel/2.10";
    c.GetAsync();
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_EQ(server.requests().at(0),
              "GET /whois?q=a.com HTTP/1.0\r\nUser-Agent: Zendrel/2.10\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(c.DocName(), "whois");
}

TEST(HttpRequest, EveryHeaderLineInItsPlaceWithCredentialsFromTheUrl) {
    MessageLoop loop;
    ScriptedServer server(ScriptedServer::reply(Ok10()));
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = "http://u:p@127.0.0.1:" + std::to_string(server.port()) + "/a/b.cgi?x=1";
    c.Sender = "me@example.org";
    c.Reference = "http://ref/";
    c.Agent = "A";
    c.NoCache = true;
    c.ModifiedSince = 2.0;
    c.Cookie = "k=v";
    c.GetAsync();
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_EQ(server.requests().at(0),
              "GET /a/b.cgi?x=1 HTTP/1.0\r\nFrom: me@example.org\r\nReferer: http://ref/\r\n"
              "User-Agent: A\r\nHost: 127.0.0.1\r\nPragma: no-cache\r\n"
              "If-Modified-Since: Mon, 01 Jan 1900 00:00:00 GMT\r\n"
              "Authorization: Basic dTpw\r\nCookie: k=v\r\n\r\n");
    EXPECT_EQ(c.Username, "u");
    EXPECT_EQ(c.Password, "p");
    EXPECT_EQ(c.DocName(), "b.cgi");
}

TEST(HttpRequest, PostSendsItsBodyAndHeadOnlyTheHeader) {
    MessageLoop loop;
    ScriptedServer server(ScriptedServer::reply(Ok10()), 2);
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = server.url("/form");
    EXPECT_THROW(c.PostAsync(), EHttpException);
    std::istringstream body("a=1&b=2");
    c.SendStream = &body;
    c.PostAsync();
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_EQ(server.requests().at(0),
              "POST /form HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n"
              "Host: 127.0.0.1\r\nContent-Length: 7\r\n\r\na=1&b=2");
    EXPECT_EQ(c.SentCount(), 7);
    p.done = 0;
    c.HeadAsync();
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_EQ(server.requests().at(1), "HEAD /form HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
}

TEST(HttpRequest, DocNameFollowsThePathAndTheContentType) {
    MessageLoop loop;
    const std::string html = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nx";
    const std::string plain = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nx";
    struct Case {
        const char* path;
        std::string reply;
        const char* docName;
    } cases[] = {
        {"", html, "document.htm"},
        {"/dir/", html, "dir"},
        {"/get/setup.exe", html, "setup.htm"},
        {"/get/setup.exe", plain, "setup.exe"},
    };
    for (const Case& k : cases) {
        ScriptedServer server(ScriptedServer::reply(k.reply));
        THttpCli c(loop);
        HttpProbe p(c);
        c.URL = "http://127.0.0.1:" + std::to_string(server.port()) + k.path;
        c.GetAsync();
        ASSERT_TRUE(RunUntilDone(loop, p));
        EXPECT_EQ(c.DocName(), k.docName) << k.path;
        if (*k.path == '\0') {
            EXPECT_EQ(server.requests().at(0).rfind("GET / HTTP/1.0\r\n", 0), 0u);
        }
    }
}

TEST(HttpRequest, ProxyGetsTheAbsoluteTargetAndProxyAuthorization) {
    MessageLoop loop;
    ScriptedServer proxy(ScriptedServer::reply(Ok10()));
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = "http://gateway.example:8080/dir/";
    c.Proxy = "127.0.0.1";
    c.ProxyPort = std::to_string(proxy.port());
    c.ProxyUsername = "user";
    c.ProxyPassword = "pass";
    c.Username = "site";
    c.NoCache = true;
    c.GetAsync();
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_EQ(proxy.requests().at(0), "GET http://gateway.example:8080/dir/ HTTP/1.0\r\n"
                                      "Host: gateway.example\r\nPragma: no-cache\r\n"
                                      "Authorization: Basic c2l0ZTo=\r\n"
                                      "Proxy-Authorization: Basic dXNlcjpwYXNz\r\n\r\n");
    EXPECT_EQ(c.DocName(), "dir");
}

TEST(HttpRequest, LineBreaksInFieldsAreRefusedBeforeAnyByteIsSent) {
    MessageLoop loop;
    ScriptedServer server(ScriptedServer::reply(Ok10()));
    const char* bad[] = {"x\r\nX-Evil: 1", "x\nGET / HTTP/1.0", "x\0y"};
    for (const char* value : bad) {
        THttpCli c(loop);
        HttpProbe p(c);
        c.URL = server.url("/");
        c.Agent = std::string(value, value == bad[2] ? 3 : std::char_traits<char>::length(value));
        p.inCall = true;
        c.GetAsync();
        p.inCall = false;
        ASSERT_TRUE(RunUntilDone(loop, p));
        EXPECT_FALSE(p.doneInsideCall);
        EXPECT_EQ(p.doneError, 10022);
        EXPECT_EQ(c.StatusCode(), 404);
        EXPECT_EQ(c.State(), Ready);
    }
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = server.url("/a\r\nHost: evil");
    c.GetAsync();
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_EQ(p.doneError, 10022);
    EXPECT_EQ(server.connections(), 0);
}

TEST(HttpResponse, StatusHeaderBodyAndCloseGiveTheFullEventSequence) {
    MessageLoop loop;
    ScriptedServer server(ScriptedServer::reply(Ok10()));
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = server.url("/");
    p.inCall = true;
    c.GetAsync();
    p.inCall = false;
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_FALSE(p.doneInsideCall);
    EXPECT_EQ(c.StatusCode(), 200);
    EXPECT_EQ(c.ReasonPhrase(), "OK");
    EXPECT_EQ(c.ContentLength(), 10);
    EXPECT_EQ(c.RcvdHeader().size(), 2u);
    EXPECT_EQ(c.RcvdCount(), 10);
    EXPECT_EQ(p.body, "0123456789");
    std::vector<std::string> tail(p.events.end() - 3, p.events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"doc-end", "state Ready", "done 0 in Ready"}));
    EXPECT_EQ(std::count(p.events.begin(), p.events.end(), "header-end"), 1);
    EXPECT_EQ(p.events.front(), "state NotConnected");
}

TEST(HttpResponse, HeaderQuirksTheGatewaysRelyOn) {
    MessageLoop loop;
    struct Case {
        std::string reply;
        int contentLength;
        std::string contentType;
        std::string body;
    } cases[] = {
        // The value is read from the second character after the colon.
        {"HTTP/1.0 200 OK\r\nContent-Length:10\r\n\r\n0123456789", 0, "", "0123456789"},
        {"<hTmL><body>free\r\nline2\r\n", -1, "text/html", "<hTmL><body>freeline2"},
        {"HTTP/1.1 200 OK\nContent-Type: Text/Plain\n\nabc", -1, "text/plain", "abc"},
    };
    for (const Case& k : cases) {
        ScriptedServer server(ScriptedServer::reply(k.reply));
        THttpCli c(loop);
        HttpProbe p(c);
        c.URL = server.url("/");
        c.GetAsync();
        ASSERT_TRUE(RunUntilDone(loop, p)) << k.reply;
        EXPECT_EQ(c.ContentLength(), k.contentLength) << k.reply;
        EXPECT_EQ(c.ContentType(), k.contentType) << k.reply;
        EXPECT_EQ(p.body, k.body) << k.reply;
    }
}

TEST(HttpResponse, ErrorStatusClosesAtOnceYetHeldLinesAndBodyArrive) {
    MessageLoop loop;
    ScriptedServer server(ScriptedServer::Script{
        ScriptedServer::readRequest(),
        ScriptedServer::send("HTTP/1.0 404 Not Found\r\nX-A: 1\r\n\r\nmissing"),
        ScriptedServer::hold()});
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = server.url("/");
    c.GetAsync();
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_EQ(p.doneError, 0);
    EXPECT_EQ(c.StatusCode(), 404);
    EXPECT_EQ(c.RcvdHeader().size(), 2u);
    EXPECT_EQ(p.body, "missing");
    auto data = std::find(p.events.begin(), p.events.end(), "data 7");
    auto ready = std::find(p.events.begin(), p.events.end(), "state Ready");
    EXPECT_LT(data, ready);
}

TEST(HttpRelocation, SamePathRelocationKeepsBothResponsesAndCredentials) {
    MessageLoop loop;
    ScriptedServer server(
        [](int n) {
            return n == 0 ? ScriptedServer::reply("HTTP/1.0 302 Found\r\nLocation: /next\r\n\r\n")
                          : ScriptedServer::reply(Ok10());
        },
        2);
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = server.url("/first");
    c.Username = "u";
    c.GetAsync();
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_EQ(p.doneError, 0);
    EXPECT_EQ(c.StatusCode(), 200);
    EXPECT_EQ(c.RcvdHeader().size(), 4u);
    EXPECT_EQ(c.Location(), "/next");
    EXPECT_NE(std::find(p.events.begin(), p.events.end(), "location /next"), p.events.end());
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(server.requests()[1].rfind("GET /next HTTP/1.0\r\n", 0), 0u);
    EXPECT_NE(server.requests()[1].find("Authorization: Basic"), std::string::npos);
    EXPECT_EQ(p.body, "0123456789");
}

TEST(HttpRelocation, CredentialsDoNotFollowToAnotherServer) {
    MessageLoop loop;
    ScriptedServer other(ScriptedServer::reply(Ok10()));
    ScriptedServer first(ScriptedServer::reply(
        "HTTP/1.0 301 Moved\r\nLocation: " + other.url("/there") + "\r\n\r\n"));
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = first.url("/");
    c.Username = "secret";
    c.Password = "pw";
    c.GetAsync();
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_NE(first.requests().at(0).find("Authorization: Basic"), std::string::npos);
    ASSERT_EQ(other.requests().size(), 1u);
    EXPECT_EQ(other.requests()[0].find("Authorization"), std::string::npos);
    EXPECT_EQ(other.requests()[0].rfind("GET /there HTTP/1.0\r\n", 0), 0u);
    EXPECT_EQ(p.body, "0123456789");
}

TEST(HttpAbort, AbortDuringLookupEndsFromTheLoop) {
    MessageLoop loop;
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = "http://localhost/";
    c.GetAsync();
    ASSERT_EQ(c.State(), DnsLookup);
    p.inCall = true;
    c.Abort();
    p.inCall = false;
    ASSERT_TRUE(RunUntilDone(loop, p));
    loop.runUntil([] { return false; }, 100);
    EXPECT_FALSE(p.doneInsideCall);
    EXPECT_EQ(p.events,
              (std::vector<std::string>{"state NotConnected", "state DnsLookup", "state Aborting",
                                        "state Ready", "doc-end", "done 0 in Ready"}));
}

TEST(HttpAbort, SilentServerWaitsForAbortAndBusyClientRefusesAStart) {
    MessageLoop loop;
    ScriptedServer server(
        ScriptedServer::Script{ScriptedServer::readRequest(), ScriptedServer::hold()});
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = server.url("/");
    c.GetAsync();
    loop.runUntil([] { return false; }, 300);
    EXPECT_EQ(c.State(), WaitingHeader);
    EXPECT_EQ(p.done, 0);
    try {
        c.GetAsync();
        FAIL() << "a busy client must refuse";
    } catch (const EHttpException& e) {
        EXPECT_STREQ(e.what(), "HTTP component is busy");
        EXPECT_EQ(e.ErrorCode, 1);
    }
    c.Abort();
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_EQ(p.done, 1);
    EXPECT_EQ(c.State(), Ready);
}

TEST(HttpFailure, RefusedConnectionEndsWith404AndTheErrorText) {
    MessageLoop loop;
    int port = 0;
    {
        ScriptedServer gone(ScriptedServer::Script{});
        port = gone.port();
    }
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = "http://127.0.0.1:" + std::to_string(port) + "/";
    c.GetAsync();
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_EQ(p.doneError, 10061);
    EXPECT_EQ(c.StatusCode(), 404);
    EXPECT_EQ(c.ReasonPhrase(), "Connection refused (Error #10061)");
    EXPECT_EQ(c.State(), Ready);
}

TEST(HttpFailure, UnknownHostEndsWith404AndTheLookupError) {
    MessageLoop loop;
    test::NxdomainServer dns;
    std::shared_ptr<AresResolver> resolver = AresResolver::ForLoop(loop);
    ASSERT_TRUE(resolver->SetServers(dns.address()));
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = "http://no-such-gateway.zendrel-test/whois";
    c.GetAsync();
    ASSERT_TRUE(RunUntilDone(loop, p));
    EXPECT_EQ(p.doneError, 11001);
    EXPECT_EQ(c.StatusCode(), 404);
    EXPECT_EQ(c.ReasonPhrase(), "can't resolve hostname to IP address");
}

TEST(HttpLifetime, ClientDestroyedFromAPostedMessageLeavesNothingBehind) {
    MessageLoop loop;
    const int fdsBefore = test::OpenFdCount();
    {
        ScriptedServer server(ScriptedServer::reply(Ok10()), 2);
        for (bool abortFirst : {false, true}) {
            auto c = std::make_unique<THttpCli>(loop);
            bool destroyed = false;
            struct Releaser : MessageTarget {
                using MessageTarget::MessageTarget;
                std::function<void()> fn;
                void handleMessage(const Message&) override { fn(); }
            } releaser(loop);
            releaser.fn = [&] {
                c.reset();
                destroyed = true;
            };
            c->OnRequestDone = [&](THttpCli*, THttpRequest, std::uint16_t) { releaser.post(1); };
            c->URL = server.url("/");
            c->GetAsync();
            if (abortFirst)
                c->Abort();
            ASSERT_TRUE(loop.runUntil([&] { return destroyed; }, kWait));
            loop.runUntil([] { return false; }, 50);
        }
        server.stop();
    }
    loop.runUntilIdle();
    EXPECT_EQ(loop.pendingCount(), 0u);
    EXPECT_EQ(test::OpenFdCount(), fdsBefore);
}

TEST(HttpRelocation, TargetsFormedFromTheLocationValue) {
    MessageLoop loop;
    ScriptedServer final(ScriptedServer::reply(Ok10()));
    struct Case {
        std::string location;
        std::string secondRequestLine;
    } cases[] = {
        // An absolute address without a path asks for the server's root.
        {final.url(""), "GET / HTTP/1.0\r\n"},
        // A bare name is a document beside the current one, on the same server.
        {"next.html", "GET http://127.0.0.1/next.html HTTP/1.0\r\n"},
    };
    for (const Case& k : cases) {
        ScriptedServer first(
            [&](int n) {
                return n == 0 ? ScriptedServer::reply(
                                    "HTTP/1.0 302 Found\r\nLocation: " + k.location + "\r\n\r\n")
                              : ScriptedServer::reply(Ok10());
            },
            2);
        THttpCli c(loop);
        HttpProbe p(c);
        c.URL = first.url("/start");
        c.GetAsync();
        ASSERT_TRUE(RunUntilDone(loop, p)) << k.location;
        std::vector<std::string> firstGot = first.requests();
        std::string second = firstGot.size() == 2 ? firstGot[1] : final.requests().at(0);
        EXPECT_EQ(second.rfind(k.secondRequestLine, 0), 0u) << k.location << ": " << second;
        EXPECT_EQ(p.body, "0123456789") << k.location;
    }
}

TEST(HttpRelocation, ThroughAProxyTheDocumentPortIsKept) {
    MessageLoop loop;
    ScriptedServer proxy(
        [](int n) {
            return n == 0 ? ScriptedServer::reply("HTTP/1.0 302 Found\r\nLocation: /b\r\n\r\n")
                          : ScriptedServer::reply(Ok10());
        },
        2);
    THttpCli c(loop);
    HttpProbe p(c);
    c.URL = "http://gw.example:8080/a";
    c.Proxy = "127.0.0.1:" + std::to_string(proxy.port());
    c.GetAsync();
    ASSERT_TRUE(RunUntilDone(loop, p));
    ASSERT_EQ(proxy.requests().size(), 2u);
    EXPECT_EQ(proxy.requests()[1].rfind("GET http://gw.example:8080/b HTTP/1.0\r\n", 0), 0u);
    EXPECT_EQ(c.Location(), "http://gw.example:8080/b");
}

TEST(HttpLifetime, NextRequestMayStartFromRequestDone) {
    MessageLoop loop;
    int refusedPort = 0;
    {
        ScriptedServer gone(ScriptedServer::Script{});
        refusedPort = gone.port();
    }
    ScriptedServer server(ScriptedServer::reply(Ok10()), 2);
    const std::vector<std::string> urls{
        "http://127.0.0.1:" + std::to_string(refusedPort) + "/", server.url("/1"),
        "http://127.0.0.1:" + std::to_string(refusedPort) + "/", server.url("/2")};
    THttpCli c(loop);
    std::vector<std::string> outcomes;
    c.OnRequestDone = [&](THttpCli* s, THttpRequest, std::uint16_t e) {
        outcomes.push_back(std::to_string(s->StatusCode()) + "/" + std::to_string(e));
        if (outcomes.size() < urls.size()) {
            s->URL = urls[outcomes.size()];
            s->GetAsync();
        }
    };
    c.URL = urls[0];
    c.GetAsync();
    ASSERT_TRUE(loop.runUntil([&] { return outcomes.size() == urls.size(); }, kWait));
    loop.runUntil([] { return false; }, 50);
    EXPECT_EQ(outcomes, (std::vector<std::string>{"404/10061", "200/0", "404/10061", "200/0"}));
    EXPECT_EQ(c.State(), Ready);
}
