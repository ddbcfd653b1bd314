#include "tests/app/SearchProcess.h"
#include "tests/support/GatewayProcess.h"
#include "tests/support/TempDir.h"
#include "tests/support/TinyProxy.h"
#include "tests/support/WorldProcess.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <string>
#include <vector>

namespace zendrel::test {
namespace {

const char* kGateway = ZENDREL_BINARY_DIR "/tools/zendrel-gateway";

const char* kMethods = "0;Registrar;Created;Server 1;Server 2\r\n"
                       "1;Registrar:;Created:;{2~Name Server:;Name Server:;};"
                       "Registrar:|No match for|Status: on hold\r\n";

SearchOutcome RunSearch(const std::vector<std::string>& args, const TempDir& dir,
                        int interruptMs = -1, Output to = Output::File) {
    SearchCall call;
    call.args = args;
    call.interruptAfterMs = interruptMs;
    call.output = to;
    return RunSearchProgram(call, dir);
}

// A workspace on a local gateway: zones com and net (both checked unless `dom` says otherwise).
void Workspace(const TempDir& ws, std::uint16_t port, const std::string& keywords,
               const std::string& extra = "", const std::string& dom = "++") {
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/whois?name=%s";
    ws.write("domain.txt", "test;" + url + ";1;com\r\ntest;" + url + ";1;net\r\n");
    ws.write("method.txt", kMethods);
    ws.write("default.txt", keywords);
    ws.write("param.txt", "[Param]\r\nDom=" + dom + "\r\nLinks=5\r\nTimeOut=2\r\nResume=0\r\n" +
                              "FileAddDomain=\r\n" + extra);
}

TEST(SearchProgram, PrintsEveryRowAsSaveResultsWouldAndLeavesTheWorkspaceAlone) {
    GatewayProcess gateway(kGateway, {"--idle-exit-ms", "20000"});
    TempDir ws;
    Workspace(ws, gateway.port(), "shop\r\nzzfree\r\nunused;-\r\n");
    const std::string paramBefore = ws.read("param.txt");
    SearchOutcome o = RunSearch({ws.path()}, ws);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "shop.com;is not available;~;harbour names ltd;2014-07-21;"
                     "ns1.harbour-names.test;ns2.harbour-names.test;\r\n"
                     "shop.net;is not available;~;lantern domains inc;2016-06-08;"
                     "ns1.lantern-dns.test;ns2.lantern-dns.test;\r\n"
                     "zzfree.com;is available;~;;;;;\r\n"
                     "zzfree.net;is available;~;;;;;\r\n");
    EXPECT_NE(o.err.find("Search is completed"), std::string::npos);
    EXPECT_EQ(ws.read("param.txt"), paramBefore);
}

TEST(SearchProgram, GoesThroughTheStoredProxyWithItsCredentials) {
    GatewayProcess gateway(kGateway, {"--idle-exit-ms", "20000"});
    TinyProxy proxy("scout", "s3cret");
    TempDir ws;
    const std::string settings = "Proxy=127.0.0.1\r\nProxy Port=" + std::to_string(proxy.port()) +
                                 "\r\nProxy Username=scout\r\nProxy Password=s3cret\r\n";
    Workspace(ws, gateway.port(), "shop\r\nzzfree\r\n", settings);
    SearchOutcome o = RunSearch({ws.path()}, ws);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("shop.com;is not available;~;harbour names ltd;"), std::string::npos);
    EXPECT_NE(o.out.find("zzfree.net;is available;~;"), std::string::npos);

    // Wrong credentials: the proxy refuses every request, and its refusal page is no verdict.
    TempDir refused;
    Workspace(refused, gateway.port(), "shop\r\n",
              "Proxy=127.0.0.1\r\nProxy Port=" + std::to_string(proxy.port()) +
                  "\r\nProxy Username=scout\r\nProxy Password=wrong\r\n");
    SearchOutcome r = RunSearch({refused.path()}, refused);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("is not available"), std::string::npos) << r.out;
}

TEST(SearchProgram, StoredFilterChoosesTheLines) {
    GatewayProcess gateway(kGateway, {"--idle-exit-ms", "20000"});
    TempDir ws;
    Workspace(ws, gateway.port(), "shop\r\nzzfree\r\n", "SaveAll=0\r\nAvailable=1\r\nDNOnly=1\r\n");
    SearchOutcome o = RunSearch({ws.path()}, ws);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "zzfree.com\r\nzzfree.net\r\n");
}

TEST(SearchProgram, SaysEachAutomaticResumeOnceAndTheSummaryAfterTheLastPass) {
    GatewayProcess gateway(kGateway, {"--idle-exit-ms", "20000"});
    TempDir ws;
    Workspace(ws, gateway.port(), "shop\r\nzzfree\r\n", "", "+-");
    ws.write("param.txt", "[Param]\r\nDom=+-\r\nLinks=5\r\nTimeOut=2\r\nAutoResume=1\r\n"
                          "Resume=2\r\nFileAddDomain=\r\n");
    SearchOutcome o = RunSearch({ws.path()}, ws);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "shop.com;is not available;~;harbour names ltd;2014-07-21;"
                     "ns1.harbour-names.test;ns2.harbour-names.test;\r\n"
                     "zzfree.com;is available;~;;;;;\r\n");
    // Every line but the progress lines, in order: the idle caption between runs is no news.
    std::vector<std::string> said;
    for (std::size_t p = 0, e; (e = o.err.find('\n', p)) != std::string::npos; p = e + 1) {
        const std::string line = o.err.substr(p, e - p);
        if (line.find(" rows, ") == std::string::npos)
            said.push_back(line);
    }
    EXPECT_EQ(said,
              (std::vector<std::string>{"zendrel-search: Resume : 1", "zendrel-search: Resume : 2",
                                        "zendrel-search: Search is completed"}))
        << o.err;
}

