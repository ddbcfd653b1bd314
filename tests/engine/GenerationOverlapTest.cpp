#include "engine/CandidateGenerator.h"
#include "tests/engine/RunHarness.h"

#include <gtest/gtest.h>
#include <optional>

namespace zendrel {
namespace {

using test::RunHarness;

// Lookups and generation share one thread: the dispatcher must pick rows up while the generator
// is still appending them, and a full set of live lookups must not hold generation back.
// Every generator step is made to cost one virtual millisecond, so the 10 ms dispatch timer
// falls due between steps exactly as it would on a busy machine.
class GenerationOverlap : public ::testing::Test {
protected:
    static constexpr int kLinks = 100;

    struct Seen {
        std::optional<Millis> firstRow;
        std::optional<Millis> firstLookup;
        std::size_t rowsAtFirstLookup = 0;
        bool addingAtFirstLookup = false;
        std::optional<std::size_t> rowsWhenAllLive;
    };

    GenerationOverlap() {
        // The gateway holds every reply far longer than the test runs: lookups stay live.
        h.rows.setObserver(nullptr);
        h.settings.links = kLinks;
    }

    // 60 keywords joined in pairs, two zones: 7,200 rows.
    static SearchInput largeSearch() {
        SearchInput in;
        for (char a = 'a'; a < 'a' + 6; ++a)
            for (char b = 'a'; b < 'a' + 10; ++b)
                in.keywords.push_back(std::string("kw") + a + b);
        in.combinations = 2;
        in.zones = {"com", "net"};
        return in;
    }

    // Runs the search until generation ends, one virtual millisecond per generator step.
    Seen generate() {
        Seen seen;
        h.session.search(largeSearch());
        h.loop.addIdle([this, &seen] {
            h.clock.set(h.clock.now() + 1);
            observe(seen);
            return gen.active();
        });
        for (int pass = 0; pass < 100000 && gen.active(); ++pass)
            h.loop.runPending(5);
        return seen;
    }

    void observe(Seen& seen) {
        const Millis now = h.clock.now();
        if (!seen.firstRow && h.rows.size() > 0)
            seen.firstRow = now;
        if (!seen.firstLookup && h.vars.activeLookups > 0) {
            seen.firstLookup = now;
            seen.rowsAtFirstLookup = h.rows.size();
            seen.addingAtFirstLookup = gen.addingRows();
        }
        if (!seen.rowsWhenAllLive && h.vars.activeLookups == kLinks)
            seen.rowsWhenAllLive = h.rows.size();
    }

    RunHarness h{{"--delay-ms", "60000"}};
    const CandidateGenerator& gen = h.session.generator();
};

TEST_F(GenerationOverlap, LookupsStartWithTheFirstRowsAndGenerationGoesOnWhileAllAreLive) {
    const Seen seen = generate();
    ASSERT_FALSE(gen.active());
    const std::size_t total = h.rows.size();
    EXPECT_EQ(total, 7200u);

    ASSERT_TRUE(seen.firstRow && seen.firstLookup);
    EXPECT_LE(*seen.firstLookup - *seen.firstRow, 3 * SearchRun::kDispatchInterval)
        << "the first lookup waits no more than a few ticks for the first row";
    EXPECT_TRUE(seen.addingAtFirstLookup);
    EXPECT_LT(seen.rowsAtFirstLookup, total / 10);

    ASSERT_TRUE(seen.rowsWhenAllLive) << "the connection limit was reached during generation";
    EXPECT_GT(total - *seen.rowsWhenAllLive, total / 2)
        << "most rows were appended while every connection was busy";
    EXPECT_EQ(h.vars.activeLookups, kLinks);
    EXPECT_EQ(h.vars.runState, RunState::SearchRun);
    EXPECT_TRUE(h.events.passes.empty()) << "the pass is not over while lookups are live";
    EXPECT_TRUE(h.events.finished.empty()) << "the run is not over while lookups are live";

    h.session.stop();
    ASSERT_TRUE(h.pumpUntilCompleted(1000));
    EXPECT_EQ(h.liveConnections(), 0u);
    EXPECT_EQ(h.vars.runState, RunState::Idle);
    EXPECT_EQ(h.events.ended, (std::vector<SearchEnd>{SearchEnd::Stopped}));
    EXPECT_TRUE(h.failures.empty());
}

} // namespace
} // namespace zendrel
