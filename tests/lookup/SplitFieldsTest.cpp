#include "lookup/SplitFields.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel {
namespace {

using Items = std::vector<std::string>;

TEST(SplitFields, KeepsEmptyAndUntrimmedItems) {
    EXPECT_TRUE(SplitFields(';', "").empty());
    EXPECT_EQ(SplitFields(';', "a;"), (Items{"a", ""}));
    EXPECT_EQ(SplitFields(';', ";"), (Items{"", ""}));
    EXPECT_EQ(SplitFields(';', "a;;b"), (Items{"a", "", "b"}));
    EXPECT_EQ(SplitFields('|', " x |y"), (Items{" x ", "y"}));
    EXPECT_EQ(SplitFields(';', std::string("\0;\xff", 3)), (Items{std::string(1, '\0'), "\xff"}));
}

} // namespace
} // namespace zendrel
