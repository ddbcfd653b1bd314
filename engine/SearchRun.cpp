#include "engine/SearchRun.h"

#include "engine/CheckAllToggle.h"
#include "engine/ResultStore.h"
#include "engine/RetryAfter.h"
#include "engine/RowLookupKinds.h"
#include "engine/RunSettings.h"
#include "engine/SearchListener.h"
#include "engine/SearchWindow.h"
#include "engine/UnavailableRows.h"
#include "lookup/MethodTable.h"
#include "lookup/TextRules.h"
#include "lookup/UrlTemplate.h"
#include "lookup/ZoneTable.h"
#include "platform/MessageLoop.h"

#include <ctime>

namespace zendrel {

namespace {

// How many rows one tick may pass over to find one whose server can take a lookup, and how
// many rows may wait at most: beyond that the dispatcher only takes waiting rows, so a search
// of millions of rows against one slow server neither scans nor holds them all.
constexpr int kLookAhead = 64;
constexpr std::size_t kMostWaiting = 100000;

constexpr const char* kStateTexts[] = {
    "",          "Ready",         "NotConnected",  "Connected",
    "DnsLookup", "DnsLookupDone", "WaitingHeader", "WaitingBody",
    "Aborting",
};

} // namespace

SearchRun::SearchRun(MessageLoop& loop, const Parts& parts)
    : MessageTarget(loop), p_(parts), makeLookup_(MakeRowLookup),
      dns_(loop, [this](std::size_t row, bool delegated) { dnsAnswered(row, delegated); }) {}

SearchRun::~SearchRun() {
    // Lookups live in the rows' slots; none may outlive the run that owns them.
    for (std::size_t i = 0; i < p_.rows.size(); ++i)
        releaseConnection(i);
}

const char* SearchRun::StateText(std::intptr_t code) {
    if (code < 1 || code > 8)
        return "";
    return kStateTexts[code];
}

void SearchRun::handleMessage(const Message& m) {
    switch (m.msg) {
    case WM_TIMER:
        if (m.wParam == kDispatchTimer)
            gTimerTimer();
        break;
    case WM_RUN_START:
        StartRun();
        break;
    case WM_DISPATCH_NEXT:
        DispatchNext();
        break;
    case WM_RUN_FINISHED:
        FinishRun();
        break;
    case WM_LOOKUP_DONE:
        LookupDone(m.lParam);
        break;
    case WM_DISPATCH_PAUSE:
        switchDispatchTimer(false);
        break;
    case WM_LOOKUP_STATE:
        ShowLookupState(m.wParam, m.lParam);
        break;
    default:
        break;
    }
}

bool SearchRun::running() const {
    return p_.run.runState == RunState::SearchRun || p_.run.runState == RunState::ResumeRun;
}

// The timer keeps its 10 ms rhythm for the whole run; pausing only makes the ticks do nothing.
// Restarting it after every finished lookup would delay the next dispatch by a full interval
// each time and, with many lookups finishing, starve the dispatcher.
void SearchRun::switchDispatchTimer(bool on) {
    dispatchEnabled_ = on;
    if (on && !timerActive(kDispatchTimer))
        setTimer(kDispatchTimer, kDispatchInterval);
}

void SearchRun::StartRun() {
    RunVariables& v = p_.run;
    v.stopRequested = false;
    v.finishDone = false;
    p_.window.setRunButtons(false, true, false);
    p_.toggle.reset();
    v.lastDispatched = -1;
    v.activeLookups = 0;
    // Each pass gives every row its refusals afresh; the servers keep their pace and pauses,
    // so an automatic resume does not fall on a server that just asked to be left alone.
    held_.clear();
    refusals_.newPass();
    dns_.cancelAll();
    dnsOn_ = p_.settings.dnsFirst() && dns_.useServers(p_.settings.dnsServers());
    switchDispatchTimer(true);
}

void SearchRun::gTimerTimer() {
    if (!dispatchEnabled_)
        return;
    const RunVariables& v = p_.run;
    const auto rowCount = static_cast<std::int64_t>(p_.rows.size());
    if (p_.settings.linkLimit() > v.activeLookups && rowCount > v.lastDispatched &&
        !v.stopRequested)
        post(WM_DISPATCH_NEXT, -1, 0);
    else if (v.activeLookups == 0)
        post(WM_RUN_FINISHED, 1, 0);
}

std::size_t SearchRun::nextRowToDispatch() const {
    std::size_t next = static_cast<std::size_t>(p_.run.lastDispatched + 1);
    if (p_.run.runState == RunState::ResumeRun) {
        while (next < p_.rows.size() && p_.rows.checked(next))
            ++next;
    }
    return next;
}

void SearchRun::DispatchNext() {
    RunVariables& v = p_.run;
    std::size_t next = nextRowToDispatch();
    const bool rowsLeft = next < p_.rows.size() || !held_.empty() || dns_.pending() > 0;
    if (!rowsLeft || v.stopRequested) {
        endOfPass();
        return;
    }
    if (p_.settings.linkLimit() <= v.activeLookups)
        return; // no free slot; the row is taken on a later tick
    if (dispatchHeldRow())
        return;
    for (int looked = 0; looked < kLookAhead; ++looked, next = nextRowToDispatch()) {
        if (next >= p_.rows.size() || held_.size() >= kMostWaiting)
            return; // only waiting rows are left, or enough of them wait already
        const auto previous = v.lastDispatched;
        v.lastDispatched = static_cast<std::int32_t>(next);
        switch (route(next)) {
        case Route::Now:
            dispatchRow(next);
            return;
        case Route::SetAside:
            continue;
        case Route::Later:
            v.lastDispatched = previous; // DNS has no room: this row asks on a later tick
            return;
        }
    }
}

// The first waiting row, in list order, whose server can take a lookup now (rows of plain
// lines, back from DNS, can always go).
bool SearchRun::dispatchHeldRow() {
    const Millis now = loop().now();
    const ServerTable& servers = servers_.servers();
    auto row = held_.takeFirst(
        [&](std::size_t s) { return s >= servers.size() || servers[s].canStart(now); });
    if (!row)
        return false;
    dispatchRow(*row);
    return true;
}

// Where the cursor's row goes: to its lookup now, aside (to DNS, or to wait for its server), or
// nowhere yet because DNS has no room for another question.
SearchRun::Route SearchRun::route(std::size_t row) {
    const std::string_view caption = p_.rows.caption(row);
    const ZoneEntry* zone = FindZoneEntry(p_.zones, caption);
    if (wantsDns(zone)) {
        if (dns_.full())
            return Route::Later;
        if (dns_.ask(row, caption))
            return Route::SetAside;
    }
    auto server = servers_.serverOf(p_.zones, zone);
    if (server && !servers_.servers()[*server].canStart(loop().now())) {
        held_.hold(*server, row);
        return Route::SetAside;
    }
    return Route::Now;
}

// A row of a zone that allows the check, with a method to read its registry's reply (a row
// that will say "no method" gets that at once, as without the check).
bool SearchRun::wantsDns(const ZoneEntry* zone) const {
    if (!dnsOn_ || !zone || zone->options.nodns)
        return false;
    auto number = ReadDataInteger(zone->methodNumber);
    return number && FindMethodByValue(p_.methods, *number);
}

void SearchRun::dnsAnswered(std::size_t row, bool delegated) {
    if (!running() || p_.run.finishDone || row >= p_.rows.size())
        return;
    if (delegated) {
        p_.rows.setChecked(row, false);
        p_.rows.setSubItem(row, ResultStore::kState, "is not available");
        p_.rows.setSubItem(row, ResultStore::kTime, "dns");
        return;
    }
    // Not proven taken: the row goes to its registry, after the rows of its server before it.
    const ZoneEntry* zone = FindZoneEntry(p_.zones, p_.rows.caption(row));
    held_.hold(servers_.serverOf(p_.zones, zone).value_or(servers_.servers().size()), row);
}

void SearchRun::dispatchRow(std::size_t row) {
    const std::string caption(p_.rows.caption(row));
    const ZoneEntry* zone = FindZoneEntry(p_.zones, caption);
    std::optional<std::int32_t> number;
    if (zone)
        number = ReadDataInteger(zone->methodNumber);
    // A method entry whose number is no number throws here; the failure reaches the user and
    // the run goes on with the next row on the next tick.
    const MethodEntry* method = number ? FindMethodByValue(p_.methods, *number) : nullptr;
    std::optional<std::string> address;
    if (method)
        address = ExpandUrlTemplate(zone->urlTemplate, caption);
    if (!address) {
        p_.rows.setSubItem(row, ResultStore::kState, "no method");
        return;
    }
    startLookup(
        LookupRequest{row, *number, std::move(*address), zone, p_.settings.connectionSettings()});
}

void SearchRun::startLookup(LookupRequest request) {
    const std::size_t row = request.row;
    auto server = servers_.serverOf(p_.zones, request.zone);
    std::unique_ptr<RowLookup> lookup =
        makeLookup_(LookupContext{loop(), *this, p_.rows, p_.methods}, std::move(request));
    ++p_.run.activeLookups;
    if (server)
        servers_.servers()[*server].budget.started(loop().now());
    RowLookup* live = lookup.release();
    p_.rows.setConnection(row, live);
    live->start();
}

// No row is left to hand out (or a stop was requested). The pass ends once its last lookup
// has; then it resumes over the unchecked rows or the run finishes.
void SearchRun::endOfPass() {
    RunVariables& v = p_.run;
    if (v.activeLookups != 0)
        return;
    // Rows still being generated belong to this pass: it is not complete before they are in.
    if (!v.stopRequested && rowsPending_ && rowsPending_())
        return;
    if (!v.stopRequested)
        p_.events.passFinished(++passes_);
    if (!v.stopRequested && p_.settings.autoResume() && p_.settings.autoResumeLimit() > 0 &&
        v.autoResumeCount < p_.settings.autoResumeLimit()) {
        ++v.autoResumeCount;
        p_.window.setResumeCaption(std::string(kResumeCaption) + " : " +
                                   std::to_string(v.autoResumeCount));
        sbResumeClick();
        return;
    }
    send(WM_RUN_FINISHED, 1, 0);
}

void SearchRun::releaseConnection(std::size_t row) {
    RowLookup* c = p_.rows.connection(row);
    if (!c)
        return;
    if (auto server = servers_.serverOf(p_.zones, c->request().zone))
        servers_.servers()[*server].budget.finished();
    p_.rows.setConnection(row, nullptr);
    delete c;
}

// What the end of a lookup tells about its server: a refusal or a reply with nothing in it
// pauses the server (a refused row waits for it again unless it gave up), an answer ends the
// pause's doubling.
void SearchRun::noteServerAnswer(std::size_t row, const ZoneEntry* zone,
                                 const LookupOutcome& outcome, Millis startedAt) {
    auto server = servers_.serverOf(p_.zones, zone);
    // A lookup that never reached its server says nothing about it.
    if (!server || outcome.failure == LookupFailure::UnusableAddress)
        return;
    ServerCooldown& cooldown = servers_.servers()[*server].cooldown;
    const Millis now = loop().now();
    if (outcome.refused) {
        cooldown.refused(now, startedAt, ParseRetryAfter(outcome.retryAfter, std::time(nullptr)));
        if (refusals_.count(row) > 0 && running() && !p_.run.stopRequested)
            held_.hold(*server, row);
    } else if (outcome.noReply) {
        cooldown.refused(now, startedAt);
    } else {
        cooldown.answered(startedAt);
    }
}

void SearchRun::LookupDone(std::intptr_t rowIndex) {
    if (rowIndex >= 0 && static_cast<std::size_t>(rowIndex) < p_.rows.size()) {
        const auto row = static_cast<std::size_t>(rowIndex);
        if (const RowLookup* c = p_.rows.connection(row)) {
            const LookupOutcome outcome = c->outcome();
            const ZoneEntry* zone = c->request().zone;
            const Millis startedAt = c->startedAt();
            releaseConnection(row);
            noteServerAnswer(row, zone, outcome, startedAt);
            p_.events.lookupEnded(row, outcome);
        }
    }
    --p_.run.activeLookups;
    // A lookup released by the end of the run still reports here; it must not wake the
    // dispatcher of a run that is over.
    if (running() && !p_.run.finishDone)
        switchDispatchTimer(true);
}

void SearchRun::ShowLookupState(std::intptr_t code, std::intptr_t rowIndex) {
    if (rowIndex < 0 || static_cast<std::size_t>(rowIndex) >= p_.rows.size())
        return;
    const auto row = static_cast<std::size_t>(rowIndex);
    const char* text = StateText(code);
    if (p_.rows.connection(row) && *text)
        p_.rows.setSubItem(row, ResultStore::kState, text);
}

void SearchRun::FinishRun() {
    RunVariables& v = p_.run;
    if (v.finishDone)
        return;
    killTimer(kDispatchTimer);
    dispatchEnabled_ = false;
    v.finishDone = true;
    dns_.cancelAll();
    for (std::size_t i = 0; i < p_.rows.size(); ++i) {
        if (RowLookup* c = p_.rows.connection(i)) {
            c->abort();
            releaseConnection(i);
        }
    }
    p_.window.setRunButtons(true, false, true);
    v.runState = RunState::Idle;
    if (p_.settings.deleteUnavailable())
        DeleteUnavailableRows(p_.rows);
    p_.window.setBusyCursor(false);
    const RunEnd end = v.stopRequested ? RunEnd::Stopped : RunEnd::Completed;
    p_.events.runFinished(end);
    v.lastDispatched = 0;
    p_.window.setResumeCaption(kResumeCaption);
    p_.events.searchEnded(end == RunEnd::Stopped ? SearchEnd::Stopped : SearchEnd::Completed);
}

void SearchRun::sbStopClick() {
    p_.run.stopRequested = true;
    if (p_.run.runState != RunState::Generating)
        post(WM_RUN_FINISHED, 1, 0);
}

void SearchRun::sbResumeClick() {
    p_.run.runState = RunState::ResumeRun;
    post(WM_RUN_START, 0, 0);
}

void SearchRun::closeWindow() {
    p_.run.stopRequested = true;
    if (running())
        send(WM_RUN_FINISHED, 1, 0);
}

int SearchRun::lookupTimeLimit() const {
    return p_.settings.timeLimit();
}

void SearchRun::lookupStateChanged(std::int32_t rowIndex, int code) {
    post(WM_LOOKUP_STATE, code, rowIndex);
}

void SearchRun::lookupEvaluating() {
    switchDispatchTimer(false);
    send(WM_DISPATCH_PAUSE, 0, 0);
}

void SearchRun::lookupFinished(std::int32_t rowIndex) {
    post(WM_LOOKUP_DONE, 0, rowIndex);
}

bool SearchRun::lookupRefused(std::int32_t rowIndex) {
    const auto row = static_cast<std::size_t>(rowIndex);
    if (!refusals_.refused(row))
        return false; // counted: the row waits for its retry
    refusals_.forget(row);
    return true;
}

void SearchRun::zonesChanged() {
    servers_.build(p_.zones);
    held_.clear();
}

} // namespace zendrel
