#include "app/cli/RunSetup.h"

#include "lookup/TextRules.h"
#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace zendrel {

namespace {

bool SameZone(std::string_view a, std::string_view b) {
    return LowerCase(a) == LowerCase(b);
}

std::string JoinZones(const std::vector<std::string>& zones) {
    std::string text;
    for (const std::string& zone : zones)
        text += (text.empty() ? "" : ", ") + zone;
    return text;
}

// The table's spelling of each zone asked for, each once; none when one is not in the table.
std::optional<std::vector<std::string>>
ChosenZones(const Workspace& ws, const std::vector<std::string>& asked, std::string& error) {
    const std::vector<std::string> known = ws.zones.zoneNames();
    std::vector<std::string> chosen;
    for (const std::string& zone : asked) {
        std::string_view name = zone;
        if (name.starts_with('.'))
            name.remove_prefix(1); // ".com" as the window shows it
        auto it = std::find_if(known.begin(), known.end(),
                               [&](const std::string& k) { return SameZone(k, name); });
        if (it == known.end()) {
            const std::string table = ws.folder + "domain.txt";
            error = known.empty()
                        ? "unknown zone '" + zone + "': the zone table " + table + " has no zones"
                        : "unknown zone '" + zone + "'; the zone table " + table + " has " +
                              JoinZones(known);
            return std::nullopt;
        }
        if (std::find(chosen.begin(), chosen.end(), *it) == chosen.end())
            chosen.push_back(*it);
    }
    return chosen;
}

} // namespace

bool ReadStandardInput(std::string& bytes) {
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n == 0)
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
}

std::optional<std::vector<KeywordEntry>>
ReadWordsOption(const SearchOptions& options, bool (*readInput)(std::string&), std::string& error) {
    if (options.words) {
        std::vector<KeywordEntry> words;
        for (const std::string& word : *options.words)
            words.push_back({word, true});
        return words;
    }
    if (!options.wordsFile)
        return std::nullopt;
    std::string bytes;
    const std::string& path = *options.wordsFile;
    errno = 0;
    const bool read = path == "-" ? readInput(bytes) : ReadFileBytes(path, bytes);
    if (!read) {
        const int why = errno;
        error = path == "-" ? "--words-file: standard input cannot be read: "
                            : "--words-file: " + path + " cannot be read: ";
        if (path != "-" && IsFolder(path))
            error += "it is a folder";
        else
            error += why != 0 ? std::strerror(why) : "unknown reason";
        return std::nullopt;
    }
    return ParseKeywords(bytes);
}

std::optional<RunSetup> PrepareRun(const Workspace& ws, const SearchOptions& options,
                                   const std::optional<std::vector<KeywordEntry>>& words,
                                   std::string& error) {
    RunSetup run;
    run.settings = ws.settings;
    run.input = MakeSearchInput(ws);
    if (words) {
        run.input.keywords.clear();
        for (const KeywordEntry& word : *words) {
            if (word.checked)
                run.input.keywords.push_back(word.text);
        }
    }
    if (options.zones) {
        std::optional<std::vector<std::string>> zones = ChosenZones(ws, *options.zones, error);
        if (!zones)
            return std::nullopt;
        run.input.zones = std::move(*zones);
    }
    if (options.combinations)
        run.input.combinations = *options.combinations;
    if (options.hyphens) {
        run.input.useHyphens = *options.hyphens != 0;
        if (*options.hyphens != 0)
            run.input.hyphens = *options.hyphens;
    }
    if (options.maxLength)
        run.input.maxLength = *options.maxLength;
    if (options.connections)
        run.settings.links = *options.connections;
    if (options.timeout)
        run.settings.timeOut = *options.timeout;
    if (options.dnsFirst)
        run.settings.dnsFirst = true;
    run.selection = options.only ? *options.only
                                 : RowSelection::FromExportFilter(MakeExportFilter(ws.settings));
    run.domainOnly = ws.settings.dnOnly;
    return run;
}

} // namespace zendrel
