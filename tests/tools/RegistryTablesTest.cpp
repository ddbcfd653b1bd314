#include "tools/tables/RegistryTables.h"

#include "platform/Files.h"
#include "tools/tables/Csv.h"
#include "tools/tables/RdapBootstrap.h"

#include <gtest/gtest.h>
#include <string>

namespace zendrel::tables {
namespace {

const std::string kSources = std::string(ZENDREL_SOURCE_DIR) + "/tools/registries/";
const std::string kWorkspace = std::string(ZENDREL_SOURCE_DIR) + "/data/internet/";

// The committed tables are exactly what the sources give, so nobody edits them by hand.
TEST(RegistryTables, CommittedTablesAreWhatTheSourcesGive) {
    TablesInput input;
    std::string error;
    ASSERT_TRUE(ReadTablesInput(kSources, input, error)) << error;
    GeneratedTables tables = GenerateRegistryTables(input);
    for (const std::string& e : tables.errors)
        ADD_FAILURE() << e;
    std::string domain, method;
    ASSERT_TRUE(ReadFileBytes(kWorkspace + "domain.txt", domain));
    ASSERT_TRUE(ReadFileBytes(kWorkspace + "method.txt", method));
    EXPECT_EQ(domain, tables.domainTxt) << "run scripts/registry-tables";
    EXPECT_EQ(method, tables.methodTxt) << "run scripts/registry-tables";
}

const char* const kBootstrap = R"({"publication":"2026-01-01T00:00:00Z","services":[
    [["com","NET"],["http://plain.example/","https://rdap.example/com/"]],
    [["uk"],["https://rdap.example.uk/uk"]],
    [["kg"],["http://kg.example/"]],
    "junk", [["x"]]]})";

const char* const kFamilies = "family,fields,taken,free,hold\n"
                              "rdap,registrar:;1~nameserver:,ldhname:,rdap status: 404,status: "
                              "server hold\n"
                              "text,registrar:,,,\n";

TEST(RegistryTables, BuildsZoneLinesAndSharedMethods) {
    TablesInput input{"zone,protocol,server,query,family,taken,free,hold,busy,pace,conns,nodns\n"
                      "# a note\n"
                      "com,rdap,,,rdap,,,,,,,\n"
                      "co.uk,rdap,,,rdap,,,,,30/min,4,yes\n"
                      "de,whois,whois.example.de,\"-T dn,ace %s\",text,Status: Connect,"
                      "status:\\tfree,,Limit Reached|Too Busy,,,\n"
                      "net,rdap,,,rdap,,,,,,,\n",
                      kFamilies, kBootstrap};
    GeneratedTables tables = GenerateRegistryTables(input);
    ASSERT_TRUE(tables.errors.empty()) << tables.errors.front();
    EXPECT_EQ(
        tables.domainTxt,
        "Generated from tools/registries/ by scripts/registry-tables (IANA bootstrap of "
        "2026-01-01T00:00:00Z): edit the sources, not this file.\n"
        "com at rdap.example;https://rdap.example/com/domain/%s;1;com;rdap;pace=1/s;conns=2\n"
        "co.uk at rdap.example.uk;https://rdap.example.uk/uk/domain/%s;1;co.uk;rdap;"
        "pace=30/min;conns=4;nodns\n"
        "de at whois.example.de;whois://whois.example.de/-T dn,ace %s;2;de;pace=1/s;"
        "conns=2;busy=limit reached;busy=too busy\n"
        "net at rdap.example;https://rdap.example/com/domain/%s;1;net;rdap;pace=1/s;conns=2\n");
    EXPECT_EQ(tables.methodTxt,
              std::string(kMethodHeader) +
                  "\n1;registrar:;1~nameserver:;ldhname:|rdap status: 404|status: "
                  "server hold\n2;registrar:;status: connect|status:\tfree|\n");
}

