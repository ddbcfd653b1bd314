#include "engine/LookupReport.h"

#include "engine/LookupOutcome.h"
#include "net/SocketErrors.h"

namespace zendrel {

namespace {

std::string ReplyDescription(const LookupOutcome& o) {
    std::string text = "(";
    if (o.httpStatus != 0)
        text += "HTTP " + std::to_string(o.httpStatus) + ", ";
    return text + std::to_string(o.replyBytes) + (o.replyBytes == 1 ? " byte)" : " bytes)");
}

} // namespace

std::optional<std::string> WhyNoAnswer(const LookupOutcome& o) {
    if (o.refused) {
        // A refusal is never read as a verdict: the row waits for a retry, or gave up.
        const std::string status =
            o.httpStatus != 0 ? " (HTTP " + std::to_string(o.httpStatus) + ")" : std::string();
        return "refused by server" + status;
    }
    if (o.failure == LookupFailure::None) {
        if (o.verdict != ReplyState::NoData)
            return std::nullopt;
        if (o.replyBytes == 0)
            return "no data: the reply was empty" +
                   (o.httpStatus != 0 ? " (HTTP " + std::to_string(o.httpStatus) + ")"
                                      : std::string());
        return "no data: the reply " + ReplyDescription(o) + " matched no rule of the method";
    }
    std::string text = LookupFailureText(o.failure);
    if (!o.detail.empty())
        return text + ": " + o.detail;
    if (o.failure == LookupFailure::Network && o.error != 0)
        text += ": " + WSocketErrorDesc(o.error) + " (" + std::to_string(o.error) + ")";
    return text;
}

} // namespace zendrel
