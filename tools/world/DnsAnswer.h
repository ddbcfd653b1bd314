#pragma once

#include "tools/world/NameBook.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zendrel::world {

// Answers one DNS query packet (RFC 1035) for a name server that knows, per name, whether it is
// delegated. A delegated name gets two NS records (ns1 and ns2 below the name itself) for an NS
// or ANY query, and an empty answer for other types. None when nothing must be sent: a packet
// that is not a query, or a name the book says stays silent. A question that cannot be read gets
// FORMERR, an opcode other than QUERY gets NOTIMP.
std::optional<std::string>
DnsAnswer(std::string_view packet,
          const std::function<Delegation(const std::string&)>& delegationOf);

} // namespace zendrel::world
