#include "app/cli/SearchOptions.h"

#include "engine/RunOptions.h"
#include "lookup/TextRules.h"

#include <charconv>
#include <functional>

namespace zendrel {

namespace {

// Applies an option's value; returns what is wrong with it, or nothing.
using Apply = std::function<std::string(SearchOptions&, const std::string&)>;

struct CommandOption {
    std::string_view name;
    bool takesValue;
    Apply apply;
};

std::string Quoted(std::string_view text) {
    // Appended, not "'" + text: GCC 12 misreads that insert at the front as an overlap.
    std::string quoted(1, '\'');
    quoted += text;
    quoted += '\'';
    return quoted;
}

std::string RangeText(int low, int high) {
    return std::to_string(low) + " to " + std::to_string(high);
}

// A value an option takes below the range of its field, with what it means there (the hyphen
// count's 0 for "no hyphens").
struct ExtraValue {
    int value;
    const char* meaning;
};

// A number option checked against the range of its field.
CommandOption NumberOption(std::string_view name, const RunOption& range,
                           std::optional<int> SearchOptions::*field,
                           std::optional<ExtraValue> extra = {}) {
    return {name, true, [=](SearchOptions& o, const std::string& value) -> std::string {
                const std::string takes =
                    (extra ? std::to_string(extra->value) + " (" + extra->meaning + ") or " : "") +
                    "a number from " + RangeText(range.minimum, range.maximum);
                long long n = 0;
                const char* end = value.data() + value.size();
                const auto [at, error] = std::from_chars(value.data(), end, n);
                if (value.empty() || at != end || error == std::errc::invalid_argument)
                    return std::string(name) + " takes " + takes + ", not " + Quoted(value);
                const bool inRange =
                    error == std::errc() &&
                    ((n >= range.minimum && n <= range.maximum) || (extra && n == extra->value));
                if (!inRange)
                    return std::string(name) + " " + value + " is out of range: it takes " + takes;
                o.*field = static_cast<int>(n);
                return {};
            }};
}

std::string ApplyOnly(SearchOptions& o, const std::string& value) {
    RowSelection only;
    const std::vector<std::string> names = SplitList(value);
    for (const std::string& name : names) {
        if (name == "available")
            only.available = true;
        else if (name == "hold")
            only.hold = true;
        else if (name == "not-available")
            only.notAvailable = true;
        else if (name == "no-data")
            only.other = true;
        else
            return "--only takes available, hold, not-available and no-data, not " + Quoted(name);
    }
    if (names.empty())
        return "--only needs at least one of available, hold, not-available and no-data";
    o.only = only;
    return {};
}

std::string ApplyFormat(SearchOptions& o, const std::string& value) {
    const std::optional<ResultFormat> format = ResultFormatNamed(value);
    if (!format)
        return "--format takes text, csv, tsv or json, not " + Quoted(value);
    o.format = *format;
    return {};
}

CommandOption Flag(std::string_view name, bool SearchOptions::*field) {
    return {name, false, [field](SearchOptions& o, const std::string&) {
                o.*field = true;
                return std::string();
            }};
}

const std::vector<CommandOption>& Options() {
    static const std::vector<CommandOption> options = {
        {"--words", true,
         [](SearchOptions& o, const std::string& v) {
             o.words = SplitList(v);
             o.wordsFile.reset();
             return std::string();
         }},
        {"--words-file", true,
         [](SearchOptions& o, const std::string& v) {
             if (v.empty())
                 return std::string("--words-file needs a file name (or - for standard input)");
             o.wordsFile = v;
             o.words.reset();
             return std::string();
         }},
        {"--zones", true,
         [](SearchOptions& o, const std::string& v) {
             o.zones = SplitList(v);
             return o.zones->empty() ? std::string("--zones needs at least one zone")
                                     : std::string();
         }},
        NumberOption("--combinations", kCombinationsOption, &SearchOptions::combinations),
        NumberOption("--hyphens", kHyphensOption, &SearchOptions::hyphens,
                     ExtraValue{0, "no hyphens"}),
        NumberOption("--max-length", kMaxLengthOption, &SearchOptions::maxLength),
        NumberOption("--connections", kLinksOption, &SearchOptions::connections),
        NumberOption("--timeout", kTimeOutOption, &SearchOptions::timeout),
        Flag("--dns-first", &SearchOptions::dnsFirst),
        {"--format", true, ApplyFormat},
        {"--only", true, ApplyOnly},
        Flag("--check", &SearchOptions::check),
        Flag("--verbose", &SearchOptions::verbose),
        Flag("--help", &SearchOptions::help),
        Flag("-h", &SearchOptions::help),
        Flag("--version", &SearchOptions::version),
    };
    return options;
}

const CommandOption* FindOption(std::string_view name) {
    for (const CommandOption& known : Options()) {
        if (known.name == name)
            return &known;
    }
    return nullptr;
}

} // namespace

std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        const std::string_view item =
            TrimBlanks(std::string_view(list).substr(start, comma - start));
        if (!item.empty())
            items.emplace_back(item);
        start = comma + 1;
    }
    return items;
}

ParsedCommandLine ParseSearchOptions(const std::vector<std::string>& args) {
    ParsedCommandLine parsed;
    bool folderGiven = false, optionsEnded = false;
    for (std::size_t i = 0; i < args.size() && parsed.ok(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            if (folderGiven)
                parsed.error =
                    "only one workspace folder can be given: " + Quoted(parsed.options.folder) +
                    " and " + Quoted(arg);
            parsed.options.folder = arg;
            folderGiven = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const CommandOption* known = FindOption(name);
        if (!known) {
            parsed.error = "unknown option " + Quoted(name);
        } else if (!known->takesValue && eq != std::string::npos) {
            parsed.error = name + " takes no value";
        } else if (known->takesValue && eq == std::string::npos && i + 1 >= args.size()) {
            parsed.error = name + " needs a value";
        } else {
            const std::string value = !known->takesValue        ? std::string()
                                      : eq != std::string::npos ? arg.substr(eq + 1)
                                                                : args[++i];
            parsed.error = known->apply(parsed.options, value);
        }
    }
    return parsed;
}

} // namespace zendrel
