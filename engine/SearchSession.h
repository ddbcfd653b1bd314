#pragma once

#include "engine/CandidateGenerator.h"
#include "engine/CheckAllToggle.h"
#include "engine/ResultStore.h"
#include "engine/RowLookup.h"
#include "engine/RunState.h"
#include "engine/SearchListeners.h"
#include "engine/SearchRun.h"
#include "lookup/MethodTable.h"
#include "lookup/ZoneTable.h"

namespace zendrel {

class RunSettings;
class SearchWindow;
struct SearchInput;

// One search and everything it needs: the result rows, the zone and method tables, the run
// variables, the check-all toggle of the results header, the candidate generator and the run
// of lookups, wired to each other once. The window, the headless program, the tests and the
// benchmarks all search through it.
//
// The session (through its generator and run) is the only writer of the run variables; others
// read them here and act through the commands below. What a caller waits for (a refused
// search, a finished pass, the end of a run) reaches it as SearchListener events.
class SearchSession {
public:
    // `window` shows the run controls; `settings` is read whenever the run needs an option, so
    // a change applies at once. Both must outlive the session.
    SearchSession(MessageLoop& loop, SearchWindow& window, const RunSettings& settings);
    ~SearchSession();
    SearchSession(const SearchSession&) = delete;
    SearchSession& operator=(const SearchSession&) = delete;

    // --- tables and rows
    void setZoneTable(ZoneTable zones);
    // Also gives every row one text per extra column of the table.
    void setMethodTable(MethodTable methods);
    const ZoneTable& zones() const { return zones_; }
    const MethodTable& methods() const { return methods_; }
    ResultStore& rows() { return rows_; }
    const ResultStore& rows() const { return rows_; }

    // --- state, read only
    const RunVariables& variables() const { return vars_; }
    const CandidateGenerator& generator() const { return generator_; }
    // True while names are generated or rows looked up, or a lookup is still live.
    bool busy() const;
    bool dispatchTimerOn() const { return run_.timerActive(SearchRun::kDispatchTimer); }
    // The check-all toggle's counter (-1 after a run started, then 0 / 1 with each click).
    int headerToggleCounter() const { return toggle_.counter(); }
    // Rows waiting for their server (its pace, its pause after a refusal, or a retry).
    std::size_t waitingRows() const { return run_.waitingRows(); }
    // Rows whose DNS answer is awaited ("Check DNS first").
    std::size_t rowsInDns() const { return run_.rowsInDns(); }

    // --- commands
    // Search: a new list of rows from `input`, looked up while it grows. Refused (an event,
    // nothing else) while a search is under way.
    void search(const SearchInput& input);
    // Looks up the rows already in the list, as a search does once its rows are in.
    void lookUpRows();
    // Stop: ends generation, or aborts the live lookups and finishes the run.
    void stop();
    // Resume: looks up every row without a check mark again.
    void resume();
    // A click on results header `column`: the "Domain" header toggles every check mark.
    bool headerClick(int column);
    // The program is closing: stops generation and finishes a running search at once. The
    // session stays usable (a close may still be cancelled).
    void close();

    // --- events and plug-ins
    void addListener(SearchListener& listener) { listeners_.add(listener); }
    void removeListener(SearchListener& listener) { listeners_.remove(listener); }
    // Replaces the choice of lookup kind for each row (tests plug in scripted lookups).
    void setLookupFactory(RowLookupFactory make) { run_.setLookupFactory(std::move(make)); }

private:
    SearchWindow& window_;
    SearchListeners listeners_;
    RunVariables vars_;
    ResultStore rows_;
    ZoneTable zones_;
    MethodTable methods_;
    CheckAllToggle toggle_;
    // Declared after what they use, so they go first: the run releases its lookups and the
    // generator its idle work before the rows and tables they write to are gone.
    CandidateGenerator generator_;
    SearchRun run_;
};

} // namespace zendrel
