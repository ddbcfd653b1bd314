// Reads the option fields of a zone line ("rdap", "pace=2/s", "busy=too many requests" ...).
// Options are written by hand next to addresses that reach real registries, so a slip must not
// silently change what a lookup does: anything not understood is ignored and named, never
// guessed at.
#include "lookup/ZoneOptions.h"

#include "lookup/TextRules.h"

#include <algorithm>
#include <charconv>

namespace zendrel {

namespace {

constexpr int kMaxPaceCount = 1000000;
constexpr int kMaxConns = 1000;

// Plain decimal digits only, within [1, max]; no sign, no blanks.
std::optional<int> ReadCount(std::string_view text, int max) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > max)
        return std::nullopt;
    return value;
}

std::optional<ZonePace> ReadPace(std::string_view value) {
    std::size_t slash = value.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    std::optional<int> count = ReadCount(value.substr(0, slash), kMaxPaceCount);
    std::string unit = LowerCase(value.substr(slash + 1));
    int period = unit == "s" ? 1 : unit == "min" ? 60 : unit == "h" ? 3600 : 0;
    if (!count || period == 0)
        return std::nullopt;
    return ZonePace{*count, period};
}

std::optional<std::string> ApplyFlag(bool& flag, bool hasValue) {
    if (hasValue)
        return "takes no value";
    flag = true;
    return std::nullopt;
}

std::optional<std::string> ApplyValue(std::string_view name, std::string_view value,
                                      ZoneOptions& options) {
    if (name == "pace") {
        if (options.pace)
            return "given twice; the first holds";
        options.pace = ReadPace(value);
        return options.pace ? std::nullopt
                            : std::optional<std::string>("not N/s, N/min or N/h with N from 1");
    }
    if (name == "conns") {
        if (options.conns)
            return "given twice; the first holds";
        options.conns = ReadCount(value, kMaxConns);
        return options.conns ? std::nullopt
                             : std::optional<std::string>("not a whole number from 1 to 1000");
    }
    // busy: a phrase that is only blanks would match nearly every reply.
    if (TrimBlanks(value).empty())
        return "has no phrase";
    options.busy.push_back(LowerCase(value));
    return std::nullopt;
}

bool EqualIgnoringCase(char a, char b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(a) == lower(b);
}

} // namespace

std::optional<std::string> ApplyZoneOption(std::string_view field, ZoneOptions& options) {
    std::string_view option = TrimBlanks(field);
    if (option.empty())
        return std::nullopt;
    std::size_t eq = option.find('=');
    const bool hasValue = eq != std::string_view::npos;
    std::string name = LowerCase(TrimBlanks(option.substr(0, eq)));
    std::string_view value = hasValue ? TrimBlanks(option.substr(eq + 1)) : std::string_view();
    if (name == "rdap")
        return ApplyFlag(options.rdap, hasValue);
    if (name == "nodns")
        return ApplyFlag(options.nodns, hasValue);
    if (name == "pace" || name == "conns" || name == "busy") {
        if (!hasValue)
            return "needs a value after '='";
        return ApplyValue(name, value, options);
    }
    return "unknown option";
}

const std::string* FindBusyPhrase(const ZoneOptions& options, std::string_view reply) {
    for (const std::string& phrase : options.busy) {
        auto at = std::search(reply.begin(), reply.end(), phrase.begin(), phrase.end(),
                              EqualIgnoringCase);
        if (at != reply.end())
            return &phrase;
    }
    return nullptr;
}

std::string DescribeZoneLineProblem(const ZoneLineProblem& problem) {
    return "domain.txt, line " + std::to_string(problem.line) + ": option \"" + problem.text +
           "\" ignored: " + problem.why;
}

} // namespace zendrel
