// One lookup outside the search run: the run's side of a lookup (time limit, state texts, the
// end) is played here for a single row, so the rule tester sees exactly what a search would have
// received for the name.
#include "engine/ReplyFetch.h"

#include "engine/RowLookupKinds.h"
#include "engine/RunSettings.h"
#include "engine/SearchRun.h"
#include "lookup/UrlTemplate.h"
#include "platform/AsciiText.h"
#include "platform/IntegerText.h"

namespace zendrel {

namespace {
constexpr unsigned WM_FETCH_STATE = WM_USER + 1;
constexpr unsigned WM_FETCH_DONE = WM_USER + 2;
} // namespace

ReplyFetch::ReplyFetch(MessageLoop& loop, const RunSettings& settings)
    : loop_(loop), settings_(settings), window_(loop, *this, &ReplyFetch::onMessage),
      make_(MakeRowLookup) {}

ReplyFetch::~ReplyFetch() {
    cancel();
}

std::optional<std::string> ReplyFetch::start(const ZoneTable& zones, std::string_view name,
                                             Progress progress, Done done) {
    cancel();
    const std::string wanted = LowerCase(TrimBlanks(name));
    if (wanted.empty())
        return "Type the name to fetch the reply for, with its zone (for example shop.com).";
    const ZoneEntry* zone = FindZoneEntry(zones, wanted);
    if (!zone)
        return "No line of the zone table is for \"" + wanted + "\".";
    const std::optional<std::int32_t> number = ReadDataInteger(zone->methodNumber);
    if (!number)
        return "The method number \"" + zone->methodNumber + "\" of the zone line for \"" +
               zone->zone + "\" is not a number.";
    std::optional<std::string> address = ExpandUrlTemplate(zone->urlTemplate, wanted);
    if (!address)
        return "The address \"" + zone->urlTemplate + "\" of the zone line for \"" + zone->zone +
               "\" cannot be used.";
    reply_ = FetchedReply{*zone, *address, {}, {}};
    progress_ = std::move(progress);
    done_ = std::move(done);
    rows_.clear();
    rows_.append(wanted);
    ++serial_;
    LookupRequest request{0, *number, std::move(*address), &reply_.line,
                          settings_.connectionSettings()};
    lookup_ = make_(LookupContext{loop_, *this, rows_, methods_}, std::move(request));
    lookup_->start();
    return std::nullopt;
}

void ReplyFetch::cancel() {
    if (!lookup_)
        return;
    // As a search does at its end: the transfer is cut and the lookup goes with everything it
    // still had queued.
    lookup_->abort();
    lookup_.reset();
    ++serial_;
    progress_ = nullptr;
    done_ = nullptr;
}

int ReplyFetch::lookupTimeLimit() const {
    return settings_.timeLimit();
}

void ReplyFetch::lookupStateChanged(std::int32_t, int code) {
    window_.post(WM_FETCH_STATE, serial_, code);
}

void ReplyFetch::lookupEvaluating() {
    // The reply as it arrived: the lookup converts an RDAP reply right after this.
    if (lookup_)
        reply_.body = lookup_->replyText();
}

void ReplyFetch::lookupFinished(std::int32_t) {
    // Released from the loop, never from inside the lookup's own call.
    window_.post(WM_FETCH_DONE, serial_, 0);
}

void ReplyFetch::onMessage(const Message& m) {
    if (m.wParam != serial_ || !lookup_)
        return;
    if (m.msg == WM_FETCH_STATE) {
        const char* text = SearchRun::StateText(m.lParam);
        if (*text && progress_)
            progress_(text);
        return;
    }
    if (m.msg != WM_FETCH_DONE)
        return;
    reply_.outcome = lookup_->outcome();
    lookup_.reset();
    progress_ = nullptr;
    Done done = std::move(done_);
    done_ = nullptr;
    // The handler may start the next fetch, which reuses the members.
    const FetchedReply reply = std::move(reply_);
    if (done)
        done(reply);
}

} // namespace zendrel
