// The refusal texts below are the wording registries were recorded answering with once a client
// went over their limit, reduced to the lines that matter. Two of them (afnic, registro.br) end
// with the registry's ordinary "not found" line: that is the trap a client must not fall into.
#include "tools/world/ReplyShape.h"

#include <charconv>

namespace zendrel::world {

namespace {

struct BuiltIn {
    const char* name;
    const char* text;
};

constexpr BuiltIn kRefusals[] = {
    {"afnic", "%%\n%% This is the AFNIC Whois server.\n%%\n"
              "%% RL Net [##########] - RL IP [..........]\n%%\n%% Too many requests...\n%%\n\n"
              "%% No entries found in the AFNIC Database.\n\n"},
    {"registro.br", "\n% Query rate limit exceeded. Reduced information.\n"
                    "% Use https://registro.br/cgi-bin/avail/ for domain availability.\n\n"
                    "% No match for domain \"{name}\"\n\n"},
    {"nominet", "Error for \"{name}\".\n\nthe WHOIS query quota for 127.0.0.1 has been exceeded\n"
                "and will be replenished in 0.141 seconds\n"},
    {"sidn", "whois.domain-registry.nl: only 1 request per second allowed, try again later\n"},
    {"sidn-daily", "whois.domain-registry.nl: daily whois-limit exceeded for client 127.0.0.1\n"},
    {"sidn-busy", "whois.domain-registry.nl: Server too busy, try again later\n"},
    {"denic", "% Error: 55000000002 Connection refused; access control limit reached.\n"},
    {"pir", "WHOIS LIMIT EXCEEDED - SEE WWW.PIR.ORG/WHOIS FOR DETAILS\n"},
    {"eurid", "% Whether a domain name is still available or not is shown below.\n%\n"
              "-1: Still in grace period, wait 7777777 seconds\n"},
    {"dns.be", "% Whether a domain name is still available or not is shown below.\n%\n"
               "% Excessive querying, grace period of 2 seconds\n"},
    {"dns.be-hourly", "% Maximum queries per hour reached (100)\n"},
    {"dns.be-blocked", "-3: IP address blocked\n"},
    {"dns.lu", "%% Maximum query rate reached\n"},
    {"cz.nic", "Your connection limit exceeded. Please slow down and try again later.\n"},
    {"punktum", "# Too many connections.\n"},
    {"tcinet", "You are not allowed to connect due to excessive querying of the WHOIS database.\n"},
    {"coza", "Please go away for 13 Seconds\n"},
    {"verisign-down", "* Sorry, the Whois database is currently down.\n"},
};

std::string_view firstWord(std::string_view& rest) {
    std::size_t end = rest.find(' ');
    std::string_view word = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return word;
}

std::optional<int> number(std::string_view text, int low, int high) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<ReplyShape> statusShape(std::string_view rest, std::string& error) {
    ReplyShape shape;
    shape.kind = ShapeKind::Text;
    auto code = number(firstWord(rest), 100, 599);
    if (!code) {
        error = "status needs a code from 100 to 599";
        return std::nullopt;
    }
    shape.status = *code;
    for (const char* key : {"retry-after=", "retry-date="}) {
        if (!rest.starts_with(key))
            continue;
        std::string_view word = firstWord(rest);
        auto seconds = number(word.substr(std::string_view(key).size()), 0, 100000000);
        if (!seconds) {
            error = std::string(key) + " needs a number of seconds";
            return std::nullopt;
        }
        shape.retryAfterSeconds = *seconds;
        shape.retryAsDate = std::string_view(key) == "retry-date=";
    }
    shape.body = Unescape(rest);
    return shape;
}

} // namespace

std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char c = text[++i];
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
    }
    return out;
}

std::optional<ReplyShape> ParseShape(std::string_view text, std::string& error) {
    std::string_view rest = text;
    std::string_view word = firstWord(rest);
    if (word == "empty" || word == "reset" || word == "silent") {
        if (!rest.empty()) {
            error = std::string(word) + " takes nothing after it";
            return std::nullopt;
        }
        ReplyShape shape;
        shape.kind = word == "empty"   ? ShapeKind::Empty
                     : word == "reset" ? ShapeKind::Reset
                                       : ShapeKind::Silent;
        return shape;
    }
    if (word == "status")
        return statusShape(rest, error);
    if (word == "text")
        return ReplyShape{ShapeKind::Text, 0, -1, false, Unescape(rest)};
    for (const auto& b : kRefusals)
        if (text == b.name)
            return ReplyShape{ShapeKind::Text, 0, -1, false, b.text};
    error = "unknown reply \"" + std::string(text) + "\"";
    return std::nullopt;
}

std::string BuiltInShapeNames() {
    std::string names;
    for (const auto& b : kRefusals)
        names += (names.empty() ? "" : ", ") + std::string(b.name);
    return names;
}

} // namespace zendrel::world
