#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel {

// At most `count` lookups started per `periodSeconds` on one host (pace=N/s, N/min, N/h).
struct ZonePace {
    int count = 0;
    int periodSeconds = 0; // 1, 60 or 3600

    bool operator==(const ZonePace&) const = default;
};

// The options of one zone line: the fields after the fourth, one option per field. A line of
// four fields has none of them set, which is what every line meant before options existed, so
// code reading this struct must keep its old behaviour when `any()` is false.
struct ZoneOptions {
    // "rdap": the reply is an RDAP reply; it is turned into rule-readable text (RdapReplyText)
    // before the method reads it.
    bool rdap = false;
    // "pace=N/s|N/min|N/h": lookups started per period on this line's host and port.
    std::optional<ZonePace> pace;
    // "conns=N": lookups at once on this line's host and port (N >= 1).
    std::optional<int> conns;
    // "busy=PHRASE", any number of them: a reply containing one of these is a refusal, not a
    // verdict. Stored lower-cased, so they are matched against the lower-cased reply, before any
    // verdict phrase (see FindBusyPhrase).
    std::vector<std::string> busy;
    // "nodns": no DNS pre-check for names of this zone.
    bool nodns = false;

    // True when the line carried at least one usable option.
    bool any() const { return rdap || pace || conns || !busy.empty() || nodns; }
    bool operator==(const ZoneOptions&) const = default;
};

// An option that was ignored: the 1-based line of the zone file, the option as written, and why.
struct ZoneLineProblem {
    int line = 0;
    std::string text;
    std::string why;

    bool operator==(const ZoneLineProblem&) const = default;
};

// Reads one option field into `options`. Returns the reason it is ignored (unknown, malformed,
// given twice) or nothing when it was taken. An empty field (a line ending in ";") is taken as
// no option at all.
std::optional<std::string> ApplyZoneOption(std::string_view field, ZoneOptions& options);

// The first busy phrase of `options` found in `reply` (any letter case); null when none is. A
// refusal that also contains a "not found" text is still a refusal, so this comes first.
const std::string* FindBusyPhrase(const ZoneOptions& options, std::string_view reply);

// One line for the user: `domain.txt, line 7: option "pace=fast" ignored: <why>`.
std::string DescribeZoneLineProblem(const ZoneLineProblem& problem);

} // namespace zendrel
