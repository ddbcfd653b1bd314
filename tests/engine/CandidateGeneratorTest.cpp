#include "engine/CandidateGenerator.h"

#include "engine/ResultStore.h"
#include "tests/engine/FakeSearchWindow.h"
#include "tests/engine/RecordingListener.h"
#include "tests/engine/SearchInputs.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zendrel {
namespace {

using Names = std::vector<std::string>;

// Stands in for the search run: notes how many rows existed when the run was told to start.
class RunStartProbe : public MessageTarget {
public:
    RunStartProbe(MessageLoop& loop, const ResultStore& store)
        : MessageTarget(loop), store_(store) {}
    std::vector<std::size_t> rowsAtStart;

protected:
    void handleMessage(const Message& m) override {
        if (m.msg == WM_RUN_START)
            rowsAtStart.push_back(store_.size());
    }

private:
    const ResultStore& store_;
};

class CandidateGeneratorTest : public ::testing::Test {
protected:
    ManualClock clock;
    MessageLoop loop{clock};
    RunVariables run;
    ResultStore store;
    test::FakeSearchWindow window;
    test::RecordingListener events;
    RunStartProbe probe{loop, store};
    CandidateGenerator gen{loop, run, store, window, events};

    CandidateGeneratorTest() { gen.setRunStartTarget(probe.targetId()); }

    Names captions() const {
        Names out;
        for (std::size_t i = 0; i < store.size(); ++i)
            out.emplace_back(store.caption(i));
        return out;
    }
    Names search(const SearchInput& in) {
        gen.start(in);
        loop.runUntilIdle();
        return captions();
    }
    // Sets stopRequested once `steps` further idle steps of the loop have run; idle work takes
    // turns, so the generator has then run about as many of its own.
    void stopAfter(int steps) {
        loop.addIdle([this, steps, n = 0]() mutable {
            if (++n < steps)
                return true;
            run.stopRequested = true;
            return false;
        });
    }
    void expectIdleWindow() {
        EXPECT_EQ(run.runState, RunState::Idle);
        EXPECT_TRUE(window.searchEnabled);
        EXPECT_FALSE(window.stopEnabled);
        EXPECT_TRUE(window.resumeEnabled);
        EXPECT_FALSE(window.progressVisible);
        EXPECT_EQ(window.progressPosition, 0);
        EXPECT_FALSE(gen.active());
    }
};

using test::withAdditional;
using test::words;

TEST_F(CandidateGeneratorTest, ProducesRowsInNameThenZoneOrder) {
    struct Case {
        const char* what;
        SearchInput in;
        Names rows;
    };
    SearchInput limit = words({"a--b", std::string(29, 'x'), std::string(30, 'y')});
    SearchInput tight = words({"a--b"});
    tight.maxLength = 4;
    const Case cases[] = {
        {"sorted ignoring case, zones sorted too",
         words({"web", "Apple", "net"}, {"org", "COM"}),
         {"Apple.COM", "Apple.org", "net.COM", "net.org", "web.COM", "web.org"}},
        {"first spelling wins", words({"Web", "web", "WEB"}), {"Web.com"}},
        {"pairs of two keywords",
         words({"net", "web"}, {"com"}, 2),
         {"net.com", "netweb.com", "web.com", "webnet.com"}},
        {"exclusive limit, a--b normalized", limit, {"ab.com", std::string(29, 'x') + ".com"}},
        {"a--b too long gets rows for ab", tight, {"ab.com"}},
        {"hyphen budget of one goes to the prefix",
         withAdditional(words({"shop"}), {{"x", "x", "my"}}, 1),
         {"my-shop.com", "myshop.com", "shop.com", "shopmy.com"}},
        {"hyphen budget of two",
         withAdditional(words({"shop"}), {{"x", "x", "my"}}, 2),
         {"my-shop.com", "myshop.com", "shop.com", "shop-my.com", "shopmy.com"}},
        {"no hyphens, suffix only",
         withAdditional(words({"shop"}), {{" ", "1", "my"}}, 0),
         {"shop.com", "shopmy.com"}},
        {"blank flag rows are ignored",
         withAdditional(words({"shop"}), {{" ", "\t", "zz"}, {"", "", "yy"}}, 1),
         {"shop.com"}},
        {"hyphens only names give no rows", words({"--", "-", "ok"}), {"ok.com"}},
        {"no keywords", words({}), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        run = RunVariables{};
        EXPECT_EQ(search(c.in), c.rows);
        EXPECT_EQ(run.runState, RunState::SearchRun);
        EXPECT_FALSE(gen.active());
        EXPECT_FALSE(window.progressVisible);
    }
}

TEST_F(CandidateGeneratorTest, CombinationAndStrippedHyphenMayGiveDuplicateRows) {
    SearchInput in = withAdditional(words({"my", "shop"}, {"com"}, 2), {{"1", "", "my"}}, 1);
    Names rows = search(in);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "myshop.com"), 2); // joined; my-shop stripped
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "my-shop.com"), 1);
}

