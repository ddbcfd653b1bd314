#pragma once

#include "lookup/MethodTable.h"
#include "lookup/ReplyRow.h"
#include "lookup/ReplyState.h"

#include <cstdint>
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

} // namespace zendrel
