#include "engine/StoreReplyRow.h"

#include "engine/ResultStore.h"
#include "lookup/ClassifyReply.h"
#include "lookup/MethodTable.h"

#include <gtest/gtest.h>

namespace zendrel {
namespace {

const char* const kMethods = "0;Registrar;Created;Server 1;Server 2;Server 3\n"
                             "7; Registrar: ;created:;{2~Name server:;name server:;};"
                             "registrant:|no match for|status: hold\n";

const char* const kTakenReply = "Registrar: Acme Names Ltd (ACME-1)\n"
                                "Created: 1998-02-11\n"
                                "Registrant: Somebody\n"
                                "\n"
                                "Name server: NS-ONE\n"
                                "Name server: NS-TWO\n";

class StoreReplyRowTest : public ::testing::Test {
protected:
    MethodTable methods;
    ResultStore rows;

    StoreReplyRowTest() {
        ReadMethodTable(kMethods, methods);
        rows.append("first.com");
        rows.append("example.com");
    }
};

TEST_F(StoreReplyRowTest, ClassificationLandsInStateCheckAndExtraSubItems) {
    rows.setExtraColumnCount(methods.extraColumnCount());
    rows.setChecked(1, true);
    StoreReplyRow row(rows, 1);
    ClassifyOutcome out = ClassifyReply(row, kTakenReply, 7, methods);
    EXPECT_EQ(out.state, ReplyState::NotAvailable);
    EXPECT_EQ(rows.subItem(1, ResultStore::kState), "is not available");
    EXPECT_FALSE(rows.checked(1));
    EXPECT_EQ(rows.subItem(1, 2), "acme names ltd");
    EXPECT_EQ(rows.subItem(1, 3), "1998-02-11");
    EXPECT_EQ(rows.subItem(1, 4), "ns-one");
    EXPECT_EQ(rows.subItem(1, 5), "ns-two");
    EXPECT_EQ(rows.subItem(0, ResultStore::kState), ""); // the neighbour is untouched

    StoreReplyRow free(rows, 0);
    ClassifyReply(free, "No match for first.com", 7, methods);
    EXPECT_EQ(rows.subItem(0, ResultStore::kState), "is available");
    EXPECT_TRUE(rows.checked(0));
}

TEST_F(StoreReplyRowTest, ColumnsBeyondTheRowStopExtraction) {
    rows.setExtraColumnCount(1);
    StoreReplyRow row(rows, 1);
    EXPECT_THROW(row.setExtraColumn(1, "x"), std::out_of_range);
    EXPECT_THROW(row.setExtraColumn(-1, "x"), std::out_of_range);
    ClassifyReply(row, kTakenReply, 7, methods);
    EXPECT_EQ(rows.subItem(1, 2), "acme names ltd");
    EXPECT_EQ(rows.subItem(1, 3), ""); // the final sub-item that nothing fills

    StoreReplyRow gone(rows, 9); // rows deleted since the lookup began
    EXPECT_NO_THROW(gone.setStateText("hold"));
    EXPECT_THROW(gone.setExtraColumn(0, "x"), std::out_of_range);
    EXPECT_EQ(rows.size(), 2u);
}

} // namespace
} // namespace zendrel
