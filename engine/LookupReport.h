#pragma once

#include <optional>
#include <string>

namespace zendrel {

struct LookupOutcome;

// Why a lookup ended without an answer ("connection refused", "refused by server (HTTP 429)",
// "TLS failure: certificate has expired", "network error: Connection reset
// by peer (10054)", "no data: the reply (HTTP 503, 120 bytes) matched no rule"); none when its
// reply gave a verdict.
std::optional<std::string> WhyNoAnswer(const LookupOutcome& outcome);

} // namespace zendrel
