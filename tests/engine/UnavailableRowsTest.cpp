#include "engine/UnavailableRows.h"

#include "engine/ResultStore.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace zendrel {
namespace {

struct Cells {
    std::string caption, state, time;
    bool checked;
};

// The walk as the end of a run describes it: from the first row, delete each unavailable row
// and look at the same index again.
std::vector<std::string> WalkOneByOne(std::vector<Cells> rows) {
    for (std::size_t i = 0; i < rows.size();) {
        const Cells& r = rows[i];
        if (!r.checked && r.time == "~" && r.state != "no data")
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
    std::vector<std::string> captions;
    for (const Cells& r : rows)
        captions.push_back(r.caption);
    return captions;
}

// The first extra column of a row: "x" and the row's number. Appended, not "x" + ...: GCC 12
// misreads that insert at the front as an overlap.
std::string extra(const std::string& number) {
    std::string text(1, 'x');
    text += number;
    return text;
}

TEST(UnavailableRows, CompactingPassKeepsWhatTheOneByOneWalkKeeps) {
    const std::vector<std::string> states = {"is not available", "is available", "hold",
                                             "no data",          "no method",    "",
                                             "Loading 5 bt",     "WaitingHeader"};
    const std::vector<std::string> times = {"~", "", "3", "~", "12"};
    std::mt19937 random(7);
    std::vector<Cells> cells;
    ResultStore store;
    store.setExtraColumnCount(2);
    for (int i = 0; i < 5000; ++i) {
        Cells c{"name" + std::to_string(i) + ".com", states[random() % states.size()],
                times[random() % times.size()], random() % 3 == 0};
        const std::size_t row = store.append(c.caption);
        store.setSubItem(row, ResultStore::kState, c.state);
        store.setSubItem(row, ResultStore::kTime, c.time);
        store.setSubItem(row, ResultStore::kFirstExtra, extra(std::to_string(i)));
        store.setChecked(row, c.checked);
        cells.push_back(c);
    }
    const std::vector<std::string> expected = WalkOneByOne(cells);
    ASSERT_LT(expected.size(), cells.size());
    EXPECT_EQ(DeleteUnavailableRows(store), cells.size() - expected.size());
    ASSERT_EQ(store.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(store.caption(i), expected[i]);
        // A kept row keeps its own texts, not those of a row that was deleted before it.
        EXPECT_EQ(store.subItem(i, ResultStore::kFirstExtra),
                  extra(expected[i].substr(4, expected[i].size() - 8)));
    }
}

} // namespace
} // namespace zendrel
