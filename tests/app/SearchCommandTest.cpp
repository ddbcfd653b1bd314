// zendrel-search as scripts and terminals meet it: its errors, words on standard input, the
// check of a workspace, the progress line on a terminal and a reader that stops early.
#include "tests/app/SearchProcess.h"
#include "tests/support/GatewayProcess.h"

#include <chrono>
#include <gtest/gtest.h>
#include <ostream>

namespace zendrel::test {
namespace {

const char* kGateway = ZENDREL_BINARY_DIR "/tools/zendrel-gateway";

SearchOutcome Search(std::vector<std::string> args, const TempDir& dir,
                     std::optional<std::string> input = {}) {
    SearchCall call;
    call.args = std::move(args);
    call.input = std::move(input);
    return RunSearchProgram(call, dir);
}

struct ErrorCase {
    const char* name;
    std::vector<std::string> args; // "WS" stands for the workspace folder
    int status;
    std::string err; // all of standard error, with "WS" for the folder
};

// Test lists show a case by its name, not as a dump of its bytes.
void PrintTo(const ErrorCase& c, std::ostream* out) {
    *out << c.name;
}

class SearchCommandErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SearchCommandErrors, SayWhatAndWhereAndEndWithTheirStatus) {
    TempDir ws;
    WriteFixedWorkspace(ws, 1);
    std::vector<std::string> args;
    for (const std::string& a : GetParam().args)
        args.push_back(ReplaceAll(a, "WS", ws.path()));
    const SearchOutcome o = Search(args, ws);
    EXPECT_EQ(o.status, GetParam().status);
    EXPECT_EQ(o.err, ReplaceAll(GetParam().err, "WS", ws.path()));
    EXPECT_EQ(o.out, "");
}

const std::string kTry = "Try 'zendrel-search --help' for the options.\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchCommandErrors,
    ::testing::Values(
        ErrorCase{"UnknownOption",
                  {"--colour", "WS"},
                  1,
                  "zendrel-search: unknown option '--colour'\n" + kTry},
        ErrorCase{"OutOfRange",
                  {"--connections", "101", "WS"},
                  1,
                  "zendrel-search: --connections 101 is out of range: it takes a number from 1 "
                  "to 100\n" +
                      kTry},
        ErrorCase{"UnknownZone",
                  {"--zones", "com,xyz", "WS"},
                  1,
                  "zendrel-search: unknown zone 'xyz'; the zone table WSdomain.txt has com, net, "
                  "org, test, dead\n" +
                      kTry},
        ErrorCase{"UnreadableWords",
                  {"--words-file", "WSnone.txt", "WS"},
                  1,
                  "zendrel-search: --words-file: WSnone.txt cannot be read: No such file or "
                  "directory\n" +
                      kTry},
        ErrorCase{"TwoFolders",
                  {"WS", "WS"},
                  1,
                  "zendrel-search: only one workspace folder can be given: 'WS' and 'WS'\n" + kTry},
        ErrorCase{"MissingFolder",
                  {"--format", "csv", "WSnowhere"},
                  2,
                  "zendrel-search: the workspace folder 'WSnowhere' does not exist\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SearchCommand, HelpAndVersionGoToStandardOutput) {
    TempDir dir;
    const SearchOutcome help = Search({"--help"}, dir);
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: zendrel-search [OPTION]... [FOLDER]\n")) << help.out;
    EXPECT_EQ(help.err, "");
    const SearchOutcome version = Search({"--version"}, dir);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "zendrel-search 2.10\n");
}

TEST(SearchCommand, WordsFromStandardInputReplaceTheKeywordsForThisRun) {
    GatewayProcess gateway(kGateway, {"--idle-exit-ms", "20000"});
    TempDir ws;
    WriteFixedWorkspace(ws, gateway.port());
    const std::string keywords = ws.read("default.txt");
    const SearchOutcome o = Search({"--words-file", "-", "--zones", "com,net", "--only",
                                    "available,not-available", "--format", "csv", ws.path()},
                                   ws, "shop\r\nunused;-\nzzfree");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "Domain,State,Time,registrar,\"created, on\",\"server \"\"1\"\"\",server\t2,"
                     "gateway,free\n"
                     "shop.com,is not available,~,harbour names ltd,2014-07-21,"
                     "ns1.harbour-names.test,ns2.harbour-names.test,"
                     "\"answers from its own list, not from a registry.\",\n"
                     "shop.net,is not available,~,lantern domains inc,2016-06-08,"
                     "ns1.lantern-dns.test,ns2.lantern-dns.test,"
                     "\"answers from its own list, not from a registry.\",\n"
                     "zzfree.com,is available,~,,,,,,\n"
                     "zzfree.net,is available,~,,,,,,\n");
    EXPECT_EQ(ws.read("default.txt"), keywords);
}

