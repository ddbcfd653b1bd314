#pragma once

#include "engine/ResultFormats.h"

#include <optional>
#include <string>
#include <vector>

namespace zendrel {

// The command line of zendrel-search. Everything is optional: what is not given comes from the
// workspace folder, as stored.
struct SearchOptions {
    std::string folder; // empty: the program's folder

    // Keywords for this run in place of the workspace's list.
    std::optional<std::vector<std::string>> words; // --words a,b,c
    std::optional<std::string> wordsFile;          // --words-file FILE ("-": standard input)
    std::optional<std::vector<std::string>> zones; // --zones com,net

    // Overrides of the stored numbers, already checked against their ranges.
    std::optional<int> combinations; // --combinations
    std::optional<int> hyphens;      // --hyphens (0: no hyphens)
    std::optional<int> maxLength;    // --max-length
    std::optional<int> connections;  // --connections
    std::optional<int> timeout;      // --timeout, seconds
    bool dnsFirst = false;           // --dns-first: "Check DNS first" on, whatever is stored

    ResultFormat format = ResultFormat::Text;
    std::optional<RowSelection> only; // none: the stored export filter

    bool check = false;
    bool verbose = false;
    bool help = false;
    bool version = false;
};

// What the command line asked for, or why it cannot be run: `error` is one line for the user
// (without the program's name), naming the option and, for numbers, the range.
struct ParsedCommandLine {
    SearchOptions options;
    std::string error;
    bool ok() const { return error.empty(); }
};

// Reads the arguments after the program's name. Options take their value as the next argument
// or after "=" ("--zones com" or "--zones=com"); "--" ends the options; the one argument that is
// not an option is the workspace folder. An option given twice takes its last value.
ParsedCommandLine ParseSearchOptions(const std::vector<std::string>& args);

// The words of a comma-separated list: trimmed of blanks, empty ones left out.
std::vector<std::string> SplitList(const std::string& list);

} // namespace zendrel
