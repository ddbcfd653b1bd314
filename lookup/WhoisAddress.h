#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zendrel {

// A port-43 address of the zone table, `whois://HOST[:PORT]/QUERY`: the query is everything
// after the first "/" that follows the host part, taken as written, because real servers want
// their own words around the name ("domain %s", "-T dn,ace %s", "%s/e").
struct WhoisAddress {
    std::string host;
    std::string port = "43";
    std::string query;
};

// True when `address` starts with "whois://" (in any letter case).
bool IsWhoisAddress(std::string_view address);

// The parts of a whois:// address; nothing when it names no host, its port is not a number
// from 1 to 65535, or its query is empty.
std::optional<WhoisAddress> ParseWhoisAddress(std::string_view address);

// True when `query` may be sent as one line: no CR, LF or NUL that would end it early or add
// a second query.
bool IsSendableWhoisQuery(std::string_view query);

} // namespace zendrel
