// Fills the gateway address of a zone with a name. The template comes from a hand-edited file,
// so it is read here byte by byte and never handed to a printf-style formatter: a stray "%d"
// must make the zone unusable, not read memory that is not there.
#include "lookup/UrlTemplate.h"

namespace zendrel {

namespace {

bool IsUnreserved(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

void AppendEncoded(std::string& out, std::string_view name) {
    static const char hex[] = "0123456789ABCDEF";
    for (char ch : name) {
        auto c = static_cast<unsigned char>(ch);
        if (IsUnreserved(c)) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
}

} // namespace

bool IsUsableUrlTemplate(std::string_view urlTemplate) {
    return ExpandUrlTemplate(urlTemplate, {}).has_value();
}

std::optional<std::string> ExpandUrlTemplate(std::string_view urlTemplate, std::string_view name) {
    std::string out;
    out.reserve(urlTemplate.size() + name.size());
    bool placed = false;
    for (std::size_t i = 0; i < urlTemplate.size(); ++i) {
        char c = urlTemplate[i];
        if (c != '%') {
            out += c;
            continue;
        }
        char next = i + 1 < urlTemplate.size() ? urlTemplate[i + 1] : '\0';
        if (next == '%') {
            out += '%';
        } else if (next == 's' && !placed) {
            AppendEncoded(out, name);
            placed = true;
        } else {
            return std::nullopt;
        }
        ++i;
    }
    return out;
}

} // namespace zendrel
