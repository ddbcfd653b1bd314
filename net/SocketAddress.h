#pragma once

#include <cstdint>
#include <netinet/in.h>
#include <string>

namespace zendrel {

// Text conversions used when a socket connects. Each raises ESocketException with the message
// the socket passes on to its owner. Names are resolved by blocking queries; the HTTP client
// hands over dotted addresses and numeric ports, so those queries stay off its path.

// The IPv4 address (network order) of a dotted address or host name.
// `s` without the blanks and tabs around it, as the socket's properties store their values.
std::string TrimProperty(const std::string& s);

in_addr_t WSocketResolveHost(const std::string& text);
// The port number (host order) of a decimal text or a service name for `proto`.
std::uint16_t WSocketResolvePort(const std::string& text, const std::string& proto);
// The protocol number of a decimal text or a protocol name.
int WSocketResolveProto(const std::string& text);

} // namespace zendrel
