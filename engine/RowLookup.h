#pragma once

#include "engine/LookupOutcome.h"
#include "engine/RunSettings.h"
#include "platform/HiddenWindow.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace zendrel {

class MethodTable;
class ResultStore;
struct ZoneEntry;

// The side of the search run a lookup reports to. Calls keep the order the run depends on:
// state changes are queued behind what is already posted, the pause before a reply is read
// takes effect at once, and the end is queued so the lookup is never released from inside
// its own call.
class LookupHost {
public:
    virtual ~LookupHost() = default;
    // The time limit in seconds, read at every tick so a change applies to running lookups.
    virtual int lookupTimeLimit() const = 0;
    // Row `rowIndex`'s lookup entered client state `code` (1 "Ready" … 8 "Aborting").
    virtual void lookupStateChanged(std::int32_t rowIndex, int code) = 0;
    // A reply is about to be read: no new lookup may start until the lookup is finished.
    virtual void lookupEvaluating() = 0;
    // Row `rowIndex`'s lookup is over and may be released.
    virtual void lookupFinished(std::int32_t rowIndex) = 0;
    // Row `rowIndex`'s server refused to answer; true when the row has been refused so often
    // in this pass that it gives up ("no data") instead of waiting for a retry.
    virtual bool lookupRefused(std::int32_t rowIndex) = 0;
};

// What every lookup of a run shares: the loop it runs on, the run it reports to, the rows it
// writes and the method table its reply is read with.
struct LookupContext {
    MessageLoop& loop;
    LookupHost& host;
    ResultStore& rows;
    const MethodTable& methods;
};

// One row's lookup as the dispatcher hands it out.
struct LookupRequest {
    std::size_t row = 0;
    std::int32_t methodNumber = 0;   // the method that reads the reply
    std::string address;             // the zone's address with the row's name put in
    const ZoneEntry* zone = nullptr; // the row's zone line; the tables outlive every lookup
    ConnectionSettings connection{}; // the connection-settings values as they stood at the start
};

// The lookup of one result row: the part every kind of lookup shares. It shows the row's
// progress (state texts through the run, "Loading" texts, elapsed seconds), enforces the time
// limit, keeps the reply up to a cap and, when the transfer is over, has the reply classified
// into the row and tells the run. A kind (HTTP today) only moves the bytes: it starts in
// `begin`, hands what arrives to `received` and ends with `finish` exactly once.
class RowLookup {
public:
    // The largest reply kept: far above any real one, so a server that streams without end for
    // the whole time limit cannot exhaust memory. What arrived up to here is classified.
    static constexpr std::size_t kMaxReplyBytes = 4 * 1024 * 1024;
    static constexpr unsigned kSecondsTimer = 1;

    RowLookup(const LookupContext& context, LookupRequest request);
    virtual ~RowLookup();
    RowLookup(const RowLookup&) = delete;
    RowLookup& operator=(const RowLookup&) = delete;

    // Empties the State column, starts the seconds count and the transfer; returns at once.
    void start();
    // Ends the transfer at once; its end is still reported through `finish`, from the loop.
    virtual void abort() = 0;

    const LookupRequest& request() const { return request_; }
    std::size_t row() const { return request_.row; }
    std::int32_t rowIndex() const { return static_cast<std::int32_t>(request_.row); }
    // How the lookup ended; complete once the run was told it finished.
    const LookupOutcome& outcome() const { return outcome_; }
    // Seconds counted since the start (the timer's tag).
    int secondsTag() const { return tag_; }
    // The loop's time when the lookup started.
    Millis startedAt() const { return startedAt_; }
    const std::string& replyText() const { return reply_; }
    std::int32_t expectedLength() const { return expectedLength_; }

    // The seconds timer's tick: counts, shows the count, aborts once the limit is passed.
    void LookupTimerTick();

protected:
    const LookupContext& context() const { return context_; }
    // Starts the transfer of `request().address`.
    virtual void begin() = 0;
    // Shows client state `code` in the row, in order with everything the run has queued.
    void showState(int code);
    // Appends a piece of the reply (up to the cap) and shows how much has arrived.
    void received(std::string_view piece);
    // The announced length of the reply; 0 = unknown.
    void setExpectedLength(std::int32_t length) { expectedLength_ = length; }
    // The wait a refusing server asked for (a Retry-After value as sent).
    void setRetryAfter(std::string value) { outcome_.retryAfter = std::move(value); }
    // Says in words why the transfer failed (a certificate that is not trusted, …).
    void setFailureDetail(std::string text) { outcome_.detail = std::move(text); }
    // The transfer is over: classifies what arrived into the row and tells the run. A time-limit
    // abort is reported as such whatever `failure` the transfer saw.
    void finish(LookupFailure failure, int error, int httpStatus);

private:
    void onTimerMessage(const Message& m);
    // A refusal is no verdict: the row shows "waiting" for its retry, or gives up with "no
    // data" and a clear check mark so that Resume takes it again.
    void refused();

    LookupContext context_;
    LookupRequest request_;
    HiddenWindow<RowLookup> secondsTimer_;
    std::string reply_;
    std::int32_t expectedLength_ = 0;
    int tag_ = 0;
    Millis startedAt_ = 0;
    bool timedOut_ = false;
    LookupOutcome outcome_;
};

// Makes the lookup of the kind an address needs.
using RowLookupFactory =
    std::function<std::unique_ptr<RowLookup>(const LookupContext&, LookupRequest)>;

} // namespace zendrel
