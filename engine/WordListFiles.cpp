// The two word-list files: plain text, one entry per line, fields separated by ";".
//
// Keyword file: a checked keyword is the bare word, an unchecked one the word followed by ";-".
// Additional-word file: a row with both flags on is the bare word, any other row the word, ";"
// and one character per flag ("First", then "Last"): a blank for on, "-" for off.
//
// The files are hand-edited as often as they are written by us, so reading is lenient: any of
// CR, LF or CR LF ends a line, and a flag is off only where a "-" stands in its place. Writing
// uses CR LF. The bytes are never recoded: a word comes back exactly as it was read.
#include "engine/WordListFiles.h"

#include "lookup/SplitFields.h"
#include "platform/Files.h"

namespace zendrel {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Far beyond any list a person keeps; a path to something bigger is a mistake, not a list.
constexpr std::size_t kMaxListBytes = 256u * 1024 * 1024;

std::string flagCell(bool on) {
    return on ? std::string(1, '1') : std::string();
}

bool flagOn(const std::string& cell) {
    return cell == "1";
}

// Reads the file; tells a missing file (or no path at all) from one that is there but unreadable
// (which includes anything that is not a regular file, and a file beyond the size limit).
WordListLoad readList(const std::string& path, std::string& bytes) {
    switch (ReadRegularFile(path, kMaxListBytes, bytes)) {
    case BoundedRead::Read:
        return WordListLoad::Loaded;
    case BoundedRead::Missing:
        return WordListLoad::NoFile;
    case BoundedRead::Refused:
        break;
    }
    return WordListLoad::Unreadable;
}

AdditionalRow parseAdditionalRow(std::string_view line) {
    AdditionalRow row;
    std::vector<std::string> fields = SplitFields(';', line);
    if (fields.empty())
        return row;
    std::string_view flags = fields.size() > 1 ? fields[1] : std::string_view();
    row.word = std::move(fields[0]);
    row.first = flagCell(!(flags.size() >= 1 && flags[0] == '-'));
    row.last = flagCell(!(flags.size() >= 2 && flags[1] == '-'));
    return row;
}

} // namespace

std::vector<KeywordEntry> ParseKeywords(std::string_view bytes) {
    std::vector<KeywordEntry> entries;
    for (const std::string& line : SplitLines(bytes)) {
        std::vector<std::string> fields = SplitFields(';', line);
        if (fields.empty())
            continue;
        bool unchecked = fields.size() > 1 && !fields[1].empty() && fields[1].front() == '-';
        entries.push_back({std::move(fields[0]), !unchecked});
    }
    return entries;
}

WordListLoad LoadKeywords(const std::string& path, std::vector<KeywordEntry>& out) {
    out.clear();
    std::string bytes;
    WordListLoad result = readList(path, bytes);
    if (result == WordListLoad::Loaded)
        out = ParseKeywords(bytes);
    return result;
}

void SaveKeywords(const std::string& path, const std::vector<KeywordEntry>& entries) {
    if (path.empty())
        return;
    std::string bytes;
    for (const KeywordEntry& e : entries) {
        bytes += e.text;
        if (!e.checked)
            bytes += ";-";
        bytes += kLineEnd;
    }
    WriteFileAtomically(path, bytes);
}

WordListLoad LoadAdditionalWords(const std::string& path, std::vector<AdditionalRow>& out) {
    out.clear();
    std::string bytes;
    WordListLoad result = readList(path, bytes);
    if (result == WordListLoad::Loaded) {
        for (const std::string& line : SplitLines(bytes))
            out.push_back(parseAdditionalRow(line));
    }
    if (out.empty())
        out.emplace_back();
    return result;
}

void SaveAdditionalWords(const std::string& path, const std::vector<AdditionalRow>& rows) {
    if (path.empty())
        return;
    std::string bytes;
    for (const AdditionalRow& row : rows) {
        bytes += row.word;
        // A row without a word but with both flags on would be an empty line, which reads back
        // as a row with no flags; spelling the flags out keeps them.
        if (!flagOn(row.first) || !flagOn(row.last) || row.word.empty()) {
            bytes += ';';
            bytes += flagOn(row.first) ? ' ' : '-';
            bytes += flagOn(row.last) ? ' ' : '-';
        }
        bytes += kLineEnd;
    }
    WriteFileAtomically(path, bytes);
}

} // namespace zendrel
