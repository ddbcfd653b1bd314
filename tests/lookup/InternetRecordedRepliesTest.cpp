// Every recorded port-43 reply of a zone that the internet workspace asks on port 43 is read
// through the shipped tables, and every refusal phrase of the workspace is checked against every
// recorded normal reply, so a phrase that would turn a normal answer into a refusal is caught.
#include "lookup/ZoneOptions.h"
#include "platform/Files.h"
#include "tests/lookup/InternetWorkspace.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zendrel::test {
namespace {

struct Recording {
    std::string path;
    std::string zone;    // e.g. "co.uk"
    std::string verdict; // the recording's verdict as its file name gives it
    std::string name;    // a name of that zone to read it as
    std::string bytes;
};

std::string ZoneOfFilePrefix(const std::string& prefix) {
    static const std::map<std::string, std::string> renamed = {
        {"couk", "co.uk"}, {"nz", "co.nz"}, {"coza", "co.za"}};
    auto it = renamed.find(prefix);
    return it == renamed.end() ? prefix : it->second;
}

// The files are named <zone>__<verdict>__<short>.txt.
std::vector<Recording> AllRecordings() {
    std::vector<Recording> all;
    for (const char* folder : {"/whois/", "/whois-2026/"}) {
        for (const auto& entry :
             std::filesystem::directory_iterator(std::string(ZENDREL_TEST_DATA) + folder)) {
            const std::string file = entry.path().filename().string();
            std::size_t a = file.find("__");
            std::size_t b = file.find("__", a + 2);
            if (a == std::string::npos || b == std::string::npos || !file.ends_with(".txt"))
                continue;
            Recording r;
            r.path = entry.path().string();
            r.zone = ZoneOfFilePrefix(file.substr(0, a));
            r.verdict = file.substr(a + 2, b - a - 2);
            r.name = "x." + r.zone;
            EXPECT_TRUE(ReadFileBytes(r.path, r.bytes)) << r.path;
            all.push_back(std::move(r));
        }
    }
    return all;
}

bool IsRefusal(const std::string& verdict) {
    return verdict == "throttled" || verdict == "refused";
}

// What the workspace must make of a recording with this verdict.
std::string ExpectedState(const Recording& r) {
    static const std::set<std::string> hold = {"hold",          "quarantine",    "serverhold",
                                               "pendingdelete", "redemption",    "reserved",
                                               "suspended",     "pendingrelease"};
    if (r.verdict == "available")
        // A not-found reply of whois.rotld.ro came for a registered name, so that server's
        // not-found is no verdict at all.
        return r.zone == "ro" ? "no data" : "is available";
    if (r.verdict == "registered" || r.verdict == "failed")
        return "is not available";
    if (hold.count(r.verdict))
        return "hold";
    if (IsRefusal(r.verdict))
        return "refused";
    return "no data"; // empty, invalid
}

TEST(InternetWorkspace, RecordedPortFortyThreeRepliesGiveTheirVerdicts) {
    InternetWorkspace ws;
    int read = 0;
    for (const Recording& r : AllRecordings()) {
        const ZoneEntry* zone = FindZoneEntry(ws.zones, r.name);
        if (!zone || zone->options.rdap || zone->zone != r.zone)
            continue; // asked over RDAP, or not a zone of the workspace
        ++read;
        EXPECT_EQ(ws.read(r.name, r.bytes).state, ExpectedState(r)) << r.path;
    }
    EXPECT_GE(read, 60);
}

TEST(InternetWorkspace, RefusalPhrasesCatchRecordedRefusalsAndNoNormalReply) {
    InternetWorkspace ws;
    std::vector<std::string> normal;
    for (const Recording& r : AllRecordings()) {
        const ZoneEntry* zone = FindZoneEntry(ws.zones, r.name);
        if (IsRefusal(r.verdict)) {
            // Refusals of zones the workspace has, whichever protocol it uses for them.
            if (zone && zone->zone == r.zone) {
                EXPECT_NE(FindBusyPhrase(zone->options, r.bytes), nullptr) << r.path;
            }
        } else {
            normal.push_back(r.bytes);
        }
    }
    for (const char* rdap :
         {"com__registered__google.verisign.json", "com__registered__google.verisign-2026.json",
          "fr__registered__lemonde.afnic.json", "no__registered__norway.norid.json",
          "xyz__registered__nic.centralnic.json", "top__registered__bitcoin.zdns.json",
          "cz__registered__example.cznic.json", "com__registered__google.markmonitor.json",
          "click__registered__microsoft.uniregistry.json"}) {
        std::string body;
        ASSERT_TRUE(ReadFileBytes(std::string(ZENDREL_TEST_DATA) + "/rdap/" + rdap, body));
        normal.push_back(RdapReplyText(200, body));
        normal.push_back(body);
    }
    ASSERT_GT(normal.size(), 150u);
    for (const ZoneEntry& zone : ws.zones.entries())
        for (const std::string& text : normal) {
            const std::string* phrase = FindBusyPhrase(zone.options, text);
            EXPECT_EQ(phrase, nullptr)
                << zone.zone << ": \"" << (phrase ? *phrase : "") << "\" in a normal reply";
        }
}

} // namespace
} // namespace zendrel::test
