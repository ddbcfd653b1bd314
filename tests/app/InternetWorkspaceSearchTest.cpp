// zendrel-search on a copy of the shipped internet workspace whose addresses point at local
// servers that replay registry replies: the shipped zone lines and methods give the right
// verdicts end to end, through the real lookups.
#include "platform/Files.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace zendrel::test {
namespace {

const std::string kSearch = ZENDREL_BINARY_DIR "/app/zendrel-search";
const std::string kInternet = ZENDREL_INTERNET_DATA;

std::string Read(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(path, bytes)) << path;
    return bytes;
}

std::string RdapReply(int status, const std::string& body) {
    return "HTTP/1.0 " + std::to_string(status) + (status == 200 ? " OK" : " Not Found") +
           "\r\nContent-Type: application/rdap+json\r\n\r\n" + body;
}

// The zone line of `zone` in the shipped table, its address's scheme and host replaced by the
// local server's (the path is kept, so the request names the same resource).
std::string LocalLine(const std::string& table, const std::string& zone, const std::string& base) {
    for (const std::string& line : SplitLines(table)) {
        std::vector<std::string> f;
        for (std::size_t p = 0, e;; p = e + 1) {
            e = line.find(';', p);
            f.push_back(line.substr(p, e == std::string::npos ? e : e - p));
            if (e == std::string::npos)
                break;
        }
        if (f.size() < 4 || f[3] != zone)
            continue;
        const std::size_t path = f[1].find('/', f[1].find("//") + 2);
        f[1] = base + f[1].substr(path);
        std::string out = f[0];
        for (std::size_t i = 1; i < f.size(); ++i)
            out += ";" + f[i];
        return out;
    }
    ADD_FAILURE() << "no line for " << zone;
    return {};
}

struct Zone {
    const char* zone;
    std::map<std::string, std::string> replies; // keyword -> reply; others get a 404
};

TEST(InternetWorkspaceSearch, ReplayedRegistryRepliesGiveTheirVerdicts) {
    const std::string rdap = std::string(ZENDREL_TEST_DATA) + "/rdap/";
    const std::vector<std::string> keywords = {"google", "lemonde", "nic", "u34jedzcq"};
    const std::vector<Zone> zones = {
        {"com", {{"google", RdapReply(200, Read(rdap + "com__registered__google.verisign.json"))}}},
        {"fr", {{"lemonde", RdapReply(200, Read(rdap + "fr__registered__lemonde.afnic.json"))}}},
        {"xyz", {{"nic", RdapReply(200, Read(rdap + "xyz__registered__nic.centralnic.json"))}}},
    };

    // One server per zone line; with one lookup at a time its n-th connection is the n-th
    // keyword's name (rows come name by name, zone by zone).
    std::vector<std::unique_ptr<ScriptedServer>> servers;
    const std::string shipped = Read(kInternet + "domain.txt");
    std::string table;
    for (const Zone& z : zones) {
        servers.push_back(std::make_unique<ScriptedServer>(
            [&, z](int n) {
                auto it = z.replies.find(keywords.at(static_cast<std::size_t>(n)));
                return ScriptedServer::reply(it != z.replies.end() ? it->second
                                                                   : RdapReply(404, ""));
            },
            static_cast<int>(keywords.size())));
        table += LocalLine(shipped, z.zone, servers.back()->url("")) + "\r\n";
    }
    TempDir ws;
    ws.write("domain.txt", table);
    ws.write("method.txt", Read(kInternet + "method.txt"));
    std::string words;
    for (const std::string& k : keywords)
        words += k + "\r\n";
    ws.write("default.txt", words);
    ws.write("add.txt", "");
    ws.write("param.txt", "[Param]\r\nCombinations=1\r\nDom=+++\r\nLinks=1\r\nTimeOut=20\r\n"
                          "SaveAll=1\r\nAutoResume=0\r\nFileAddDomain=\r\n");

    const std::string command = "timeout 120 '" + kSearch + "' '" + ws.path() + "' >'" +
                                ws.file("out") + "' 2>'" + ws.file("err") + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ws.read("err");

    std::map<std::string, std::string> states;
    for (const std::string& line : SplitLines(ws.read("out"))) {
        const std::size_t a = line.find(';');
        states[line.substr(0, a)] = line.substr(a + 1, line.find(';', a + 1) - a - 1);
    }
    for (const Zone& z : zones)
        for (const std::string& k : keywords) {
            const std::string name = k + "." + z.zone;
            EXPECT_EQ(states[name], z.replies.count(k) ? "is not available" : "is available")
                << name;
        }
    EXPECT_NE(ws.read("out").find("google.com;is not available;~;markmonitor inc.;"
                                  "1997-09-15t04:00:00z;2028-09-14t04:00:00z;ns1.google.com;"
                                  "ns2.google.com;"),
              std::string::npos)
        << ws.read("out");
    // Each server was asked for its own names, at the shipped path.
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const std::vector<std::string> asked = servers[i]->requests();
        ASSERT_EQ(asked.size(), keywords.size()) << zones[i].zone;
        for (std::size_t n = 0; n < asked.size(); ++n)
            EXPECT_NE(asked[n].find("/domain/" + keywords[n] + "." + zones[i].zone + " "),
                      std::string::npos)
                << asked[n];
    }
}

} // namespace
} // namespace zendrel::test
