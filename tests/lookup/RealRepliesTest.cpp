#include "lookup/ClassifyReply.h"
#include "lookup/MethodTable.h"
#include "lookup/TextRules.h"
#include "lookup/UrlTemplate.h"
#include "lookup/ZoneTable.h"
#include "platform/Files.h"
#include "tests/lookup/MemoryRow.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel {
namespace {

using Columns = std::vector<std::string>;

const std::string kFolder = std::string(ZENDREL_TEST_DATA) + "/whois/";

struct ReplyCase {
    const char* name;  // the row caption
    const char* reply; // recorded reply file
    const char* state;
    Columns extra;
};

class RealReplyTest : public ::testing::TestWithParam<ReplyCase> {
protected:
    static void SetUpTestSuite() {
        LoadZoneTable(kFolder, zones);
        LoadMethodTable(kFolder, methods);
    }
    static ZoneTable zones;
    static MethodTable methods;
};

ZoneTable RealReplyTest::zones;
MethodTable RealReplyTest::methods;

// From the row caption to the row's contents, as a lookup goes: zone entry, method, reply.
TEST_P(RealReplyTest, ClassifiesRecordedReply) {
    const ReplyCase& c = GetParam();
    ASSERT_EQ(methods.extraColumnCount(), 4);
    const ZoneEntry* zone = FindZoneEntry(zones, c.name);
    ASSERT_NE(zone, nullptr) << c.name;
    EXPECT_TRUE(ExpandUrlTemplate(zone->urlTemplate, c.name).has_value());
    std::optional<int32_t> number = ReadDataInteger(zone->methodNumber);
    ASSERT_TRUE(number.has_value());
    ASSERT_NE(FindMethodByValue(methods, *number), nullptr);

    std::string reply;
    ASSERT_TRUE(ReadFileBytes(kFolder + c.reply, reply)) << c.reply;
    test::MemoryRow row(4);
    ClassifyReply(row, reply, *number, methods);
    EXPECT_EQ(row.state, c.state) << c.reply;
    EXPECT_EQ(row.extra, c.extra) << c.reply;
}

INSTANTIATE_TEST_SUITE_P(
    Recorded, RealReplyTest,
    ::testing::Values(
        ReplyCase{"google.com",
                  "com__registered__google.txt",
                  "is not available",
                  {"markmonitor inc.", "1997-09-15t04:00:00z", "ns1.google.com", "ns2.google.com"}},
        ReplyCase{
            "u34jedzcq.com", "com__available__u34jedzcq.txt", "is available", {"", "", "", ""}},
        ReplyCase{"killianestates.com",
                  "com__pendingdelete__killianestates.txt",
                  "hold",
                  {"godaddy.com, llc", "26-may-2010", "ns75.domaincontrol.com",
                   "ns76.domaincontrol.com"}},
        ReplyCase{"google.co.uk",
                  "couk__registered__google.txt",
                  "is not available",
                  {"", "14-feb-1999", "", ""}},
        ReplyCase{
            "u34jedzcq.co.uk", "couk__available__u34jedzcq.txt", "is available", {"", "", "", ""}},
        ReplyCase{"google.de",
                  "de__registered__google.txt",
                  "is not available",
                  {"", "2011-03-30t19:36:27+02:00", "ns1.google.com", "ns2.google.com"}},
        ReplyCase{"u34jedzcq.de", "de__available__u34jedzcq.txt", "is available", {"", "", "", ""}},
        ReplyCase{"google.de", "de__throttled__denic.txt", "no data", {"", "", "", ""}}),
    [](const ::testing::TestParamInfo<ReplyCase>& info) {
        return test::CaseNameFromFile(info.param.reply);
    });

} // namespace
} // namespace zendrel
