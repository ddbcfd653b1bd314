// Reads just enough of an HTTP/1.x request to answer a WHOIS query: the request line of a head
// that ends with an empty line. Header fields are not interpreted; a GET carries no body.
#include "tools/gateway/RequestHead.h"

#include "platform/AsciiText.h"

namespace zendrel::gateway {

namespace {

std::optional<std::string> percentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] != '%') {
            out += text[i];
        } else {
            if (i + 2 >= text.size())
                return std::nullopt;
            int hi = HexDigitValue(text[i + 1]), lo = HexDigitValue(text[i + 2]);
            if (hi < 0 || lo < 0)
                return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        }
    }
    return out;
}

bool usableName(std::string_view name) {
    if (name.empty() || name.size() > 253)
        return false;
    for (unsigned char c : name)
        if (c <= ' ' || c == 0x7f)
            return false;
    return true;
}

} // namespace

HeadStatus CheckRequestHead(std::string_view bytes) {
    std::size_t end = bytes.find("\r\n\r\n");
    if (end == std::string_view::npos)
        end = bytes.find("\n\n");
    if (end != std::string_view::npos)
        return end < kMaxRequestHead ? HeadStatus::Complete : HeadStatus::TooLarge;
    return bytes.size() < kMaxRequestHead ? HeadStatus::NeedMore : HeadStatus::TooLarge;
}

std::optional<RequestHead> ParseRequestLine(std::string_view bytes) {
    std::string_view line = bytes.substr(0, bytes.find_first_of("\r\n"));
    std::size_t firstSpace = line.find(' ');
    std::size_t lastSpace = line.rfind(' ');
    if (firstSpace == std::string_view::npos || firstSpace == 0)
        return std::nullopt;
    std::string_view target = line.substr(firstSpace + 1);
    std::string_view version;
    // The version is optional (a bare "GET /path" is HTTP/0.9 style); a target may not hold
    // blanks, but a careless client may send them, so only a trailing "HTTP/" word is split off.
    if (lastSpace > firstSpace && line.substr(lastSpace + 1).starts_with("HTTP/")) {
        target = line.substr(firstSpace + 1, lastSpace - firstSpace - 1);
        version = line.substr(lastSpace + 1);
    }
    if (target.empty())
        return std::nullopt;
    return RequestHead{std::string(line.substr(0, firstSpace)), std::string(target),
                       std::string(version)};
}

bool HasHeaderField(std::string_view head, std::string_view name) {
    std::size_t end = head.find("\r\n\r\n");
    head = head.substr(0, end == std::string_view::npos ? head.find("\n\n") : end);
    std::size_t at = head.find('\n');
    while (at != std::string_view::npos) {
        std::string_view line = head.substr(at + 1);
        at = head.find('\n', at + 1);
        line = line.substr(0, line.find_first_of("\r\n"));
        std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && EqualsNoCase(line.substr(0, colon), name))
            return true;
    }
    return false;
}

std::optional<std::string> NameFromTarget(std::string_view target, int& code) {
    if (target.starts_with("http://")) {
        std::size_t path = target.find('/', 7);
        target = path == std::string_view::npos ? std::string_view("/") : target.substr(path);
    }
    code = 404;
    if (!target.starts_with("/whois?") && target != "/whois")
        return std::nullopt;
    code = 400;
    std::string_view query = target.substr(std::min<std::size_t>(target.size(), 7));
    while (!query.empty()) {
        std::string_view pair = query.substr(0, query.find('&'));
        query.remove_prefix(std::min(query.size(), pair.size() + 1));
        if (!pair.starts_with("name="))
            continue;
        auto name = percentDecoded(pair.substr(5));
        if (!name || !usableName(*name))
            return std::nullopt;
        return name;
    }
    return std::nullopt;
}

} // namespace zendrel::gateway
