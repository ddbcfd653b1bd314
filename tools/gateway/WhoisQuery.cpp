// Reads a classic port-43 WHOIS query: one line of text, ended by CR LF (a bare LF is accepted
// too, as many servers do), holding the name and perhaps flags before it.
#include "tools/gateway/WhoisQuery.h"

namespace zendrel::gateway {

HeadStatus CheckWhoisQuery(std::string_view bytes) {
    std::size_t end = bytes.find('\n');
    if (end != std::string_view::npos)
        return end < kMaxWhoisQuery ? HeadStatus::Complete : HeadStatus::TooLarge;
    return bytes.size() < kMaxWhoisQuery ? HeadStatus::NeedMore : HeadStatus::TooLarge;
}

std::optional<std::string> NameFromWhoisQuery(std::string_view bytes) {
    std::string_view line = bytes.substr(0, bytes.find('\n'));
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    for (unsigned char c : line)
        if ((c < ' ' && c != '\t') || c == 0x7f)
            return std::nullopt;
    std::size_t end = line.find_last_not_of(" \t");
    if (end == std::string_view::npos)
        return std::nullopt;
    line = line.substr(0, end + 1);
    std::size_t start = line.find_last_of(" \t");
    std::string_view name = start == std::string_view::npos ? line : line.substr(start + 1);
    if (name.size() > 253)
        return std::nullopt;
    return std::string(name);
}

} // namespace zendrel::gateway
