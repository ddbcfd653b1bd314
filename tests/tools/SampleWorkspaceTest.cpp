#include "lookup/ClassifyReply.h"
#include "lookup/MethodTable.h"
#include "lookup/UrlTemplate.h"
#include "lookup/ZoneTable.h"
#include "platform/Files.h"
#include "platform/ProfileFile.h"
#include "tests/lookup/MemoryRow.h"
#include "tests/support/TempDir.h"
#include "tests/tools/GatewayTestSupport.h"
#include "tests/tools/TlsTestClient.h"
#include "tools/gateway/DemoCertificates.h"
#include "tools/gateway/NameRegistry.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zendrel::test {
namespace {

const std::string kSample = ZENDREL_SAMPLE_DATA;
// The demo gateway's three listeners, as scripts/run starts them.
const std::string kDemoGateway = "http://127.0.0.1:18043";
const std::string kDemoTls = "https://127.0.0.1:18443";
const std::string kDemoWhois = "whois://127.0.0.1:18044";

struct SampleTables {
    ZoneTable zones;
    MethodTable methods;
    SampleTables() {
        LoadZoneTable(kSample, zones);
        LoadMethodTable(kSample, methods);
    }
};

// Which of the demo gateway's listeners an address names; empty for none.
std::string DemoListener(const std::string& url) {
    for (const std::string& base : {kDemoGateway, kDemoTls, kDemoWhois})
        if (url.starts_with(base + "/"))
            return base;
    return {};
}

// A test gateway with all three listeners, on demo certificates made for it.
struct SampleGateway {
    TempDir certs;
    GatewayProcess gateway;
    SampleGateway() : gateway(start(certs)) {}
    static GatewayProcess start(const TempDir& certs) {
        gateway::WriteDemoCertificates(certs.path());
        return StartGateway({"--whois-port", "free", "--tls-port", "free", "--tls-cert",
                             certs.file("cert.pem"), "--tls-key", certs.file("key.pem")});
    }
};

// The text the test gateway gives for `name`, fetched the way the sample zone line says.
std::string FetchThroughZone(const ZoneEntry& zone, const std::string& name,
                             const SampleGateway& g) {
    auto url = ExpandUrlTemplate(zone.urlTemplate, name);
    std::string base = url ? DemoListener(*url) : "";
    EXPECT_FALSE(base.empty()) << zone.urlTemplate;
    if (base.empty())
        return {};
    std::string path = url->substr(base.size());
    if (base == kDemoWhois)
        return FetchLoopback(g.gateway.whoisPort(), path.substr(1) + "\r\n").bytes;
    if (base == kDemoTls)
        return SplitHttpReply(FetchOverTls(g.gateway.tlsPort(), g.certs.file("ca.pem"), "127.0.0.1",
                                           "GET " + path +
                                               " HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                               "Connection: close\r\n\r\n")
                                  .bytes)
            .body;
    return SplitHttpReply(
               FetchLoopback(g.gateway.port(), "GET " + path + " HTTP/1.0\r\n\r\n").bytes)
        .body;
}

TEST(SampleWorkspace, EveryZoneIsServedByTheDemoGatewayWithAKnownMethod) {
    SampleTables t;
    ASSERT_GE(t.zones.size(), 7u);
    EXPECT_EQ(t.methods.extraColumnCaptions(),
              (std::vector<std::string>{"registrar", "created", "server 1", "server 2"}));
    std::multiset<std::string> listeners;
    for (const auto& zone : t.zones.entries()) {
        SCOPED_TRACE(zone.zone);
        EXPECT_NE(zone.label.find("Demo gateway"), std::string::npos);
        std::string url = ExpandUrlTemplate(zone.urlTemplate, "a." + zone.zone).value_or("");
        std::string base = DemoListener(url);
        listeners.insert(base);
        if (base != kDemoWhois)
            EXPECT_EQ(url, base + "/whois?name=a." + zone.zone);
        else
            EXPECT_EQ(url, base + "/a." + zone.zone);
        EXPECT_NE(FindMethodByValue(t.methods, std::stoi(zone.methodNumber)), nullptr);
    }
    // Every address form once or more, and one zone each for the newer two.
    EXPECT_GE(listeners.count(kDemoGateway), 5u);
    EXPECT_EQ(listeners.count(kDemoTls), 1u);
    EXPECT_EQ(listeners.count(kDemoWhois), 1u);
    // The demo script starts the gateway on the ports the zone table names.
    std::string run;
    ASSERT_TRUE(ReadFileBytes(std::string(ZENDREL_SOURCE_DIR) + "/scripts/run", run));
    for (const char* port : {"=18043", "=18443", "=18044"})
        EXPECT_NE(run.find(port), std::string::npos) << port;
}

TEST(SampleWorkspace, SampleMethodReadsTheGatewaysThreeKindsOfReply) {
    struct Case {
        const char* name;
        const char* state;
        bool checked;
        std::vector<std::string> columns;
    };
    const Case cases[] = {
        // A free name leaves what an earlier lookup of the row wrote.
        {"nobody-has-this.com", "is available", true, {"old", "old", "old", "old"}},
        {"shop.com",
         "is not available",
         false,
         {"harbour names ltd", "2014-07-21", "ns1.harbour-names.test", "ns2.harbour-names.test"}},
        {"green.org",
         "hold",
         true,
         {"harbour names ltd", "1997-05-28", "ns1.harbour-names.test", "ns2.harbour-names.test"}},
        // The same three over TLS and on port 43.
        {"nobody-has-this.dev", "is available", true, {"old", "old", "old", "old"}},
        {"shop.dev",
         "is not available",
         false,
         {"blue kettle registry services", "2008-10-23", "ns1.bluekettle.test",
          "ns2.bluekettle.test"}},
        {"pixel.dev",
         "hold",
         true,
         {"harbour names ltd", "1997-11-10", "ns1.harbour-names.test", "ns2.harbour-names.test"}},
        {"nobody-has-this.de", "is available", true, {"old", "old", "old", "old"}},
        {"cloud.de",
         "is not available",
         false,
         {"harbour names ltd", "2008-01-24", "ns1.harbour-names.test", "ns2.harbour-names.test"}},
        {"data.de",
         "hold",
         true,
         {"lantern domains inc", "2004-11-05", "ns1.lantern-dns.test", "ns2.lantern-dns.test"}},
    };
    SampleTables t;
    SampleGateway gateway;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string name = c.name;
        const ZoneEntry* zone = FindZoneEntry(t.zones, name);
        ASSERT_NE(zone, nullptr);
        std::string body = FetchThroughZone(*zone, name, gateway);
        MemoryRow row(t.methods.extraColumnCount());
        row.extra.assign(row.extra.size(), "old");
        ClassifyReply(row, body, std::stoi(zone->methodNumber), t.methods);
        EXPECT_EQ(row.state, c.state);
        EXPECT_EQ(row.checked, c.checked);
        EXPECT_EQ(row.extra, c.columns);
    }
}

TEST(SampleWorkspace, SampleSearchMeetsEveryStateOfTheBuiltInListInEveryAddressForm) {
    SampleTables t;
    std::string dom = GetProfileString(kSample + "param.txt", "Param", "Dom");
    EXPECT_EQ(GetProfileString(kSample + "param.txt", "Param", "Links"), "10");
    EXPECT_EQ(GetProfileString(kSample + "param.txt", "Param", "TimeOut"), "10");
    ASSERT_EQ(dom.size(), t.zones.size());
    std::string words;
    ASSERT_TRUE(ReadFileBytes(kSample + "default.txt", words));
    gateway::NameRegistry registry;
    registry.addBuiltIn();
    std::map<std::string, std::set<gateway::NameStatus>> seen; // by listener
    int checkedZones = 0;
    for (std::size_t z = 0; z < dom.size(); ++z) {
        if (dom[z] != '+')
            continue;
        ++checkedZones;
        const ZoneEntry& zone = t.zones.entries()[z];
        std::string base = DemoListener(ExpandUrlTemplate(zone.urlTemplate, "a").value_or(""));
        for (const auto& line : SplitLines(words))
            seen[base].insert(registry.status(line.substr(0, line.find(';')) + "." + zone.zone));
    }
    EXPECT_EQ(checkedZones, 4); // com and net on the web page, dev over TLS, de on port 43
    ASSERT_EQ(seen.size(), 3u);
    for (const auto& [base, states] : seen)
        EXPECT_EQ(states.size(), 3u) << base;
}

} // namespace
} // namespace zendrel::test
