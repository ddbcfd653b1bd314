// The registry tables are kept as CSV so that a maintainer can edit them in any spreadsheet or
// text editor; only the common subset is read (comma separator, double-quote quoting, no
// line breaks inside fields), which is all those tables need.
#include "tools/tables/Csv.h"

#include "platform/Files.h"

namespace zendrel::tables {

const std::string& CsvRecord::operator[](const std::string& name) const {
    static const std::string none;
    auto it = fields.find(name);
    return it == fields.end() ? none : it->second;
}

namespace {

// Splits one line into fields; false on an unclosed quote.
bool SplitCsvLine(std::string_view line, std::vector<std::string>& out) {
    out.assign(1, std::string());
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c != '"')
                out.back() += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                out.back() += line[++i];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return !quoted;
}

} // namespace

CsvFile ReadCsv(std::string_view text) {
    CsvFile file;
    std::vector<std::string> lines = SplitLines(text);
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty() || line[0] == '#')
            continue;
        const int number = static_cast<int>(i + 1);
        if (!SplitCsvLine(line, cells)) {
            file.error = "line " + std::to_string(number) + ": a quote is not closed";
            return file;
        }
        if (file.header.empty()) {
            file.header = cells;
            continue;
        }
        if (cells.size() > file.header.size()) {
            file.error = "line " + std::to_string(number) + ": more fields than the header names";
            return file;
        }
        CsvRecord record{number, {}};
        for (std::size_t c = 0; c < cells.size(); ++c)
            record.fields[file.header[c]] = cells[c];
        file.records.push_back(std::move(record));
    }
    return file;
}

} // namespace zendrel::tables
