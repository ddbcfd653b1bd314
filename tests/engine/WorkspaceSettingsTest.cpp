#include "engine/WorkspaceSettings.h"

#include "engine/Workspace.h"
#include "platform/ProfileFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace zendrel {
namespace {

using test::TempDir;

WorkspaceSettings ReadText(const TempDir& dir, const std::string& text) {
    dir.write("param.txt", text);
    return ReadWorkspaceSettings(dir.file("param.txt"), dir.path());
}

TEST(WorkspaceSettings, EveryKeyRoundTripsThroughTheFile) {
    TempDir dir;
    WorkspaceSettings s;
    s.fileNameDomain = "/w/keys.txt";
    s.fileAddDomain = "";
    s.combinations = 4;
    s.additiveName = true;
    s.hyphens = true;
    s.countHyphens = 2;
    s.dom = "+-+";
    s.main = "10,20,640,480";
    s.param = "300,200,120,90,40";
    s.links = 17;
    s.timeOut = 333;
    s.deleteUnavailable = true;
    s.firstAdd = true;
    s.lastAdd = true;
    s.available = true;
    s.notAvailable = true;
    s.hold = true;
    s.dnOnly = true;
    s.maxLength = 12;
    for (std::size_t i = 0; i < s.connection.size(); ++i)
        s.connection[i] = "value " + std::to_string(i);
    s.sgProxy0 = 77;
    s.sgProxy1 = 88;
    s.saveAll = false;
    s.autoResume = false;
    s.resume = 5;
    WriteWorkspaceSettings(dir.file("param.txt"), s);

    const WorkspaceSettings r = ReadWorkspaceSettings(dir.file("param.txt"), "/elsewhere/");
    EXPECT_EQ(r.fileNameDomain, s.fileNameDomain);
    EXPECT_EQ(r.fileAddDomain, "") << "a present, empty path stays empty";
    EXPECT_EQ(r.combinations, 4);
    EXPECT_TRUE(r.additiveName);
    EXPECT_TRUE(r.hyphens);
    EXPECT_EQ(r.countHyphens, 2);
    EXPECT_EQ(r.dom, "+-+");
    EXPECT_EQ(r.main, s.main);
    EXPECT_EQ(r.param, s.param);
    EXPECT_EQ(r.links, 17);
    EXPECT_EQ(r.timeOut, 333);
    EXPECT_TRUE(r.deleteUnavailable);
    EXPECT_TRUE(r.firstAdd);
    EXPECT_TRUE(r.lastAdd);
    EXPECT_TRUE(r.available);
    EXPECT_TRUE(r.notAvailable);
    EXPECT_TRUE(r.hold);
    EXPECT_TRUE(r.dnOnly);
    EXPECT_EQ(r.maxLength, 12);
    EXPECT_EQ(r.connection, s.connection);
    EXPECT_EQ(r.sgProxy0, 77);
    EXPECT_EQ(r.sgProxy1, 88);
    EXPECT_FALSE(r.saveAll);
    EXPECT_FALSE(r.autoResume);
    EXPECT_EQ(r.resume, 5);
    EXPECT_TRUE(r.skippedKeys.empty());
}

TEST(WorkspaceSettings, KeysAreWrittenInTheirFixedOrderWithTrimmedConnectionValues) {
    TempDir dir;
    WorkspaceSettings s;
    s.fileNameDomain = "/w/default.txt";
    s.fileAddDomain = "/w/add.txt";
    s.connection[0] = "  proxy.local  ";
    s.connection[8] = "\tsecret ";
    WriteWorkspaceSettings(dir.file("param.txt"), s);
    EXPECT_EQ(dir.read("param.txt"),
              "[Param]\r\nFileNameDomain=/w/default.txt\r\nFileAddDomain=/w/add.txt\r\n"
              "Combinations=1\r\nAdditiveName=0\r\nHyphens=0\r\nCountHyphens=1\r\nDom=\r\n"
              "Main=\r\nParam=260,255\r\nLinks=2\r\nTimeOut=50\r\nDeleteItems=0\r\n"
              "FirstAdd=0\r\nLastAdd=0\r\nDelete=0\r\nAvailable=0\r\nNotAvailable=0\r\n"
              "Hold=0\r\nDNOnly=0\r\nMaxLength=30\r\nProxy=proxy.local\r\nProxy Port=\r\n"
              "Sender=\r\nAgent=\r\nReference=\r\nUsername=\r\nPassword=\r\n"
              "Proxy Username=\r\nProxy Password=secret\r\nsgProxy0=100\r\nsgProxy1=100\r\n"
              "SaveAll=1\r\nAutoResume=1\r\nResume=0\r\n");
}

TEST(WorkspaceSettings, MissingFileGivesTheDefaultsOfAFirstStart) {
    TempDir dir;
    const WorkspaceSettings s = ReadWorkspaceSettings(dir.file("param.txt"), dir.path());
    EXPECT_EQ(s.fileNameDomain, dir.file("default.txt"));
    EXPECT_EQ(s.fileAddDomain, dir.file("add.txt"));
    EXPECT_EQ(s.main, "") << "maximized";
    EXPECT_EQ(s.param, "260,255");
    EXPECT_EQ(s.links, 2);
    EXPECT_EQ(s.timeOut, 50);
    EXPECT_EQ(s.dom, "");
    EXPECT_TRUE(s.saveAll);
    EXPECT_TRUE(s.autoResume);
    EXPECT_EQ(s.sgProxy0, 100);
    EXPECT_TRUE(s.skippedKeys.empty());
}

// How each hand-written value is read, and whether it is reported as unusable.
struct ValueCase {
    const char* name;
    const char* line;
    int links;
    std::string main;
    std::string param;
    bool deleteUnavailable;
    std::vector<std::string> skipped;
};

class WorkspaceSettingsValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(WorkspaceSettingsValues, ReadAsTheFileMeansThem) {
    TempDir dir;
    const ValueCase& c = GetParam();
    const WorkspaceSettings s = ReadText(dir, std::string("[Param]\r\n") + c.line + "\r\n");
    EXPECT_EQ(s.links, c.links);
    EXPECT_EQ(s.main, c.main);
    EXPECT_EQ(s.param, c.param);
    EXPECT_EQ(s.deleteUnavailable, c.deleteUnavailable);
    EXPECT_EQ(s.skippedKeys, c.skipped);
}

INSTANTIATE_TEST_SUITE_P(
    HandEdited, WorkspaceSettingsValues,
    ::testing::Values(
        ValueCase{"HexLinks", "Links=0x0A", 10, "", "260,255", false, {}},
        ValueCase{"HexLinksSmallKey", "links=0X1f", 31, "", "260,255", false, {}},
        ValueCase{"WordLinks", "Links=ten", 2, "", "260,255", false, {}},
        ValueCase{"EmptyLinks", "Links=", 2, "", "260,255", false, {}},
        ValueCase{"LinksAboveRange", "Links=70000", 2, "", "260,255", false, {"Links"}},
        ValueCase{"LinksBelowRange", "Links=-32769", 2, "", "260,255", false, {"Links"}},
        ValueCase{"LinksAtLowest", "Links=-32768", -32768, "", "260,255", false, {}},
        ValueCase{"MainOfTwo", "Main=5,6", 2, "5,6", "260,255", false, {}},
        ValueCase{"MainWithWord", "Main=5,x,7,8", 2, "", "260,255", false, {"Main"}},
        ValueCase{"MainWithEmptyField", "Main=5,6,", 2, "", "260,255", false, {"Main"}},
        ValueCase{"ParamOfFive", "Param=1,2,3,4,5", 2, "", "1,2,3,4,5", false, {}},
        ValueCase{"ParamWithWord", "Param=1,2,wide", 2, "", "260,255", false, {"Param"}},
        ValueCase{"ParamTooBig", "Param=99999999999", 2, "", "260,255", false, {"Param"}},
        ValueCase{
            "DeleteItemsKeyIsIgnored", "DeleteItems=1\r\nDelete=0", 2, "", "260,255", false, {}},
        ValueCase{
            "DeleteAnyOtherNumberIsOn", "DeleteItems=0\r\nDelete=7", 2, "", "260,255", true, {}},
        ValueCase{"DeleteAsWord", "Delete=yes", 2, "", "260,255", false, {}}),
    [](const ::testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

TEST(WorkspaceSettings, SizeListsSplitAtEveryCommaWithoutTrimmingAwayFields) {
    EXPECT_EQ(ReadSizeList(""), std::vector<int>{});
    EXPECT_EQ(ReadSizeList("260,255"), (std::vector<int>{260, 255}));
    EXPECT_EQ(ReadSizeList("-4, 0x10"), (std::vector<int>{-4, 16}));
    EXPECT_EQ(ReadSizeList(","), std::nullopt);
    EXPECT_EQ(ReadSizeList("1,,2"), std::nullopt);
}

TEST(WorkspaceSettings, WritingKeepsCommentsAndOtherSectionsOfAHandEditedFile) {
    TempDir dir;
    dir.write("param.txt", "; my notes\r\n[Other]\r\nKeep=me\r\n\r\n[param]\r\n"
                           "; links below\r\nLINKS=9\r\nMine=1\r\n");
    WorkspaceSettings s = ReadWorkspaceSettings(dir.file("param.txt"), dir.path());
    EXPECT_EQ(s.links, 9);
    s.links = 12;
    WriteWorkspaceSettings(dir.file("param.txt"), s);
    const std::string text = dir.read("param.txt");
    EXPECT_EQ(text.find("; my notes\r\n[Other]\r\nKeep=me\r\n\r\n[param]\r\n; links below\r\n"), 0u)
        << text;
    EXPECT_NE(text.find("Links=12\r\nMine=1\r\n"), std::string::npos)
        << "the key is updated in its own line: " << text;
    EXPECT_EQ(text.find("LINKS="), std::string::npos) << text;
}

// The check marks of a big zone table are one long value; every zone checked before the restart
// is still checked after it, and a search takes all of them.
TEST(WorkspaceSettings, CheckMarksOfThousandsOfZonesSurviveARestart) {
    TempDir dir;
    std::string table;
    for (int i = 0; i < 5000; ++i) {
        // Appended, not "z" + ...: GCC 12 misreads that insert at the front as an overlap.
        std::string zone(1, 'z');
        zone += std::to_string(i);
        table += zone + ";http://127.0.0.1:9/%s;1;" + zone + "\r\n";
    }
    dir.write("domain.txt", table);
    WorkspaceSettings s = ReadWorkspaceSettings(dir.file("param.txt"), dir.path());
    s.dom = std::string(5000, '+');
    s.dom[1100] = '-';
    WriteWorkspaceSettings(dir.file("param.txt"), s);
    const Workspace ws = LoadWorkspace(dir.path());
    EXPECT_EQ(ws.settings.dom.size(), s.dom.size());
    const SearchInput in = MakeSearchInput(ws);
    ASSERT_EQ(in.zones.size(), 4999u);
    EXPECT_EQ(in.zones[1023], "z1023");
    EXPECT_EQ(in.zones[1100], "z1101");
    EXPECT_EQ(in.zones.back(), "z4999");
}

TEST(WorkspaceSettings, NewSettingsLiveInTheirOwnSectionWrittenOnlyOnceUsed) {
    TempDir dir;
    WorkspaceSettings s = ReadWorkspaceSettings(dir.file("param.txt"), dir.path());
    EXPECT_FALSE(s.dnsFirst);
    EXPECT_FALSE(s.zendrelSection);
    WriteWorkspaceSettings(dir.file("param.txt"), s);
    const std::string before = dir.read("param.txt");
    EXPECT_EQ(before.find("[Zendrel]"), std::string::npos) << "an unused option writes nothing";

    s.dnsFirst = true;
    s.dnsServers = "127.0.0.1:5353";
    WriteWorkspaceSettings(dir.file("param.txt"), s);
    const std::string after = dir.read("param.txt");
    EXPECT_EQ(after, before + "\r\n[Zendrel]\r\nDnsFirst=1\r\nDnsServers=127.0.0.1:5353\r\n")
        << "the [Param] section stays byte for byte as it was";

    WorkspaceSettings r = ReadWorkspaceSettings(dir.file("param.txt"), dir.path());
    EXPECT_TRUE(r.dnsFirst);
    EXPECT_EQ(r.dnsServers, "127.0.0.1:5353");
    EXPECT_TRUE(r.zendrelSection);
    // Once the section is there it is kept up to date, also when the option is turned off.
    r.dnsFirst = false;
    r.dnsServers.clear();
    WriteWorkspaceSettings(dir.file("param.txt"), r);
    EXPECT_NE(dir.read("param.txt").find("[Zendrel]\r\nDnsFirst=0\r\nDnsServers=\r\n"),
              std::string::npos);
    EXPECT_FALSE(ReadWorkspaceSettings(dir.file("param.txt"), dir.path()).dnsFirst);
}

} // namespace
} // namespace zendrel