TEST(SearchCommand, VerboseSaysWhyALookupGotNoAnswer) {
    TempDir ws;
    WriteFixedWorkspace(ws, 1);
    const SearchOutcome o =
        Search({"--verbose", "--words", "shop", "--zones", "dead", ws.path()}, ws);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "shop.dead;no data;;;;;;;;\r\n");
    EXPECT_NE(o.err.find("zendrel-search: shop.dead: connection refused\n"), std::string::npos)
        << o.err;
}

TEST(SearchCommand, CheckListsTheProblemsAndLooksNothingUp) {
    TempDir ws;
    WriteFixedWorkspace(ws, 1);
    const SearchOutcome o = Search({"--check", ws.path()}, ws);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, ws.path() + "domain.txt, line 4: no method has the number 7 (method.txt)\n");
    EXPECT_EQ(o.err, "zendrel-search: 1 problem found in " + ws.path() + "\n");
}

TEST(SearchCommand, TheShippedWorkspacesPassTheCheck) {
    TempDir scratch;
    for (const char* folder : {"/data/", "/data/internet/"}) {
        const std::string path = std::string(ZENDREL_SOURCE_DIR) + folder;
        const SearchOutcome o = Search({"--check", path}, scratch);
        EXPECT_EQ(o.status, 0) << o.out;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err, "zendrel-search: no problems found in " + path + "\n");
    }
}

// Progress on a terminal: one line drawn again and again in its place, messages above it, the
// last state left on the screen. The results are the same as anywhere else.
TEST(SearchCommand, ProgressOnATerminalIsOneLineRedrawnInPlace) {
    GatewayProcess gateway(kGateway, {"--delay-ms", "300", "--idle-exit-ms", "30000"});
    TempDir ws;
    WriteFixedWorkspace(ws, gateway.port());
    SearchCall call;
    call.args = {"--connections",     "1",      "--zones",   "com,net", "--words",
                 "shop,zzfree,green", "--only", "available", ws.path()};
    call.errorOnTerminal = true;
    const SearchOutcome o = RunSearchProgram(call, ws);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "green.com;is available;~;;;;;;;\r\ngreen.net;is available;~;;;;;;;\r\n"
                     "zzfree.com;is available;~;;;;;;;\r\nzzfree.net;is available;~;;;;;;;\r\n");
    // A terminal turns each line end into CR LF.
    const std::string redraw = "\r\x1b[K";
    EXPECT_GE(std::count(o.err.begin(), o.err.end(), '\x1b'), 3) << o.err;
    EXPECT_EQ(o.err.find("live,"), std::string::npos) << "no once-a-second log lines";
    EXPECT_NE(o.err.find(redraw + "zendrel-search: Search is completed\r\n"), std::string::npos)
        << o.err;
    const std::string last = "6/6 rows | 4 available, 0 hold, 2 not available, 0 no data | ";
    EXPECT_NE(o.err.find(redraw + last), std::string::npos) << o.err;
    EXPECT_TRUE(o.err.ends_with("left\r\n") || o.err.ends_with("/min\r\n")) << o.err;
    EXPECT_LE(o.err.size() - o.err.rfind(redraw), 80u + redraw.size() + 2) << "fits 80 columns";
}

// `zendrel-search ... | head -n 1`: once the reader has what it wanted the search ends, without
// a message and long before its rows are done.
TEST(SearchCommand, AReaderThatStopsEarlyEndsTheSearchQuietly) {
    GatewayProcess gateway(kGateway, {"--delay-ms", "1000", "--idle-exit-ms", "60000"});
    TempDir ws;
    WriteFixedWorkspace(ws, gateway.port());
    SearchCall call;
    call.args = {"--connections", "1",
                 "--zones",       "com",
                 "--words",       "a1,a2,a3,a4,a5,a6,a7,a8,a9,b1,b2,b3,b4,b5,b6,b7,b8,b9,c1,c2",
                 ws.path()};
    call.output = Output::ReaderGone;
    call.keepBytes = 1;
    const auto start = std::chrono::steady_clock::now();
    const SearchOutcome o = RunSearchProgram(call, ws);
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count();
    EXPECT_EQ(o.status, 141) << o.err;
    EXPECT_TRUE(o.out.starts_with("a1.com;is available;~;")) << o.out;
    EXPECT_EQ(o.err.find("could not be written"), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find("Search is completed"), std::string::npos) << o.err;
    EXPECT_LT(seconds, 15) << "20 lookups of a second each were not all made";
}

} // namespace
} // namespace zendrel::test
