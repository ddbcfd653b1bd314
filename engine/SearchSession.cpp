#include "engine/SearchSession.h"

#include "engine/SearchInput.h"

namespace zendrel {

SearchSession::SearchSession(MessageLoop& loop, SearchWindow& window, const RunSettings& settings)
    : window_(window), generator_(loop, vars_, rows_, window, listeners_),
      run_(loop, SearchRun::Parts{vars_, rows_, zones_, methods_, window, settings, toggle_,
                                  listeners_}) {
    generator_.setRunStartTarget(run_.targetId());
    run_.setRowsPending([this] { return generator_.addingRows(); });
}

// The members' order does the work: the run releases its lookups and the generator removes its
// idle work before the rows and tables they write to are destroyed.
SearchSession::~SearchSession() = default;

void SearchSession::setZoneTable(ZoneTable zones) {
    zones_ = std::move(zones);
    run_.zonesChanged();
}

void SearchSession::setMethodTable(MethodTable methods) {
    methods_ = std::move(methods);
    rows_.setExtraColumnCount(methods_.extraColumnCount());
}

bool SearchSession::busy() const {
    return vars_.runState != RunState::Idle || generator_.active() || vars_.activeLookups > 0;
}

void SearchSession::search(const SearchInput& input) {
    if (vars_.runState == RunState::Idle && !generator_.active())
        run_.resetPassCount();
    generator_.start(input);
}

void SearchSession::lookUpRows() {
    vars_.autoResumeCount = 0;
    vars_.runState = RunState::SearchRun;
    run_.resetPassCount();
    run_.post(WM_RUN_START);
}

void SearchSession::stop() {
    run_.sbStopClick();
}

void SearchSession::resume() {
    run_.resetPassCount();
    run_.sbResumeClick();
}

bool SearchSession::headerClick(int column) {
    return toggle_.columnClick(column, rows_, window_);
}

void SearchSession::close() {
    vars_.stopRequested = true;
    // A running search ends here (lookups aborted, end-of-run step), before anything the
    // program frees on its way out could be reached by it.
    run_.closeWindow();
}

} // namespace zendrel
