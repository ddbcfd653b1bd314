// Results for other programs: CSV (RFC 4180 quoting), tab-separated values (backslash escapes,
// as databases read them), and JSON lines. Lines end in LF, since these are read by scripts and
// terminals rather than by the spreadsheet the "Save Results" file was made for. The columns are
// those of the list: name, State, Time and the extra columns by caption; the one column nothing
// fills is left out.
#include "engine/ResultFormats.h"

#include "engine/ResultStore.h"
#include "engine/RowStateCounts.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace zendrel {

RowSelection RowSelection::FromExportFilter(const ExportFilter& filter) {
    if (filter.all)
        return All();
    return {filter.available, filter.hold, filter.notAvailable, false};
}

bool RowSelection::includes(std::string_view state) const {
    switch (StateGroupOf(state)) {
    case StateGroup::Available:
        return available;
    case StateGroup::Hold:
        return hold;
    case StateGroup::NotAvailable:
        return notAvailable;
    default:
        return other;
    }
}

VerdictSource VerdictSourceOf(std::string_view timeColumn) {
    if (timeColumn == "~")
        return VerdictSource::Reply;
    if (timeColumn == "dns")
        return VerdictSource::Dns;
    return VerdictSource::None;
}

const char* VerdictSourceText(VerdictSource source) {
    switch (source) {
    case VerdictSource::Reply:
        return "reply";
    case VerdictSource::Dns:
        return "dns";
    case VerdictSource::None:
        break;
    }
    return "none";
}

std::optional<ResultFormat> ResultFormatNamed(std::string_view name) {
    if (name == "text")
        return ResultFormat::Text;
    if (name == "csv")
        return ResultFormat::Csv;
    if (name == "tsv")
        return ResultFormat::Tsv;
    if (name == "json")
        return ResultFormat::Json;
    return std::nullopt;
}

void AppendCsvField(std::string_view text, std::string& out) {
    const bool plain = std::none_of(text.begin(), text.end(), [](char c) {
        return c == ',' || c == '"' || c == '\r' || c == '\n';
    });
    if (plain) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void AppendTsvField(std::string_view text, std::string& out) {
    const bool plain = std::none_of(text.begin(), text.end(), [](char c) {
        return c == '\\' || c == '\t' || c == '\n' || c == '\r';
    });
    if (plain) {
        out += text;
        return;
    }
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

namespace {

bool Continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence of more than one byte at `at`; 0 when there is none.
std::size_t Utf8Sequence(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0;
    };
    const unsigned char c = byte(0);
    if (c >= 0xC2 && c <= 0xDF)
        return Continuation(byte(1)) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        // No overlong forms (E0 80..9F) and no surrogates (ED A0..BF).
        const unsigned char lo = c == 0xE0 ? 0xA0 : 0x80, hi = c == 0xED ? 0x9F : 0xBF;
        return byte(1) >= lo && byte(1) <= hi && Continuation(byte(2)) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned char lo = c == 0xF0 ? 0x90 : 0x80, hi = c == 0xF4 ? 0x8F : 0xBF;
        return byte(1) >= lo && byte(1) <= hi && Continuation(byte(2)) && Continuation(byte(3)) ? 4
                                                                                                : 0;
    }
    return 0;
}

void AppendEscape(unsigned value, std::string& out) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04x", value);
    out += buf;
}

} // namespace

void AppendJsonString(std::string_view text, std::string& out) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20) {
            AppendEscape(c, out);
        } else if (c >= 0x80) {
            if (const std::size_t n = Utf8Sequence(text, i)) {
                out.append(text.substr(i, n));
                i += n;
                continue;
            }
            AppendEscape(c, out); // Latin-1: the code point has the byte's value
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    out += '"';
}

ResultFormatter::ResultFormatter(ResultFormat format, std::vector<std::string> captions,
                                 bool domainOnly)
    : format_(format), captions_(std::move(captions)), domainOnly_(domainOnly) {
    // Two columns may carry one caption; as keys of one object they must differ.
    std::set<std::string> used;
    for (const std::string& caption : captions_) {
        std::string key = caption;
        for (int n = 2; !used.insert(key).second; ++n)
            key = caption + " " + std::to_string(n);
        std::string quoted;
        AppendJsonString(key, quoted);
        jsonKeys_.push_back(std::move(quoted));
    }
}

std::string ResultFormatter::header() const {
    if (format_ != ResultFormat::Csv && format_ != ResultFormat::Tsv)
        return {};
    const bool csv = format_ == ResultFormat::Csv;
    std::string out = csv ? "Domain,State,Time" : "Domain\tState\tTime";
    for (const std::string& caption : captions_) {
        out += csv ? ',' : '\t';
        csv ? AppendCsvField(caption, out) : AppendTsvField(caption, out);
    }
    out += '\n';
    return out;
}

void ResultFormatter::appendRow(const ResultStore& rows, std::size_t row, std::string& out) const {
    switch (format_) {
    case ResultFormat::Text:
        out += FormatResultLine(rows, row, domainOnly_);
        out += "\r\n";
        return;
    case ResultFormat::Csv:
        appendDelimited(rows, row, ',', out);
        return;
    case ResultFormat::Tsv:
        appendDelimited(rows, row, '\t', out);
        return;
    case ResultFormat::Json:
        appendJson(rows, row, out);
        return;
    }
}

void ResultFormatter::appendDelimited(const ResultStore& rows, std::size_t row, char separator,
                                      std::string& out) const {
    const auto field = [&](std::string_view text) {
        separator == ',' ? AppendCsvField(text, out) : AppendTsvField(text, out);
    };
    field(rows.caption(row));
    for (int i = 0; i < ResultStore::kFirstExtra + static_cast<int>(captions_.size()); ++i) {
        out += separator;
        field(rows.subItem(row, i));
    }
    out += '\n';
}

void ResultFormatter::appendJson(const ResultStore& rows, std::size_t row, std::string& out) const {
    const std::string_view time = rows.subItem(row, ResultStore::kTime);
    out += "{\"name\":";
    AppendJsonString(rows.caption(row), out);
    out += ",\"state\":";
    AppendJsonString(rows.subItem(row, ResultStore::kState), out);
    out += ",\"time\":";
    AppendJsonString(time, out);
    out += ",\"from\":\"";
    out += VerdictSourceText(VerdictSourceOf(time));
    out += "\",\"columns\":{";
    for (std::size_t i = 0; i < jsonKeys_.size(); ++i) {
        if (i != 0)
            out += ',';
        out += jsonKeys_[i];
        out += ':';
        AppendJsonString(rows.subItem(row, ResultStore::kFirstExtra + static_cast<int>(i)), out);
    }
    out += "}}\n";
}

} // namespace zendrel
