#include "lookup/ZoneOptions.h"

#include "lookup/ZoneTable.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel {
namespace {

ZoneOptions Read(std::initializer_list<const char*> fields, std::vector<std::string>* why = {}) {
    ZoneOptions options;
    for (const char* f : fields) {
        std::optional<std::string> problem = ApplyZoneOption(f, options);
        if (problem && why)
            why->push_back(*problem);
        EXPECT_TRUE(why || !problem) << f << ": " << *problem;
    }
    return options;
}

TEST(ZoneOptions, ReadsEveryKnownOption) {
    ZoneOptions o = Read({"rdap", " NoDNS ", "pace=30/min", "conns=2", "busy=Too Many Requests",
                          "busy=% Excessive querying", ""});
    EXPECT_TRUE(o.rdap);
    EXPECT_TRUE(o.nodns);
    EXPECT_EQ(o.pace, (ZonePace{30, 60}));
    EXPECT_EQ(o.conns, 2);
    EXPECT_EQ(o.busy, (std::vector<std::string>{"too many requests", "% excessive querying"}));
    EXPECT_TRUE(o.any());
    EXPECT_EQ(Read({"pace=1/s"}).pace, (ZonePace{1, 1}));
    EXPECT_EQ(Read({"pace=100/H"}).pace, (ZonePace{100, 3600}));
    EXPECT_FALSE(Read({"", "  "}).any());
}

TEST(ZoneOptions, IgnoresAndNamesWhatItDoesNotUnderstand) {
    const char* bad[] = {"speed=3",    "rdap=yes",           "nodns=1",   "pace=0/s", "pace=1/d",
                         "pace=-1/s",  "pace=1.5/s",         "pace=/s",   "pace=1",   "pace=",
                         "pace",       "pace=99999999999/s", "pace=+2/s", "conns=0",  "conns=x",
                         "conns=1001", "conns= 2 2",         "busy=",     "busy=   ", "busy"};
    for (const char* field : bad) {
        ZoneOptions o;
        std::optional<std::string> why = ApplyZoneOption(field, o);
        ASSERT_TRUE(why.has_value()) << field;
        EXPECT_FALSE(why->empty()) << field;
        EXPECT_FALSE(o.any()) << field;
    }
}

TEST(ZoneOptions, ARepeatedLimitKeepsTheFirst) {
    std::vector<std::string> why;
    ZoneOptions o = Read({"pace=2/s", "pace=5/s", "conns=1", "conns=4", "rdap", "rdap"}, &why);
    EXPECT_EQ(o.pace, (ZonePace{2, 1}));
    EXPECT_EQ(o.conns, 1);
    EXPECT_EQ(why.size(), 2u);
}

TEST(ZoneOptions, BusyPhrasesMatchInAnyLetterCase) {
    ZoneOptions o = Read({"busy=too many requests", "busy=Query Rate Limit Exceeded"});
    EXPECT_EQ(FindBusyPhrase(o, "%% Too many requests...\n%% No entries found"), &o.busy[0]);
    EXPECT_EQ(FindBusyPhrase(o, "% QUERY RATE LIMIT EXCEEDED. Reduced information."), &o.busy[1]);
    EXPECT_EQ(FindBusyPhrase(o, "too many request"), nullptr);
    EXPECT_EQ(FindBusyPhrase(ZoneOptions{}, "too many requests"), nullptr);
}

TEST(ZoneTableOptions, FieldsAfterTheFourthAreOptionsWithProblemsByLine) {
    ZoneTable table;
    ReadZoneTable("Com;whois://h/domain %s;1;com\r\n"
                  "note\n"
                  "Fr;whois://whois.nic.fr/%s;2;fr;pace=1/s;conns=2;busy=Too many requests;\n"
                  "Io;https://r/domain/%s;3;io;rdap;fast;pace=1/x;nodns\n",
                  table);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_FALSE(table.entries()[0].options.any());
    const ZoneOptions& fr = table.entries()[1].options;
    EXPECT_EQ(fr.pace, (ZonePace{1, 1}));
    EXPECT_EQ(fr.conns, 2);
    EXPECT_EQ(fr.busy, std::vector<std::string>{"too many requests"});
    EXPECT_EQ(table.entries()[1].zone, "fr");
    const ZoneOptions& io = table.entries()[2].options;
    EXPECT_TRUE(io.rdap);
    EXPECT_TRUE(io.nodns);
    EXPECT_FALSE(io.pace.has_value());
    ASSERT_EQ(table.problems().size(), 2u);
    EXPECT_EQ(table.problems()[0], (ZoneLineProblem{4, "fast", "unknown option"}));
    EXPECT_EQ(table.problems()[1].line, 4);
    EXPECT_EQ(table.problems()[1].text, "pace=1/x");
    EXPECT_EQ(DescribeZoneLineProblem(table.problems()[0]),
              "domain.txt, line 4: option \"fast\" ignored: unknown option");

    ReadZoneTable("a;b;1;com\n", table); // a new read forgets the old problems
    EXPECT_TRUE(table.problems().empty());
}

} // namespace
} // namespace zendrel
