#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zendrel {

class ResultStore;

// What a row's State says about its lookup: one of the three verdicts; no answer ("no data",
// and "no method", which is no answer either); refused and queued for a retry ("waiting"); or
// still open (never looked up, or a progress text while the lookup runs).
enum class StateGroup : std::uint8_t { Available, NotAvailable, Hold, NoData, Waiting, Open };

StateGroup StateGroupOf(std::string_view state);

// Whether a row in `group` has come to the end of its lookup.
inline bool LookupEnded(StateGroup group) {
    return group != StateGroup::Waiting && group != StateGroup::Open;
}

// How many rows stand in each group.
struct RowStateCounts {
    std::size_t available = 0;
    std::size_t notAvailable = 0;
    std::size_t hold = 0;
    std::size_t noData = 0;
    std::size_t waiting = 0;
    std::size_t open = 0;

    std::size_t done() const { return available + notAvailable + hold + noData; }
    std::size_t total() const { return done() + waiting + open; }
    void add(StateGroup group);
    RowStateCounts& operator+=(const RowStateCounts& other);
};

// Counts the rows of `rows` from `first` on by State: one pass over them.
RowStateCounts CountRowStates(const ResultStore& rows, std::size_t first = 0);

} // namespace zendrel