// Twelve six-letter keywords joined up to four at a time under a limit of 20 characters: only
// names of one to three keywords fit. Joined names that cannot fit are never held, so at no step
// does the generator hold more names than it makes rows (besides the keywords themselves).
TEST_F(CandidateGeneratorTest, NamesBeyondTheLengthLimitAreNeverHeld) {
    Names keywords;
    for (char c = 'a'; c < 'a' + 12; ++c)
        keywords.push_back(std::string(6, c));
    SearchInput in = words(keywords, {"com"}, 4);
    in.maxLength = 20;
    std::size_t most = 0;
    int highestBar = 0;
    gen.start(in);
    loop.addIdle([&] {
        most = std::max(most, gen.namesHeld());
        highestBar = std::max(highestBar, window.progressPosition);
        return gen.active();
    });
    loop.runUntilIdle();
    const std::size_t rows = 12 + 12 * 11 + 12 * 11 * 10;
    EXPECT_EQ(store.size(), rows);
    EXPECT_LE(most, rows + keywords.size());
    // Tuples passed over still count: 12^4 tuples and 1464 rows of an estimated
    // 2 * (12 + 12^4) steps put the bar at 22200 * 10000 / 41496 units before it is reset.
    EXPECT_EQ(highestBar, 5349);
}

// Dropping names early must not change which rows come out, in which order or spelling: under
// a limit, the rows are exactly those made without one whose name is short enough. Keywords and
// words without hyphens keep every row's name as long as the name it was made from.
TEST_F(CandidateGeneratorTest, LengthLimitOnlyRemovesRowsThatAreTooLong) {
    const Names pool = {"ab", "AB", "b", "ba", "c", "Cab", "abc", "d"};
    const Names extras = {"my", "x", "MY"};
    unsigned seed = 7;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int round = 0; round < 40; ++round) {
        SearchInput in = words({}, {"com"}, 1 + static_cast<int>(next(3)));
        for (unsigned i = 0, n = 2 + next(4); i < n; ++i)
            in.keywords.push_back(pool[next(pool.size())]);
        if (next(2) == 1) {
            std::vector<AdditionalWordRow> rows;
            for (unsigned i = 0, n = 1 + next(2); i < n; ++i)
                rows.push_back({next(2) ? "1" : "", next(2) ? "1" : "", extras[next(3)]});
            in = withAdditional(in, rows, static_cast<int>(next(3)));
        }
        in.maxLength = 63;
        run = RunVariables{};
        const Names unlimited = search(in);
        for (int limit = 1; limit <= 9; ++limit) {
            SCOPED_TRACE("round " + std::to_string(round) + ", limit " + std::to_string(limit));
            Names expected;
            for (const std::string& row : unlimited)
                if (row.size() - 4 < static_cast<std::size_t>(limit))
                    expected.push_back(row);
            in.maxLength = limit;
            run = RunVariables{};
            EXPECT_EQ(search(in), expected);
        }
    }
}

TEST_F(CandidateGeneratorTest, RunStartIsPostedOnceBeforeTheFirstRow) {
    search(words({"a", "b"}, {"com", "net"}));
    EXPECT_EQ(probe.rowsAtStart, std::vector<std::size_t>{0});
    EXPECT_EQ(store.size(), 4u);
    EXPECT_EQ(run.autoResumeCount, 0);
    EXPECT_FALSE(window.searchEnabled);
    EXPECT_TRUE(window.stopEnabled);
    EXPECT_FALSE(window.resumeEnabled);
}

TEST_F(CandidateGeneratorTest, NoZoneIsRefusedAndReturnsToIdle) {
    store.append("old.com");
    run.autoResumeCount = 3;
    search(words({"shop"}, {}));
    EXPECT_EQ(events.noZone, 1);
    EXPECT_EQ(events.ended, (std::vector<SearchEnd>{SearchEnd::NoZone}));
    EXPECT_EQ(store.size(), 0u);
    EXPECT_TRUE(run.stopRequested);
    EXPECT_EQ(run.autoResumeCount, 0);
    EXPECT_TRUE(probe.rowsAtStart.empty());
    expectIdleWindow();
}

TEST_F(CandidateGeneratorTest, SearchWhileRunIsActiveDoesNothing) {
    run.runState = RunState::ResumeRun;
    run.autoResumeCount = 2;
    store.append("kept.com");
    search(words({"shop"}));
    EXPECT_EQ(captions(), Names{"kept.com"});
    EXPECT_EQ(run.autoResumeCount, 0);
    EXPECT_EQ(run.runState, RunState::ResumeRun);
}

