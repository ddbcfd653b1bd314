#pragma once

#include "engine/ResultExport.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel {

class ResultStore;

// The shapes results are written in by programs that read them: `Text` is the "Save Results"
// line, the others are tables with a header (CSV, tab-separated) or one JSON object per row.
enum class ResultFormat : std::uint8_t { Text, Csv, Tsv, Json };

// Which rows are written, by State: the three verdicts, and everything else ("no data", "no
// method", a row never looked up or cut short).
struct RowSelection {
    bool available = false;
    bool hold = false;
    bool notAvailable = false;
    bool other = false;

    // The rows the stored export boxes let through ("All", or the checked verdicts).
    static RowSelection FromExportFilter(const ExportFilter& filter);
    static RowSelection All() { return {true, true, true, true}; }
    bool includes(std::string_view state) const;
};

// Where a row's verdict came from, as the Time column records it: a reply that was read ("~"),
// the DNS pre-check ("dns"), or nothing yet.
enum class VerdictSource : std::uint8_t { Reply, Dns, None };
VerdictSource VerdictSourceOf(std::string_view timeColumn);
// "reply", "dns" or "none".
const char* VerdictSourceText(VerdictSource source);

// Turns rows into lines of one format. Built once per output with the extra columns' captions.
class ResultFormatter {
public:
    // `domainOnly` shortens text lines to the name, as the "Domain Name only" box does; the
    // table formats always carry every column.
    ResultFormatter(ResultFormat format, std::vector<std::string> captions, bool domainOnly);

    // The first line of the output (the column captions), with its line end; empty for text and
    // JSON.
    std::string header() const;
    // Appends the line of `row`, with its line end.
    void appendRow(const ResultStore& rows, std::size_t row, std::string& out) const;

private:
    void appendDelimited(const ResultStore& rows, std::size_t row, char separator,
                         std::string& out) const;
    void appendJson(const ResultStore& rows, std::size_t row, std::string& out) const;

    ResultFormat format_;
    std::vector<std::string> captions_;
    std::vector<std::string> jsonKeys_; // captions made unique, JSON-quoted
    bool domainOnly_;
};

// The name of a format as the command line gives it ("text", "csv", "tsv", "json").
std::optional<ResultFormat> ResultFormatNamed(std::string_view name);

// One CSV field: as it stands, or in double quotes (with quotes doubled) when it holds a comma,
// a quote, CR or LF.
void AppendCsvField(std::string_view text, std::string& out);
// One tab-separated field: backslash, tab, LF and CR written as \\, \t, \n and \r.
void AppendTsvField(std::string_view text, std::string& out);
// A JSON string with its quotes. Bytes that form UTF-8 are kept; any other byte is read as the
// Latin-1 character of that value, so every text comes out as valid JSON and nothing is lost.
void AppendJsonString(std::string_view text, std::string& out);

} // namespace zendrel