TEST(RegistryTables, NamesEveryRowThatCannotBeUsed) {
    const char* rows[][2] = {
        {"kg,rdap,,,rdap,,,,,,,", "no RDAP server"},
        {"zz,rdap,,,rdap,,,,,,,", "no RDAP server"},
        {"de,whois,,,text,,,,,,,", "needs a server"},
        {"de,whois,h,q,text,,,,,,,", "exactly one %s"},
        {"de,whois,h,,nosuch,,,,,,,", "unknown family"},
        {"de,gopher,h,,text,,,,,,,", "protocol"},
        {"de,whois,h,,text,a;b,,,,,,", "contains ';'"},
        {"de,whois,h,,text,,,,,fast,,", "pace=fast"},
        {"de,whois,h,,text,,,,,,0,", "conns=0"},
        {"d e,whois,h,,text,,,,,,,", "zone"},
        {"de,whois,h,,text,,,,,,,,extra,extra", "more fields"},
        {"de,whois,h,,text,\"open,,,,,,,", "quote"},
    };
    for (const auto& [row, why] : rows) {
        TablesInput input{std::string("zone,protocol,server,query,family,taken,free,hold,busy,"
                                      "pace,conns,nodns\n") +
                              row + "\n",
                          kFamilies, kBootstrap};
        GeneratedTables tables = GenerateRegistryTables(input);
        ASSERT_FALSE(tables.errors.empty()) << row;
        EXPECT_NE(tables.errors.front().find(why), std::string::npos)
            << row << " -> " << tables.errors.front();
    }
}

TEST(RegistryTables, AZoneEndingAnotherMustComeFirst) {
    TablesInput input{"zone,protocol,server,query,family\nuk,rdap,,,rdap\nco.uk,rdap,,,rdap\n"
                      "uk,rdap,,,rdap\n",
                      kFamilies, kBootstrap};
    GeneratedTables tables = GenerateRegistryTables(input);
    ASSERT_EQ(tables.errors.size(), 2u);
    EXPECT_EQ(tables.errors[0], "registries.csv line 3: zone \"co.uk\" is served by \"uk\" above "
                                "it; list it first");
    EXPECT_NE(tables.errors[1].find("line 4"), std::string::npos);
}

TEST(RdapBootstrap, LongestLabelAtADotBoundaryAndHttpsOnly) {
    RdapBootstrap b = ReadRdapBootstrap(kBootstrap);
    ASSERT_TRUE(b.error.empty());
    EXPECT_EQ(b.publication, "2026-01-01T00:00:00Z");
    EXPECT_EQ(FindRdapBase(b, "net"), "https://rdap.example/com/");
    EXPECT_EQ(FindRdapBase(b, "co.uk"), "https://rdap.example.uk/uk");
    EXPECT_EQ(FindRdapBase(b, "CO.UK"), "https://rdap.example.uk/uk");
    EXPECT_EQ(FindRdapBase(b, "kg"), std::nullopt);
    EXPECT_EQ(FindRdapBase(b, "duk"), std::nullopt);
    EXPECT_FALSE(ReadRdapBootstrap("{\"services\":5}").error.empty());
    EXPECT_FALSE(ReadRdapBootstrap("not json").error.empty());
}

TEST(Csv, QuotedFieldsAndNotes) {
    CsvFile f = ReadCsv("a,b,c\r\n# note\n\n\"x, y\",\"say \"\"hi\"\"\"\nonly\n");
    ASSERT_TRUE(f.error.empty());
    ASSERT_EQ(f.records.size(), 2u);
    EXPECT_EQ(f.records[0]["a"], "x, y");
    EXPECT_EQ(f.records[0]["b"], "say \"hi\"");
    EXPECT_EQ(f.records[0]["c"], "");
    EXPECT_EQ(f.records[0].line, 4);
    EXPECT_EQ(f.records[1]["a"], "only");
    EXPECT_EQ(f.records[1]["nosuch"], "");
}

} // namespace
} // namespace zendrel::tables
