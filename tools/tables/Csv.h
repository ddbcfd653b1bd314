#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel::tables {

// One record of a CSV file, its fields by the names of the header line.
struct CsvRecord {
    int line = 0; // 1-based line of the file where the record starts
    std::map<std::string, std::string> fields;

    // The field named `name`; empty when the header has no such column.
    const std::string& operator[](const std::string& name) const;
};

struct CsvFile {
    std::vector<std::string> header;
    std::vector<CsvRecord> records;
    std::string error; // empty when the whole file was read
};

// Reads comma-separated text with a header line. Fields may be quoted ("a, b", "say ""hi""");
// lines that are empty or start with '#' are notes. A record with more fields than the header,
// or an unclosed quote, is an error that names its line.
CsvFile ReadCsv(std::string_view text);

} // namespace zendrel::tables
