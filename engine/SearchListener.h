#pragma once

#include <cstddef>
#include <cstdint>

namespace zendrel {

struct LookupOutcome;

// How a run of lookups ended: it finished its passes, or Stop (or closing) cut it short.
enum class RunEnd : std::uint8_t {
    Completed,
    Stopped,
};

// How a whole search ended, once the session is idle again.
enum class SearchEnd : std::uint8_t {
    Completed, // every pass over the rows was done
    Stopped,   // Stop, closing or a failed generation step ended it early
    NoZone,    // Search was refused: no zone was checked
};

// What a search tells the program that drives it. Every call comes from the loop at the moment
// the fact becomes true, so a handler that opens a modal dialog holds the search right there (as
// the summary box always has). Handlers do nothing by default.
class SearchListener {
public:
    virtual ~SearchListener() = default;

    // Search was refused because no zone is checked; nothing was generated.
    virtual void noZoneChecked() {}
    // Pass `pass` (1 for the search itself, then one per resume) handed out every row and no
    // lookup is live any more; an automatic resume or the end of the run follows.
    virtual void passFinished(int pass) { (void)pass; }
    // The lookup of `row` ended and its reply was read; `outcome` says how it went.
    virtual void lookupEnded(std::size_t row, const LookupOutcome& outcome) {
        (void)row;
        (void)outcome;
    }
    // The run's end has been carried out (lookups released, unavailable rows deleted when so
    // chosen): the moment of the summary message.
    virtual void runFinished(RunEnd end) { (void)end; }
    // The session is idle again: nothing is generated, looked up or pending.
    virtual void searchEnded(SearchEnd end) { (void)end; }
};

} // namespace zendrel
