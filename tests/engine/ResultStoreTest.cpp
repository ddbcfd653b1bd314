#include "engine/ResultStore.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel {
namespace {

struct RecordingObserver : ResultStoreObserver {
    std::vector<std::string> calls;
    void rowsAppended(std::size_t first, std::size_t count) override {
        calls.push_back("append " + std::to_string(first) + "+" + std::to_string(count));
    }
    void rowChanged(std::size_t row) override { calls.push_back("change " + std::to_string(row)); }
    void storeReset() override { calls.push_back("reset"); }
};

ResultStore& fill(ResultStore& s, int n) {
    for (int i = 0; i < n; ++i)
        s.append("name" + std::to_string(i) + ".com");
    return s;
}

TEST(ResultStore, WritesLandOnlyInValidCells) {
    ResultStore s;
    s.setExtraColumnCount(1); // State, Time, one extra, one empty: indexes 0..3
    EXPECT_EQ(s.subItemCount(), 4);
    fill(s, 2);
    EXPECT_FALSE(s.checked(1));
    EXPECT_EQ(s.connection(1), nullptr);
    s.setSubItem(1, ResultStore::kState, "is available");
    s.setSubItem(1, 3, "last");
    s.setSubItem(1, 4, "beyond");
    s.setSubItem(1, -1, "negative");
    s.setSubItem(7, 0, "no such row");
    EXPECT_EQ(s.subItem(1, 0), "is available");
    EXPECT_EQ(s.subItem(1, 3), "last");
    EXPECT_EQ(s.subItem(1, 4), "");
    EXPECT_EQ(s.subItem(0, 0), "");
    EXPECT_EQ(s.subItem(7, 0), "");
    EXPECT_EQ(s.caption(7), "");
    s.setSubItem(1, 0, "");
    EXPECT_EQ(s.subItem(1, 0), "");
    EXPECT_EQ(s.subItem(1, 3), "last");
}

// A million looked-up rows mostly carry only State and Time; the extracted fields of a wide
// method table must not cost room in every one of them.
TEST(ResultStore, ExtractedFieldsTakeRoomOnlyOnceWritten) {
    ResultStore s;
    s.setExtraColumnCount(20);
    fill(s, 2);
    const std::size_t bare = s.bytesUsed();
    s.setSubItem(0, ResultStore::kState, "no data");
    s.setSubItem(0, ResultStore::kTime, "3");
    const std::size_t progress = s.bytesUsed() - bare;
    EXPECT_LT(progress, 8 * sizeof(std::string)) << "State and Time alone";
    s.setSubItem(1, ResultStore::kFirstExtra + 19, "last field");
    EXPECT_GT(s.bytesUsed() - bare - progress, 20 * sizeof(std::string));
    EXPECT_EQ(s.subItem(0, ResultStore::kFirstExtra), "");
    EXPECT_EQ(s.subItem(1, ResultStore::kFirstExtra + 19), "last field");
    EXPECT_EQ(s.subItem(1, ResultStore::kFirstExtra + 18), "");
}

TEST(ResultStore, RemoveIfCompactsInOrderKeepingEveryField) {
    ResultStore s;
    s.setExtraColumnCount(0);
    fill(s, 10);
    auto* conn = reinterpret_cast<RowLookup*>(&s);
    for (std::size_t i = 0; i < 10; ++i)
        s.setSubItem(i, ResultStore::kTime, std::to_string(i * 100));
    s.setChecked(7, true);
    s.setConnection(9, conn);
    // The predicate reads each row through the store, as the end of a run does.
    std::size_t removed = s.removeIf([&s](std::size_t i) {
        return std::stoi(std::string(s.subItem(i, ResultStore::kTime))) % 300 != 100;
    });
    EXPECT_EQ(removed, 7u);
    ASSERT_EQ(s.size(), 3u);
    const char* names[] = {"name1.com", "name4.com", "name7.com"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(s.caption(i), names[i]);
        EXPECT_EQ(s.subItem(i, ResultStore::kTime), std::to_string((3 * i + 1) * 100));
    }
    EXPECT_TRUE(s.checked(2));
    EXPECT_FALSE(s.checked(0));
    EXPECT_EQ(s.connection(2), nullptr);
    // Appending after compaction must not reuse stale caption bytes.
    s.append("fresh.net");
    EXPECT_EQ(s.caption(3), "fresh.net");
    EXPECT_EQ(s.removeIf([](std::size_t) { return false; }), 0u);
    EXPECT_EQ(s.removeIf([](std::size_t) { return true; }), 4u);
    EXPECT_EQ(s.size(), 0u);
}

TEST(ResultStore, ObserverHearsEachChangeOnce) {
    ResultStore s;
    RecordingObserver o;
    s.setObserver(&o);
    fill(s, 2);
    s.setSubItem(1, 0, "hold");
    s.setSubItem(0, 0, ""); // nothing stored, nothing to repaint
    s.setChecked(0, true);
    s.setChecked(0, true);
    s.setAllChecked(false);
    s.removeIf([](std::size_t i) { return i == 0; });
    s.clear();
    std::vector<std::string> want = {"append 0+1", "append 1+1", "change 1", "change 0",
                                     "reset",      "reset",      "reset"};
    EXPECT_EQ(o.calls, want);
    EXPECT_EQ(s.size(), 0u);
}

} // namespace
} // namespace zendrel
