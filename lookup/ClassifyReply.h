#pragma once

#include "lookup/MethodTable.h"
#include "lookup/ReplyRow.h"
#include "lookup/ReplyState.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zendrel {

struct ClassifyOutcome {
    bool replyEmpty = true;
    ReplyState state = ReplyState::NoData;
};

// Reads `reply` with method `methodNumber` of `methods` and writes the verdict (State text and
// check mark) into `row`, plus the registration details for a name that is taken or on hold.
// An empty reply gives "no data" and changes nothing else but the check mark.
ClassifyOutcome ClassifyReply(ReplyRow& row, std::string_view reply, int32_t methodNumber,
                              const MethodTable& methods);

// The verdict that the classification item `phrases` ("taken|free|hold|taken|...") gives for a
// lower-cased `reply`: hold before not available before available; otherwise no data.
ReplyState JudgeReply(std::string_view reply, std::string_view phrases);

// The phrase of a classification item that gave a verdict: its place in the item (counted from
// 0, so `index % 3` is 0 for taken, 1 for free, 2 for hold) and its text.
struct DecidingPhrase {
    std::size_t index = 0;
    std::string text;

    bool operator==(const DecidingPhrase&) const = default;
};

struct Judgement {
    ReplyState state = ReplyState::NoData;
    std::optional<DecidingPhrase> phrase; // none for "no data"
};

// JudgeReply's verdict with the phrase that decided it: the first hold phrase found, else the
// first taken phrase found, else the first free phrase found, in the item's order.
Judgement JudgeReplyWithPhrase(std::string_view reply, std::string_view phrases);

} // namespace zendrel
