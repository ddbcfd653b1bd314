#pragma once

#include "engine/DnsPrecheck.h"
#include "engine/HeldRows.h"
#include "engine/RowLookup.h"
#include "engine/RowRefusals.h"
#include "engine/RunState.h"
#include "engine/ZoneServers.h"
#include "platform/MessageTarget.h"

#include <cstddef>
#include <functional>
#include <string>

namespace zendrel {

class CheckAllToggle;
class MethodTable;
class ResultStore;
class RunSettings;
class SearchListener;
class SearchWindow;
class ZoneTable;

// The run of a search: looks the result rows up several at a time, driven by its private
// messages and the 10 ms dispatch timer, and ends with the summary. It is the target of those
// messages and owns every live row lookup (kept in its row's slot until released).
//
// The dispatcher hands rows out in list order, one per tick while a connection is free;
// `nextRowToDispatch` is the one place that decides which row comes next, and `dispatchRow`
// the one place that turns a row into a lookup (zone line, method, address, lookup kind).
//
// Lines that reach real registries (https://, whois://, any line with options) are paced per
// server: a row whose server cannot take a lookup yet is set aside while rows of other servers
// go ahead, and comes back, in its server's list order, once the server can. A refused row
// waits the same way for its retry. Plain four-field http:// lines are never held back.
//
// With "Check DNS first", a row of a zone without `nodns` is first asked about in DNS (apart
// from the connections); a delegated name is "is not available" at once, any other row waits
// for its server like the rest.
class SearchRun final : public MessageTarget, private LookupHost {
public:
    static constexpr unsigned kDispatchTimer = 1; // gTimer
    static constexpr int kDispatchInterval = 10;  // ms

    struct Parts {
        RunVariables& run;
        ResultStore& rows;
        const ZoneTable& zones;
        const MethodTable& methods;
        SearchWindow& window;
        const RunSettings& settings;
        CheckAllToggle& toggle;
        SearchListener& events;
    };

    SearchRun(MessageLoop& loop, const Parts& parts);
    ~SearchRun() override;

    // Set when generation may still append rows: a pass is not complete while it does, however
    // far the dispatcher has got.
    void setRowsPending(std::function<bool()> pending) { rowsPending_ = std::move(pending); }
    // Replaces the choice of lookup kind (tests plug in their own); MakeRowLookup by default.
    void setLookupFactory(RowLookupFactory make) { makeLookup_ = std::move(make); }
    // Passes are counted from here (a new search, or Resume pressed by the user).
    void resetPassCount() { passes_ = 0; }
    // The zone table changed: its lines' servers are found again.
    void zonesChanged();
    // Rows waiting for their server: set aside for its pace or pause, or refused.
    std::size_t waitingRows() const { return held_.size(); }
    // Rows whose DNS answer is awaited.
    std::size_t rowsInDns() const { return dns_.pending(); }

    void StartRun();
    void gTimerTimer();
    void DispatchNext();
    void LookupDone(std::intptr_t rowIndex);
    void ShowLookupState(std::intptr_t code, std::intptr_t rowIndex);
    void FinishRun();
    void sbStopClick();
    void sbResumeClick();
    // The window is closing: stop, and finish a running search at once.
    void closeWindow();

    bool dispatchEnabled() const { return dispatchEnabled_; }
    void switchDispatchTimer(bool on);

    // The State text for a client state code 1..8; empty for any other code.
    static const char* StateText(std::intptr_t code);

protected:
    void handleMessage(const Message& m) override;

private:
    // LookupHost: what the row lookups report.
    int lookupTimeLimit() const override;
    void lookupStateChanged(std::int32_t rowIndex, int code) override;
    void lookupEvaluating() override;
    void lookupFinished(std::int32_t rowIndex) override;
    bool lookupRefused(std::int32_t rowIndex) override;

    bool running() const;
    std::size_t nextRowToDispatch() const;
    bool dispatchHeldRow();
    enum class Route { Now, SetAside, Later };
    Route route(std::size_t row);
    bool wantsDns(const ZoneEntry* zone) const;
    void dnsAnswered(std::size_t row, bool delegated);
    void dispatchRow(std::size_t row);
    void startLookup(LookupRequest request);
    void endOfPass();
    void releaseConnection(std::size_t row);
    void noteServerAnswer(std::size_t row, const ZoneEntry* zone, const LookupOutcome& outcome,
                          Millis startedAt);

    Parts p_;
    bool dispatchEnabled_ = false;
    int passes_ = 0;
    std::function<bool()> rowsPending_;
    RowLookupFactory makeLookup_;
    ZoneServers servers_;
    HeldRows held_;
    RowRefusals refusals_;
    DnsPrecheck dns_;
    bool dnsOn_ = false; // "Check DNS first", as it stood when the pass started
};

} // namespace zendrel
