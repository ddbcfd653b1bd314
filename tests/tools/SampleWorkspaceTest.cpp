#include "lookup/ClassifyReply.h"
#include "lookup/MethodTable.h"
#include "lookup/UrlTemplate.h"
#include "lookup/ZoneTable.h"
#include "platform/Files.h"
#include "platform/ProfileFile.h"
#include "tests/lookup/MemoryRow.h"
#include "tests/tools/GatewayTestSupport.h"
#include "tools/gateway/NameRegistry.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace zendrel::test {
namespace {

const std::string kSample = ZENDREL_SAMPLE_DATA;
const std::string kDemoGateway = "http://127.0.0.1:18043";

struct SampleTables {
    ZoneTable zones;
    MethodTable methods;
    SampleTables() {
        LoadZoneTable(kSample, zones);
        LoadMethodTable(kSample, methods);
    }
};

// The body the test gateway gives for `name`, fetched at the path the sample zone table names.
std::string FetchThroughZone(const ZoneEntry& zone, const std::string& name, std::uint16_t port) {
    auto url = ExpandUrlTemplate(zone.urlTemplate, name);
    EXPECT_TRUE(url && url->starts_with(kDemoGateway + "/"));
    if (!url)
        return {};
    std::string path = url->substr(kDemoGateway.size());
    return SplitHttpReply(FetchLoopback(port, "GET " + path + " HTTP/1.0\r\n\r\n").bytes).body;
}

TEST(SampleWorkspace, EveryZoneIsServedByTheDemoGatewayWithAKnownMethod) {
    SampleTables t;
    ASSERT_GE(t.zones.size(), 5u);
    EXPECT_EQ(t.methods.extraColumnCaptions(),
              (std::vector<std::string>{"registrar", "created", "server 1", "server 2"}));
    for (const auto& zone : t.zones.entries()) {
        SCOPED_TRACE(zone.zone);
        EXPECT_NE(zone.label.find("Demo gateway"), std::string::npos);
        EXPECT_TRUE(ExpandUrlTemplate(zone.urlTemplate, "a." + zone.zone)
                        ->starts_with(kDemoGateway + "/whois?name="));
        EXPECT_NE(FindMethodByValue(t.methods, std::stoi(zone.methodNumber)), nullptr);
    }
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
    };
    SampleTables t;
    GatewayProcess gateway = StartGateway();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string name = c.name;
        const ZoneEntry* zone = FindZoneEntry(t.zones, name);
        ASSERT_NE(zone, nullptr);
        std::string body = FetchThroughZone(*zone, name, gateway.port());
        MemoryRow row(t.methods.extraColumnCount());
        row.extra.assign(row.extra.size(), "old");
        ClassifyReply(row, body, std::stoi(zone->methodNumber), t.methods);
        EXPECT_EQ(row.state, c.state);
        EXPECT_EQ(row.checked, c.checked);
        EXPECT_EQ(row.extra, c.columns);
    }
}

TEST(SampleWorkspace, SampleSearchMeetsEveryStateOfTheBuiltInList) {
    SampleTables t;
    std::string dom = GetProfileString(kSample + "param.txt", "Param", "Dom");
    EXPECT_EQ(GetProfileString(kSample + "param.txt", "Param", "Links"), "10");
    EXPECT_EQ(GetProfileString(kSample + "param.txt", "Param", "TimeOut"), "10");
    ASSERT_EQ(dom.size(), t.zones.size());
    std::string words;
    ASSERT_TRUE(ReadFileBytes(kSample + "default.txt", words));
    gateway::NameRegistry registry;
    registry.addBuiltIn();
    std::set<gateway::NameStatus> seen;
    int checkedZones = 0;
    for (std::size_t z = 0; z < dom.size(); ++z) {
        if (dom[z] != '+')
            continue;
        ++checkedZones;
        for (const auto& line : SplitLines(words))
            seen.insert(
                registry.status(line.substr(0, line.find(';')) + "." + t.zones.entries()[z].zone));
    }
    EXPECT_EQ(checkedZones, 2);
    EXPECT_EQ(seen.size(), 3u);
}

} // namespace
} // namespace zendrel::test