TEST(SearchProgram, MisbehavingGatewayStillEndsEveryRowWithinTheTimeLimit) {
    for (const char* mode : {"close", "reset", "trickle"}) {
        GatewayProcess gateway(kGateway,
                               {"--mode", mode, "--trickle-ms", "200", "--idle-exit-ms", "20000"});
        TempDir ws;
        Workspace(ws, gateway.port(), "shop\r\nzzfree\r\n");
        SearchOutcome o = RunSearch({ws.path()}, ws);
        EXPECT_EQ(o.status, 0) << mode << o.err;
        std::vector<std::string> states;
        for (std::size_t p = 0, e; (e = o.out.find("\r\n", p)) != std::string::npos; p = e + 2) {
            const std::string line = o.out.substr(p, e - p);
            const std::size_t a = line.find(';');
            states.push_back(line.substr(a + 1, line.find(';', a + 1) - a - 1));
        }
        EXPECT_EQ(states.size(), 4u) << mode << o.out;
        for (const std::string& s : states)
            EXPECT_TRUE(s == "no data" || s == "is available" || s == "is not available")
                << mode << ": " << s;
    }
}

TEST(SearchProgram, NoZoneCheckedAndMissingFolderExitWithTwo) {
    TempDir ws;
    Workspace(ws, 1, "shop\r\n", "", "--");
    SearchOutcome o = RunSearch({ws.path()}, ws);
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("You must select domain type. For example \".com\""), std::string::npos);
    EXPECT_TRUE(o.out.empty());

    SearchOutcome missing = RunSearch({ws.path() + "nowhere/"}, ws);
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos);
}

TEST(SearchProgram, NamesZoneOptionsItIgnores) {
    TempDir ws;
    Workspace(ws, 1, "shop\r\n", "", "--");
    ws.write("domain.txt", "test;http://127.0.0.1:1/%s;1;com;pace=2/s\r\n"
                           "test;http://127.0.0.1:1/%s;1;net;speed=9;conns=0\r\n");
    SearchOutcome o = RunSearch({ws.path()}, ws);
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("domain.txt, line 2: option \"speed=9\" ignored: unknown option\n"),
              std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find("domain.txt, line 2: option \"conns=0\" ignored"), std::string::npos);
    EXPECT_EQ(o.err.find("pace=2/s"), std::string::npos);
}

TEST(SearchProgram, DnsFirstRulesOutDelegatedNamesBeforeTheirRegistryIsAsked) {
    TempDir ws;
    ws.write("names.txt", "shop.com\ncafe.com registered nxdomain\n");
    ws.write("world.conf", "[registry gw]\nserve = web\nnames = names.txt\n[dns]\n");
    WorldProcess world(ZENDREL_BINARY_DIR "/tools/zendrel-world", ws.file("world.conf"));
    Workspace(ws, world.port("gw"), "shop\r\ncafe\r\nzzfree\r\n",
              "[Zendrel]\r\nDnsServers=127.0.0.1:" + std::to_string(world.port("dns")) + "\r\n",
              "+-");
    SearchOutcome o = RunSearch({"--dns-first", ws.path()}, ws);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.out.find("shop.com;is not available;dns;"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("cafe.com;is not available;~;"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("zzfree.com;is available;~;"), std::string::npos) << o.out;
    auto stats = world.stop();
    EXPECT_EQ(stats["gw.queries"], 2) << "the delegated name was never asked at its registry";
    EXPECT_EQ(stats["dns.queries"], 3);

    SearchOutcome bad = RunSearch({"--dns-last", ws.path()}, ws);
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("unknown option '--dns-last'"), std::string::npos) << bad.err;
}

TEST(SearchProgram, ResultsThatCannotBeWrittenAreNeverReportedAsSuccess) {
    GatewayProcess gateway(kGateway, {"--idle-exit-ms", "20000"});
    TempDir ws;
    Workspace(ws, gateway.port(), "shop\r\nzzfree\r\n");
    const std::string message = "the results could not be written";

    SearchOutcome full = RunSearch({ws.path()}, ws, -1, Output::Full);
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find(message + ": No space left on device"), std::string::npos) << full.err;

    SearchOutcome closed = RunSearch({ws.path()}, ws, -1, Output::Closed);
    EXPECT_EQ(closed.status, 1);
    EXPECT_NE(closed.err.find(message + ": standard output is closed"), std::string::npos)
        << closed.err;
    EXPECT_EQ(closed.err.find("Search is completed"), std::string::npos) << "no run was made";

    // A reader that went away on purpose gets no message, but the status tells it.
    SearchOutcome gone = RunSearch({ws.path()}, ws, -1, Output::ReaderGone);
    EXPECT_EQ(gone.status, 128 + SIGPIPE);
    EXPECT_EQ(gone.err.find(message), std::string::npos) << gone.err;
}

TEST(SearchProgram, InterruptStopsLiveLookupsAndWritesWhatThereIs) {
    GatewayProcess gateway(kGateway, {"--delay-ms", "30000", "--idle-exit-ms", "60000"});
    TempDir ws;
    Workspace(ws, gateway.port(), "shop\r\nzzfree\r\n", "TimeOut=100\r\n");
    SearchOutcome o = RunSearch({ws.path()}, ws, 1500);
    EXPECT_EQ(o.status, 130) << o.err;
    EXPECT_NE(o.out.find("shop.com;"), std::string::npos);
    EXPECT_EQ(o.out.find("is available"), std::string::npos);
    EXPECT_NE(o.err.find("Search is completed"), std::string::npos);
}

} // namespace
} // namespace zendrel::test
