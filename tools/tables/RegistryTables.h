#pragma once

#include <string>
#include <vector>

namespace zendrel::tables {

// The sources of the internet workspace's tables: our registry table (one row per zone), our
// server families (how each kind of server words its replies) and IANA's RDAP bootstrap file.
struct TablesInput {
    std::string registriesCsv;
    std::string familiesCsv;
    std::string bootstrapJson;
};

struct GeneratedTables {
    std::string domainTxt;
    std::string methodTxt;
    std::vector<std::string> errors; // the tables are unusable unless this is empty
};

// The captions of the extra result columns; every family fills at most these.
inline constexpr const char* kMethodHeader =
    "0;Registrar;Created;Expires;Name server 1;Name server 2";

// Builds "domain.txt" and "method.txt" from the sources. The output depends on nothing else, so
// the files committed in the repository can be checked against what the sources give.
GeneratedTables GenerateRegistryTables(const TablesInput& input);

// Reads "registries.csv", "families.csv" and "dns.json" from `folder` (ending in '/'). False,
// with `error` naming the file, when one cannot be read.
bool ReadTablesInput(const std::string& folder, TablesInput& input, std::string& error);

} // namespace zendrel::tables
