#include "lookup/WhoisAddress.h"

#include "lookup/TextRules.h"

#include <charconv>

namespace zendrel {

namespace {

constexpr std::string_view kScheme = "whois://";

bool IsPortNumber(std::string_view text) {
    int number = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() && number > 0 &&
           number < 65536;
}

} // namespace

bool IsWhoisAddress(std::string_view address) {
    return address.size() >= kScheme.size() &&
           LowerCase(address.substr(0, kScheme.size())) == kScheme;
}

std::optional<WhoisAddress> ParseWhoisAddress(std::string_view address) {
    if (!IsWhoisAddress(address))
        return std::nullopt;
    std::string_view rest = address.substr(kScheme.size());
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    std::string_view hostPart = rest.substr(0, slash);
    WhoisAddress parts;
    parts.query = std::string(rest.substr(slash + 1));
    const std::size_t colon = hostPart.find(':');
    if (colon != std::string_view::npos) {
        if (!IsPortNumber(hostPart.substr(colon + 1)))
            return std::nullopt;
        parts.port = std::string(hostPart.substr(colon + 1));
        hostPart = hostPart.substr(0, colon);
    }
    parts.host = std::string(hostPart);
    if (parts.host.empty() || parts.query.empty())
        return std::nullopt;
    return parts;
}

bool IsSendableWhoisQuery(std::string_view query) {
    return query.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

} // namespace zendrel
