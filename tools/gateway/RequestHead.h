#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zendrel::gateway {

// Requests larger than this are refused: the gateway keeps memory bounded per connection.
constexpr std::size_t kMaxRequestHead = 8192;

struct RequestHead {
    std::string method;
    std::string target;
    std::string version; // "HTTP/1.1" and the like; empty when the line has none
};

enum class HeadStatus { NeedMore, Complete, TooLarge };

// Looks at the bytes received so far: complete once a blank line ends the head.
HeadStatus CheckRequestHead(std::string_view bytes);

// The method and target of a complete head's request line; none when it is malformed.
std::optional<RequestHead> ParseRequestLine(std::string_view bytes);

// Whether the head holds a header field of this name (compared without regard to case).
bool HasHeaderField(std::string_view head, std::string_view name);

// The name a "/whois?name=NAME" target asks for (percent-escapes decoded; an absolute
// "http://host/whois?..." target as sent through a proxy is accepted too). Sets `code` to 404
// for another path and to 400 for a missing or unusable name.
std::optional<std::string> NameFromTarget(std::string_view target, int& code);

} // namespace zendrel::gateway
