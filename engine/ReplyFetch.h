#pragma once

#include "engine/LookupOutcome.h"
#include "engine/ResultStore.h"
#include "engine/RowLookup.h"
#include "lookup/MethodTable.h"
#include "lookup/ZoneTable.h"
#include "platform/HiddenWindow.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zendrel {

class RunSettings;

// A reply fetched for one name outside any search.
struct FetchedReply {
    ZoneEntry line;      // the zone line it came through
    std::string address; // the address asked
    std::string body;    // as it arrived, before an RDAP line's conversion
    LookupOutcome outcome;
};

// Fetches the reply for one typed name now, through its line of the zone table, with the lookup
// a search would use for that line and the connection settings and time limit as they stand.
// Nothing is classified here: the caller reads the reply with whichever method it likes. Runs on
// the loop and never blocks; at most one fetch at a time.
class ReplyFetch final : private LookupHost {
public:
    using Progress = std::function<void(const std::string& state)>;
    using Done = std::function<void(const FetchedReply& reply)>;

    // `settings` gives the connection settings at the start and the time limit at every tick;
    // it must outlive the fetch.
    ReplyFetch(MessageLoop& loop, const RunSettings& settings);
    ~ReplyFetch() override;
    ReplyFetch(const ReplyFetch&) = delete;
    ReplyFetch& operator=(const ReplyFetch&) = delete;

    // Cancels any fetch under way and starts one for `name` (blanks trimmed, letters made small)
    // through the first line of `zones` that ends it. Returns the reason for the user when none
    // can start (no such line, no method number, an unusable address); otherwise `progress` gets
    // the client's state texts and `done` the reply, once, from the loop.
    std::optional<std::string> start(const ZoneTable& zones, std::string_view name,
                                     Progress progress, Done done);
    // Ends a fetch under way at once; its `done` is never called.
    void cancel();
    bool running() const { return lookup_ != nullptr; }

    // Replaces the choice of lookup kind (tests plug in scripted lookups).
    void setLookupFactory(RowLookupFactory make) { make_ = std::move(make); }

private:
    int lookupTimeLimit() const override;
    void lookupStateChanged(std::int32_t rowIndex, int code) override;
    void lookupEvaluating() override;
    void lookupFinished(std::int32_t rowIndex) override;
    bool lookupRefused(std::int32_t) override { return true; } // no retry here
    void onMessage(const Message& m);

    MessageLoop& loop_;
    const RunSettings& settings_;
    HiddenWindow<ReplyFetch> window_;
    RowLookupFactory make_;
    ResultStore rows_;    // the one row the lookup writes its progress into
    MethodTable methods_; // empty: the lookup's own verdict is not wanted
    FetchedReply reply_;
    Progress progress_;
    Done done_;
    std::unique_ptr<RowLookup> lookup_;
    std::intptr_t serial_ = 0; // tells this fetch's messages from a cancelled one's
};

} // namespace zendrel
