// The rule tester's reading of a reply: the same steps as the end of a lookup, and the phrase
// that decided.
#include "engine/RuleTrial.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel {
namespace {

MethodTable Methods() {
    MethodTable table;
    ReadMethodTable("0;Registrar;Created\n"
                    "1;registrar:;created:;registrar:|no match for|status: on hold\n"
                    "8;registrar:;registration:;ldhname:|rdap status: 404|status: server hold\n",
                    table);
    return table;
}

ZoneEntry Line(const std::string& text) {
    ZoneTable zones;
    ReadZoneTable(text, zones);
    return zones.entries().at(0);
}

TEST(RuleTrial, ReadsAReplyAsTheEndOfALookupDoes) {
    const MethodTable methods = Methods();
    const std::string rdapBody =
        R"({"ldhName":"X.ORG","events":[{"eventAction":"registration","eventDate":"2001"}]})";
    const ZoneEntry busyLine = Line("b;https://r.test/%s;1;com;busy=slow down\n");
    struct Case {
        const char* what;
        int method;
        RuleTrialInput in;
        std::string state;
        bool checked;
        std::vector<std::string> columns;
        std::string phrase; // empty: none
        bool refused;
    };
    const Case cases[] = {
        {"taken, with columns",
         1,
         {"Registrar: Acme\nCreated: 1999", false, 200, {}},
         "is not available",
         false,
         {"acme", "1999"},
         "registrar:",
         false},
        {"free",
         1,
         {"No match for x", false, 200, {}},
         "is available",
         true,
         {"", ""},
         "no match for",
         false},
        {"rdap body read through its text",
         8,
         {rdapBody, true, 200, {}},
         "is not available",
         false,
         {"", "2001"},
         "ldhname:",
         false},
        {"rdap 404",
         8,
         {"{}", true, 404, {}},
         "is available",
         true,
         {"", ""},
         "rdap status: 404",
         false},
        {"a busy phrase of the line",
         1,
         {"Registrar: a\nslow down", false, 200, busyLine},
         "waiting",
         false,
         {"", ""},
         "",
         true},
        {"a refusing status",
         1,
         {"Registrar: a", false, 429, busyLine},
         "waiting",
         false,
         {"", ""},
         "",
         true},
        {"no refusal without a line",
         1,
         {"Registrar: a\nslow down", false, 429, {}},
         "is not available",
         false,
         {"a", ""},
         "registrar:",
         false},
        {"no phrase", 1, {"something else", false, 200, {}}, "no data", false, {"", ""}, "", false},
        {"no such method",
         5,
         {"Registrar: a", false, 200, {}},
         "no data",
         false,
         {"", ""},
         "",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RuleTrialResult r = TryRules(methods, c.method, c.in);
        EXPECT_EQ(r.stateText, c.state);
        EXPECT_EQ(r.checked, c.checked);
        EXPECT_EQ(r.columns, c.columns);
        EXPECT_EQ(r.phrase ? r.phrase->text : std::string(), c.phrase);
        EXPECT_EQ(r.refused, c.refused);
        EXPECT_EQ(r.methodFound, c.method != 5);
    }
    const RuleTrialResult busy = TryRules(methods, 1, cases[4].in);
    EXPECT_EQ(busy.refusalPhrase, "slow down");
    EXPECT_EQ(TryRules(methods, 8, cases[2].in).ruleText.rfind("rdap status: 200\n", 0), 0u);
}

} // namespace
} // namespace zendrel
