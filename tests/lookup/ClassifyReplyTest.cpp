#include "lookup/ClassifyReply.h"

#include "lookup/MethodTable.h"
#include "tests/lookup/MemoryRow.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace zendrel {
namespace {

using Columns = std::vector<std::string>;
using test::MemoryRow;

MethodTable Methods(const std::string& fileText) {
    MethodTable table;
    ReadMethodTable(fileText, table);
    return table;
}

const char* const kExampleFile = "0;Registrar;Created;Server 1;Server 2;Server 3\n"
                                 "7; Registrar: ;created:;{3~Name server:;name server:;};"
                                 "registrant:|no match for|status: hold\n";

const char* const kExampleReply = "Domain: EXAMPLE\n"
                                  "Registrar: Acme Names Ltd (ACME-1)\n"
                                  "Created: 1998-02-11\n"
                                  "Registrant: Somebody\n"
                                  "\n"
                                  "Name server: NS-ONE\n"
                                  "Name server: NS-TWO\n"
                                  "\n"
                                  "Last update: 2000-01-01\n";

TEST(ClassifyReply, ReadsTheNameServerExample) {
    MethodTable methods = Methods(kExampleFile);
    MemoryRow row(6);
    row.extra[4] = "earlier";
    ClassifyOutcome out = ClassifyReply(row, kExampleReply, 7, methods);
    EXPECT_FALSE(out.replyEmpty);
    EXPECT_EQ(out.state, ReplyState::NotAvailable);
    EXPECT_EQ(row.state, "is not available");
    EXPECT_FALSE(row.checked);
    EXPECT_EQ(row.extra,
              (Columns{"acme names ltd", "1998-02-11", "ns-one", "ns-two", "earlier", ""}));
}

TEST(ClassifyReply, VerdictPrefersHoldThenTaken) {
    MethodTable methods = Methods(kExampleFile);
    struct Case {
        const char* reply;
        const char* state;
        bool checked;
    };
    const Case cases[] = {
        {"No Match For x", "is available", true},
        {"Registrant: a\nStatus: HOLD", "hold", true},
        {"registrant: a\nno match for", "is not available", false},
        {"nothing we know", "no data", false},
    };
    for (const Case& c : cases) {
        MemoryRow row(6);
        row.checked = !c.checked;
        ClassifyReply(row, c.reply, 7, methods);
        EXPECT_EQ(row.state, c.state) << c.reply;
        EXPECT_EQ(row.checked, c.checked) << c.reply;
    }
}

TEST(ClassifyReply, PhrasesAreReadByPositionAndEmptyOnesIgnored) {
    // Positions 0 and 1 are empty and ignored; position 2 is a hold phrase, 3 and 4 start a
    // second group. Blanks next to a bar belong to the phrase.
    MethodTable methods = Methods("0\n1;||held | taken|free \n");
    struct Case {
        const char* reply;
        const char* state;
    };
    const Case cases[] = {{"is held now", "hold"},         {"held", "no data"},
                          {"x taken", "is not available"}, {"free now", "is available"},
                          {"xtaken", "no data"},           {"", "no data"}};
    for (const Case& c : cases) {
        MemoryRow row;
        ClassifyReply(row, c.reply, 1, methods);
        EXPECT_EQ(row.state, c.state) << c.reply;
    }
}

TEST(ClassifyReply, UnusableMethodGivesNoDataAndLeavesColumns) {
    MethodTable methods = Methods(std::string(kExampleFile) + "8;registrar:;\n");
    for (int number : {0, -7, 9, 8}) {
        MemoryRow row(6);
        row.extra[0] = "kept";
        ClassifyOutcome out = ClassifyReply(row, kExampleReply, number, methods);
        EXPECT_EQ(out.state, ReplyState::NoData) << number;
        EXPECT_EQ(row.state, "no data") << number;
        EXPECT_FALSE(row.checked);
        EXPECT_EQ(row.extra[0], "kept");
    }
    MemoryRow row(6);
    EXPECT_TRUE(ClassifyReply(row, "", 7, methods).replyEmpty);
    EXPECT_EQ(row.state, "no data");
    EXPECT_FALSE(row.checked);
}

TEST(ClassifyReply, ColumnsFollowItemOrderAndStopAtTheColumnCount) {
    // An empty item takes a column; the missing "owner:" leaves its column alone.
    MethodTable methods = Methods("0;a;b;c\n2;a:;;owner:;b:;c:;taken\n");
    MemoryRow row(4);
    row.extra = {"x", "y", "z", "w"};
    ClassifyReply(row, "taken\nA: 1\nB: 2\nC: 3", 2, methods);
    EXPECT_EQ(row.extra, (Columns{"1", "y", "z", "w"}));

    MethodTable none = Methods("0\n2;a:;taken\n");
    MemoryRow untouched(1);
    ClassifyReply(untouched, "taken a: 1", 2, none);
    EXPECT_EQ(untouched.extra, (Columns{""}));
}

TEST(ClassifyReply, FailedSectionsStillCountTheirColumns) {
    MethodTable methods = Methods("0;a;b;c;d;e;f;g\n"
                                  "3;{2~ns:;ns:;;};~x~bad;r:;~~;~9~;r:;~~;tail:;taken\n");
    MemoryRow row(7);
    ClassifyReply(row, "taken\nns: one\n\nr: reg\ntail: t", 3, methods);
    // Section 2 of ns: is missing; the hand-written "~x~bad" and "~9~" count as missing too.
    EXPECT_EQ(row.extra, (Columns{"one", "", "", "", "", "", "t"}));

    MethodTable open = Methods("0;a;b\n3;~1~ns:;ns:;~2~ns:;ns:;taken\n");
    MemoryRow last(2);
    last.extra = {"old", "old"};
    ClassifyReply(last, "taken ns: 1", 3, open);
    EXPECT_EQ(last.extra, (Columns{"1", "old"}));
}

TEST(ClassifyReply, ColumnWriteFailureEndsExtractionQuietly) {
    MethodTable methods = Methods(kExampleFile);
    MemoryRow row(6);
    row.failingColumn = 2;
    ClassifyOutcome out = ClassifyReply(row, kExampleReply, 7, methods);
    EXPECT_EQ(out.state, ReplyState::NotAvailable);
    EXPECT_EQ(row.state, "is not available");
    EXPECT_EQ(row.extra, (Columns{"acme names ltd", "1998-02-11", "", "", "", ""}));
}

TEST(ClassifyReply, CrLfRepliesKeepWholeSectionsAndTrimValues) {
    MethodTable methods = Methods(kExampleFile);
    std::string reply = "Registrant: x\r\nRegistrar: R\r\n\r\nName server: A\r\nName server: B\r\n";
    MemoryRow row(6);
    ClassifyReply(row, reply, 7, methods);
    EXPECT_EQ(row.extra, (Columns{"r", "", "a", "b", "", ""}));
}

TEST(ClassifyReply, HugeAndBinaryRepliesAreHandled) {
    MethodTable methods = Methods(kExampleFile);
    std::string reply(6 << 20, '\0');
    for (std::size_t i = 0; i < reply.size(); ++i)
        reply[i] = static_cast<char>(i * 131 % 256);
    reply += "registrant: x\nregistrar: last";
    MemoryRow row(6);
    ClassifyReply(row, reply, 7, methods);
    EXPECT_EQ(row.state, "is not available");
    EXPECT_EQ(row.extra[0], "last");
}

// The phrase reported as deciding must be one that gave JudgeReply's verdict, for every order in
// which phrases of the three kinds can occur.
TEST(ClassifyReply, DecidingPhraseIsTheOneThatGaveTheVerdict) {
    const char* const phrases = "taken a|free a|hold a|taken b|free b|hold b||free c|";
    struct Case {
        const char* reply;
        ReplyState state;
        std::optional<DecidingPhrase> phrase;
    };
    const Case cases[] = {
        {"free b, free a", ReplyState::Available, DecidingPhrase{1, "free a"}},
        {"free c", ReplyState::Available, DecidingPhrase{7, "free c"}},
        {"free a, taken b", ReplyState::NotAvailable, DecidingPhrase{3, "taken b"}},
        {"taken b, taken a", ReplyState::NotAvailable, DecidingPhrase{0, "taken a"}},
        {"taken a, hold b, hold a", ReplyState::Hold, DecidingPhrase{2, "hold a"}},
        {"taken a, free a, hold b", ReplyState::Hold, DecidingPhrase{5, "hold b"}},
        {"nothing known", ReplyState::NoData, std::nullopt},
        {"", ReplyState::NoData, std::nullopt},
    };
    for (const Case& c : cases) {
        const Judgement j = JudgeReplyWithPhrase(c.reply, phrases);
        EXPECT_EQ(j.state, c.state) << c.reply;
        EXPECT_EQ(j.state, JudgeReply(c.reply, phrases)) << c.reply;
        EXPECT_EQ(j.phrase, c.phrase) << c.reply;
    }
}

} // namespace
} // namespace zendrel
