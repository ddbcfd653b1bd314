#include "lookup/ZoneTable.h"

#include "lookup/UrlTemplate.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel {
namespace {

using Names = std::vector<std::string>;

ZoneTable LoadFrom(const std::string& fileText) {
    test::TempDir dir;
    dir.write("domain.txt", fileText);
    ZoneTable table;
    LoadZoneTable(dir.path(), table);
    return table;
}

TEST(ZoneTable, ReadsFourFieldLinesInFileOrder) {
    ZoneTable table = LoadFrom("Commercial;http://g/w?d=%s;3;com\r\n"
                               "note line\n"
                               "a;b;c\r"
                               "a;b;c;d;e\n"
                               "\n"
                               "x;url;3 ;net \n"
                               "a;b;c;");
    EXPECT_EQ(table.zoneNames(), (Names{"com", "d", "net ", ""}));
    const ZoneEntry& first = table.entries()[0];
    EXPECT_EQ(first.label, "Commercial");
    EXPECT_EQ(first.urlTemplate, "http://g/w?d=%s");
    EXPECT_EQ(first.methodNumber, "3");
    EXPECT_EQ(table.entries()[2].methodNumber, "3 ");
}

TEST(ZoneTable, MissingOrEmptyFileGivesEmptyTable) {
    test::TempDir dir;
    ZoneTable table = LoadFrom("a;b;c;com");
    LoadZoneTable(dir.path(), table); // no file there: earlier entries are released too
    EXPECT_TRUE(table.empty());
    EXPECT_TRUE(LoadFrom("").empty());
    EXPECT_TRUE(LoadFrom("just notes\nmore notes\n").empty());
}

TEST(ZoneTable, SurvivesBinaryAndLongLines) {
    std::string longLine(300000, 'x');
    ZoneTable table = LoadFrom(longLine + ";" + std::string("\0\xff;", 3) + "1;com\n" + longLine);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.entries()[0].urlTemplate, std::string("\0\xff", 2));
}

TEST(FindZoneEntry, FirstEntryWhoseZoneEndsTheNameAtItsFirstOccurrence) {
    ZoneTable table = LoadFrom("one;u1;1;uk\n"
                               "two;u2;2;co.uk\n"
                               "three;u3;3;com\n"
                               "four;u4;4;com\n"
                               "five;u5;5;Net\n");
    struct Case {
        const char* name;
        const char* label; // nullptr: no entry
    };
    const Case cases[] = {{"shop.com", "three"},     {"shop.co.uk", "one"}, {"shop.uk", "one"},
                          {"shop.com.com", nullptr}, {"shopcom", nullptr},  {"shop.net", nullptr},
                          {"shop.Net", "five"},      {"", nullptr},         {"x.comm", nullptr}};
    for (const Case& c : cases) {
        const ZoneEntry* e = FindZoneEntry(table, c.name);
        if (c.label == nullptr) {
            EXPECT_EQ(e, nullptr) << c.name;
        } else {
            ASSERT_NE(e, nullptr) << c.name;
            EXPECT_EQ(e->label, c.label) << c.name;
        }
    }
}

TEST(UrlTemplate, PutsTheNameInAndDecodesDoubledPercent) {
    EXPECT_EQ(ExpandUrlTemplate("http://g/cgi?whois_nic=%s", "shop.com"),
              "http://g/cgi?whois_nic=shop.com");
    EXPECT_EQ(ExpandUrlTemplate("http://g/a%%20b?q=%s&x=100%%", "a-b.co.uk"),
              "http://g/a%20b?q=a-b.co.uk&x=100%");
    EXPECT_EQ(ExpandUrlTemplate("http://g/fixed", "shop.com"), "http://g/fixed");
    // Bytes that would break the request line are sent encoded.
    EXPECT_EQ(ExpandUrlTemplate("/q=%s", "a b\r\n.com \xe9"), "/q=a%20b%0D%0A.com%20%E9");
}

TEST(UrlTemplate, RefusesTemplatesTheSubstitutionCannotHandle) {
    for (const char* bad : {"/q=%s&r=%s", "/q=%d", "/q=%", "/q=%S", "%s%n", "%x%s"}) {
        EXPECT_FALSE(IsUsableUrlTemplate(bad)) << bad;
        EXPECT_EQ(ExpandUrlTemplate(bad, "a.com"), std::nullopt) << bad;
    }
    for (const char* good : {"", "/plain", "/q=%s", "%%s", "%%%s"})
        EXPECT_TRUE(IsUsableUrlTemplate(good)) << good;
    EXPECT_EQ(ExpandUrlTemplate("%%s", "a.com"), "%s");
    EXPECT_EQ(ExpandUrlTemplate("%%%s", "a.com"), "%a.com");
}

} // namespace
} // namespace zendrel
