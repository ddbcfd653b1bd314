// The documentation of zendrel-search says the same everywhere: --help and the manual page list
// the same options with the same ranges, the manual page shows the README's examples, and those
// examples run as printed (with the internet workspace's folder in a home folder of the test's
// own, its lines asking the local gateway over TLS and on port 43 as the shipped lines ask the
// registries).
#include "tests/app/SearchProcess.h"
#include "tests/support/GatewayProcess.h"

#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <sys/wait.h>

namespace zendrel::test {
namespace {

const char* kGateway = ZENDREL_BINARY_DIR "/tools/zendrel-gateway";

std::string ReadSource(const std::string& path) {
    std::ifstream in(std::string(ZENDREL_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The lines of the README's example block, comments left out.
std::vector<std::string> ReadmeExampleLines() {
    const std::string readme = ReadSource("README.md");
    const std::size_t marker = readme.find("tests/app/ReadmeExamplesTest.cpp");
    const std::size_t begin = readme.find("```sh\n", marker);
    const std::size_t end = readme.find("```\n", begin + 6);
    std::istringstream block(readme.substr(begin + 6, end - begin - 6));
    std::vector<std::string> lines;
    for (std::string line; std::getline(block, line);) {
        if (!line.starts_with("#"))
            lines.push_back(line);
    }
    return lines;
}

// The commands of the README's example block, continued lines joined.
std::vector<std::string> ReadmeExamples() {
    std::vector<std::string> commands;
    std::string command;
    for (const std::string& line : ReadmeExampleLines()) {
        const bool continued = line.ends_with("\\");
        command += continued ? line.substr(0, line.size() - 1) : line;
        if (!continued) {
            commands.push_back(command);
            command.clear();
        }
    }
    return commands;
}

// What a command prints, and its exit status, as bash runs it in `dir` with `dir`/home as HOME
// and the demo CA in `dir`/certificates as the only trusted one.
std::pair<int, std::string> Shell(const std::string& command, const TempDir& dir) {
    const std::string out = dir.file("shell.out");
    const std::string line = "cd '" + dir.path() + "' && HOME='" + dir.path() + "home' PATH='" +
                             ZENDREL_BINARY_DIR + "/app:/usr/bin:/bin' SSL_CERT_FILE='" +
                             dir.path() + "certificates/ca.pem' SSL_CERT_DIR='" + dir.path() +
                             "certificates/none' bash -c '" + ReplaceAll(command, "'", "'\\''") +
                             "' >'" + out + "' 2>/dev/null";
    const int status = std::system(line.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.read("shell.out")};
}

TEST(ReadmeExamples, RunAsPrinted) {
    const std::vector<std::string> examples = ReadmeExamples();
    ASSERT_EQ(examples.size(), 3u);
    TempDir dir;
    const std::string certificates = dir.path() + "certificates";
    ASSERT_EQ(std::system(("mkdir -p '" + dir.path() + "home/.local/share/zendrel/internet' '" +
                           certificates + "/none' && '" + kGateway + "' --make-certificates '" +
                           certificates + "'")
                              .c_str()),
              0);
    GatewayProcess gateway(kGateway, {"--idle-exit-ms", "30000", "--tls-port", "free", "--tls-cert",
                                      certificates + "/cert.pem", "--tls-key",
                                      certificates + "/key.pem", "--whois-port", "free"});
    // The internet workspace's shape: registry address forms with their pace and connection
    // options, each zone on a server of its own (host and port), asking the local gateway.
    const std::string tls = std::to_string(gateway.tlsPort());
    const std::string ws = dir.path() + "home/.local/share/zendrel/internet/";
    std::ofstream(ws + "domain.txt")
        << "com at 127.0.0.1;https://127.0.0.1:" + tls + "/whois?name=%s;1;com;pace=1/s;conns=2\r\n"
        << "net at 127.0.0.1;whois://127.0.0.1:" + std::to_string(gateway.whoisPort()) +
               "/%s;1;net;pace=1/s;conns=2\r\n"
        << "org at localhost;https://localhost:" + tls +
               "/whois?name=%s;1;org;pace=1/s;conns=2\r\n";
    std::ofstream(ws + "method.txt") << ReadCliData("workspace/method.txt");
    std::ofstream(ws + "default.txt") << "cloud\r\nshop\r\npixel\r\n";
    std::ofstream(ws + "param.txt") << "[Param]\r\nDom=+++\r\nLinks=2\r\nTimeOut=10\r\n";

    const auto [csvStatus, csvOut] = Shell(examples[0], dir);
    EXPECT_EQ(csvStatus, 0);
    EXPECT_EQ(csvOut, "");
    EXPECT_EQ(dir.read("free.csv"),
              "Domain,State,Time,registrar,\"created, on\",\"server \"\"1\"\"\",server\t2,"
              "gateway,free\ncloud.net,is available,~,,,,,,\n");

    const auto [namesStatus, names] = Shell(examples[1], dir);
    EXPECT_EQ(namesStatus, 0);
    EXPECT_EQ(names, "harbour.com\n");

    const auto [firstStatus, first] = Shell(examples[2], dir);
    EXPECT_EQ(firstStatus, 0);
    std::istringstream lines(first);
    std::string line;
    int count = 0;
    for (; std::getline(lines, line); ++count)
        EXPECT_EQ(nlohmann::json::parse(line)["state"], "is available") << line;
    EXPECT_EQ(count, 3) << first;
}

// The roff text of the manual page as plain text: escapes undone.
std::string Unescape(std::string text) {
    text = ReplaceAll(text, "\\-", "-");
    return ReplaceAll(text, "\\e", "\\");
}

TEST(SearchManual, ListsWhatTheHelpListsWithTheSameRanges) {
    TempDir dir;
    SearchCall call;
    call.args = {"--help"};
    const SearchOutcome help = RunSearchProgram(call, dir);
    const std::string manual = Unescape(ReadSource("packaging/man/zendrel-search.1"));

    const std::regex helpOption(R"(\n  (?:-h, )?(--[a-z-]+))");
    std::set<std::string> inHelp;
    for (std::sregex_iterator it(help.out.begin(), help.out.end(), helpOption), end; it != end;
         ++it)
        inHelp.insert((*it)[1]);
    const std::regex manualOption(R"(\n\.TP\n\.B[IR]? (?:-h ", " )?(--[a-z-]+))");
    std::set<std::string> inManual;
    for (std::sregex_iterator it(manual.begin(), manual.end(), manualOption), end; it != end; ++it)
        inManual.insert((*it)[1]);
    EXPECT_EQ(inHelp.size(), 15u);
    EXPECT_EQ(inHelp, inManual);

    // Each range the help gives is in that option's paragraph of the manual page.
    const std::regex range(R"(\n  (--[a-z-]+)[^\n]*(?:\n {10,}[^\n]*)*?(\d+ to \d+))");
    int ranges = 0;
    for (std::sregex_iterator it(help.out.begin(), help.out.end(), range), end; it != end; ++it) {
        const std::size_t at = manual.find(std::string(" ") + (*it)[1].str() + " ");
        ASSERT_NE(at, std::string::npos) << (*it)[1];
        const std::string paragraph = manual.substr(at, manual.find(".TP", at) - at);
        EXPECT_NE(paragraph.find((*it)[2]), std::string::npos) << (*it)[1] << ": " << (*it)[2];
        ++ranges;
    }
    EXPECT_EQ(ranges, 5);
}

TEST(SearchManual, ShowsTheReadmeExamplesAndFormatsCleanly) {
    const std::string manual = Unescape(ReadSource("packaging/man/zendrel-search.1"));
    for (const std::string& line : ReadmeExampleLines())
        EXPECT_NE(manual.find(line), std::string::npos) << line;
    const std::string check =
        "groff -man -Tutf8 -ww -z '" + std::string(ZENDREL_SOURCE_DIR) +
        "/packaging/man/zendrel-search.1' 2>&1 | grep -q . && exit 1 || exit 0";
    EXPECT_EQ(std::system(check.c_str()), 0) << "groff warns about the manual page";
}

} // namespace
} // namespace zendrel::test
