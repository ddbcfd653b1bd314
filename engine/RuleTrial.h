#pragma once

#include "lookup/ClassifyReply.h"
#include "lookup/MethodTable.h"
#include "lookup/ZoneTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zendrel {

// One reply to try a method on, as the rule tester has it.
struct RuleTrialInput {
    std::string reply;    // as it arrived (an RDAP line's JSON body as sent)
    bool rdap = false;    // read the way an RDAP line reads its reply
    int httpStatus = 200; // the reply's HTTP status; 0 when there was none
    // The zone line the reply came through, for its refusal rules; none for a reply that was
    // pasted or loaded.
    std::optional<ZoneEntry> line;
};

// What a search makes of that reply with one method, and why.
struct RuleTrialResult {
    std::string ruleText;      // the text the method reads (after the RDAP conversion)
    bool methodFound = false;  // the method table has a method of that number
    bool refused = false;      // a refusal of the line's server: no verdict is read
    std::string refusalPhrase; // the busy phrase that made it one; empty for a refusing status
    ReplyState verdict = ReplyState::NoData;
    std::string stateText;                // the State column
    bool checked = false;                 // the row's check mark
    std::vector<std::string> columns;     // one per extra column of the table
    std::optional<DecidingPhrase> phrase; // the verdict phrase that decided, if one did
};

// Reads `in` with method `methodNumber` of `methods` exactly as a lookup's end does: the RDAP
// conversion, the refusal check of the line, then the classification into a row.
RuleTrialResult TryRules(const MethodTable& methods, std::int32_t methodNumber,
                         const RuleTrialInput& in);

} // namespace zendrel
