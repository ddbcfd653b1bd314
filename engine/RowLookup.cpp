#include "engine/RowLookup.h"

#include "engine/RefusalCheck.h"
#include "engine/ResultStore.h"
#include "engine/StoreReplyRow.h"
#include "engine/ZoneServers.h"
#include "lookup/ClassifyReply.h"
#include "lookup/RdapReplyText.h"
#include "lookup/ZoneTable.h"
#include "platform/MessageLoop.h"

#include <algorithm>

namespace zendrel {

RowLookup::RowLookup(const LookupContext& context, LookupRequest request)
    : context_(context), request_(std::move(request)),
      secondsTimer_(context.loop, *this, &RowLookup::onTimerMessage) {}

RowLookup::~RowLookup() {
    secondsTimer_.killTimer(kSecondsTimer);
}

void RowLookup::start() {
    reply_.clear();
    context_.rows.setSubItem(row(), ResultStore::kState, "");
    tag_ = 0;
    startedAt_ = context_.loop.now();
    secondsTimer_.setTimer(kSecondsTimer, 1000);
    begin();
}

void RowLookup::onTimerMessage(const Message& m) {
    if (m.msg == WM_TIMER && m.wParam == kSecondsTimer)
        LookupTimerTick();
}

void RowLookup::LookupTimerTick() {
    ++tag_;
    context_.rows.setSubItem(row(), ResultStore::kTime, std::to_string(tag_));
    // The timer keeps running after the abort until the end is reported, and each further
    // tick repeats the abort, as a client that did not stop at once must be told again.
    if (context_.host.lookupTimeLimit() < tag_) {
        timedOut_ = true;
        abort();
    }
}

void RowLookup::showState(int code) {
    context_.host.lookupStateChanged(rowIndex(), code);
}

void RowLookup::received(std::string_view piece) {
    if (reply_.size() < kMaxReplyBytes)
        reply_.append(piece.substr(0, kMaxReplyBytes - reply_.size()));
    const auto n = static_cast<std::int64_t>(reply_.size());
    std::string text;
    if (expectedLength_ > 0)
        text = "Loading " + std::to_string(n * 100 / expectedLength_) + " from " +
               std::to_string(expectedLength_);
    else
        text = "Loading " + std::to_string(n) + " bt";
    context_.rows.setSubItem(row(), ResultStore::kState, text);
}

void RowLookup::finish(LookupFailure failure, int error, int httpStatus) {
    secondsTimer_.killTimer(kSecondsTimer);
    context_.host.lookupEvaluating();
    outcome_.failure = timedOut_ ? LookupFailure::TimeLimit : failure;
    outcome_.error = error;
    outcome_.httpStatus = httpStatus;
    outcome_.replyBytes = reply_.size();
    // An RDAP line's rules read the reply as its status followed by the facts of its JSON body.
    if (request_.zone && request_.zone->options.rdap)
        reply_ = RdapReplyText(httpStatus, reply_);
    outcome_.noReply = reply_.empty();
    // Looked at before any verdict phrase: some refusals also carry the "not found" text.
    const ZoneEntry* line = request_.zone;
    if (line && FollowsRegistryRules(*line) && IsRefusal(*line, reply_, httpStatus)) {
        refused();
    } else {
        StoreReplyRow target(context_.rows, row());
        outcome_.verdict =
            ClassifyReply(target, reply_, request_.methodNumber, context_.methods).state;
        if (!reply_.empty())
            context_.rows.setSubItem(row(), ResultStore::kTime, "~");
    }
    std::string().swap(reply_);
    context_.host.lookupFinished(rowIndex());
}

void RowLookup::refused() {
    outcome_.refused = true;
    StoreReplyRow target(context_.rows, row());
    if (context_.host.lookupRefused(rowIndex())) {
        // Read as an empty reply: "no data" and the check mark cleared, nothing else.
        outcome_.verdict = ClassifyReply(target, "", request_.methodNumber, context_.methods).state;
        return;
    }
    target.setChecked(false);
    target.setStateText("waiting");
}

} // namespace zendrel
