#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zendrel {

// Bodies larger than this are not parsed as JSON (the reply cap of a lookup).
inline constexpr std::size_t kRdapMaxJsonBytes = 4 * 1024 * 1024;
// JSON nested deeper than this is not parsed; real RDAP replies stay below 10.
inline constexpr int kRdapMaxJsonDepth = 64;

// The text an RDAP reply gives to the method rules: "rdap status: NNN", then, when `body` is a
// JSON object, one "key: value" line per fact (ldhname, handle, status, registrar, registrar
// iana id, one line per event named after its action, nameserver, title and description of the
// error and notices). A body that is not JSON (or too large or too deep to be read) follows the
// status line as it came. `status` 0 or below means no status line arrived: the text is empty.
std::string RdapReplyText(int status, std::string_view body);

} // namespace zendrel