TEST_F(CandidateGeneratorTest, StopDuringGenerationAddsNoRows) {
    SearchInput combine = words({"a", "b", "c", "d", "e"}, {"com"}, 4);
    SearchInput additional =
        withAdditional(words({"a", "b", "c", "d", "e"}), {{"1", "1", "x"}, {"1", "", "y"}}, 1);
    for (const SearchInput* in : {&combine, &additional}) {
        run = RunVariables{};
        stopAfter(5);
        search(*in);
        EXPECT_EQ(store.size(), 0u);
        EXPECT_TRUE(probe.rowsAtStart.empty());
        EXPECT_EQ(events.noZone, 0);
        ASSERT_FALSE(events.ended.empty());
        EXPECT_EQ(events.ended.back(), SearchEnd::Stopped);
        expectIdleWindow();
    }
    EXPECT_EQ(events.ended.size(), 2u);
}

TEST_F(CandidateGeneratorTest, StopDuringRowPhaseKeepsRowsMadeSoFar) {
    stopAfter(8);
    search(words({"a", "b", "c", "d", "e", "f"}, {"com", "net"}));
    EXPECT_GT(store.size(), 0u);
    EXPECT_LT(store.size(), 12u);
    EXPECT_EQ(store.caption(0), "a.com");
    EXPECT_EQ(probe.rowsAtStart.size(), 1u);
    EXPECT_EQ(run.runState, RunState::SearchRun); // the run itself finishes it
    EXPECT_FALSE(gen.active());
    EXPECT_FALSE(window.progressVisible);
}

TEST_F(CandidateGeneratorTest, FailingStepEndsTheSearchAndIsReported) {
    std::vector<std::string> reported;
    loop.setFailureHook([&](const std::string& what) { reported.push_back(what); });

    window.failAtPositionCall = 2; // the first tuple's progress step
    search(words({"a", "b", "c", "d"}, {"com"}, 2));
    EXPECT_EQ(reported, std::vector<std::string>{"progress bar gone"});
    EXPECT_TRUE(run.stopRequested);
    EXPECT_EQ(store.size(), 0u);
    expectIdleWindow();

    // During the row phase the run has begun: it is left to finish the stopped run.
    run = RunVariables{};
    window.positionCalls = 0;
    window.failAtPositionCall = 3;
    search(words({"a", "b", "c", "d"}));
    EXPECT_EQ(reported.size(), 2u);
    EXPECT_TRUE(run.stopRequested);
    EXPECT_EQ(run.runState, RunState::SearchRun);
    EXPECT_EQ(store.size(), 2u);
    EXPECT_FALSE(gen.active());
    EXPECT_FALSE(window.progressVisible);
}

TEST_F(CandidateGeneratorTest, ProgressFollowsStepsAndScalesHugeCounts) {
    gen.start(words({"a", "b", "c"}, {"com", "net"}));
    // (|Z| + 1) * |K| = 9 steps estimated; the bar starts visible at 0.
    EXPECT_TRUE(window.progressVisible);
    EXPECT_EQ(window.progressMaximum, 9);
    EXPECT_EQ(window.progressPosition, 0);
    loop.runUntilIdle();
    EXPECT_EQ(window.positionCalls, 1 + 6 + 1); // start, one per row, reset at the end

    Names many;
    for (int i = 0; i < 20; ++i) {
        // Appended, not "k" + ...: GCC 12 misreads that insert at the front as an overlap.
        many.emplace_back(1, 'k');
        many.back() += std::to_string(i);
    }
    run = RunVariables{};
    stopAfter(3);
    gen.start(words(many, {"com"}, 10)); // 20^10 tuples: far beyond any bar
    EXPECT_EQ(window.progressMaximum, static_cast<int>(ProgressMeter::kBarUnits));
    loop.runUntilIdle();
    expectIdleWindow();
}

TEST(ProgressMeter, MovesInUnitsAndSaturates) {
    test::FakeSearchWindow window;
    ProgressMeter meter(window);
    meter.start(30000);
    EXPECT_EQ(window.progressMaximum, 10000);
    meter.step();
    meter.step();
    EXPECT_EQ(window.progressPosition, 0);
    meter.step();
    EXPECT_EQ(window.progressPosition, 1);
    for (int i = 0; i < 40000; ++i)
        meter.step();
    EXPECT_EQ(window.progressPosition, 10000); // steps beyond the estimate stay at the end

    meter.start(UINT64_MAX);
    for (int i = 0; i < 1000; ++i)
        meter.step();
    EXPECT_EQ(window.progressPosition, 0);
    meter.finish();
    EXPECT_FALSE(window.progressVisible);

    EXPECT_EQ(ProgressMeter::saturatingPow(20, 10), 10240000000000ull);
    EXPECT_EQ(ProgressMeter::saturatingPow(1000, 10), UINT64_MAX);
    EXPECT_EQ(ProgressMeter::saturatingMul(UINT64_MAX / 2, 3), UINT64_MAX);
    EXPECT_EQ(ProgressMeter::saturatingAdd(UINT64_MAX, 1), UINT64_MAX);
}

} // namespace
} // namespace zendrel
