#pragma once

#include "lookup/ZoneOptions.h"

#include <string>
#include <string_view>
#include <vector>

namespace zendrel {

// One line of the zone table: its four fields exactly as written (no trimming, letter case kept)
// and the options read from the fields after them.
struct ZoneEntry {
    std::string label;        // free text, not interpreted
    std::string urlTemplate;  // gateway address with one "%s" for the full name
    std::string methodNumber; // text of the number of the method that reads the reply
    std::string zone;         // zone name without the leading dot, e.g. "co.uk"
    ZoneOptions options;      // none set on a line of four fields
};

// The zones the user can search in, in file order: the order of the zone check list (whose
// marks are stored by position) and the search order of FindZoneEntry.
class ZoneTable {
public:
    const std::vector<ZoneEntry>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    // The zone names in file order, one per check list entry.
    std::vector<std::string> zoneNames() const;

    // Options that were ignored while the table was read, in file order, for the user to see.
    const std::vector<ZoneLineProblem>& problems() const { return problems_; }

    // Appends one entry at the end.
    void append(ZoneEntry entry) { entries_.push_back(std::move(entry)); }
    // Notes one ignored option.
    void addProblem(ZoneLineProblem problem) { problems_.push_back(std::move(problem)); }
    // Releases every entry and every problem.
    void clear() {
        entries_.clear();
        problems_.clear();
    }

private:
    std::vector<ZoneEntry> entries_;
    std::vector<ZoneLineProblem> problems_;
};

// Empties `table` and fills it from `folder` + "domain.txt" (`folder` ends with '/'). A file that
// cannot be read leaves the table empty, silently.
void LoadZoneTable(const std::string& folder, ZoneTable& table);

// Fills `table` from the bytes of a zone file: one entry per line of at least four ";"-separated
// fields, each field after the fourth read as an option; shorter lines skipped. Options that are
// unknown or malformed are left out of the entry and listed in `table.problems()`.
void ReadZoneTable(std::string_view bytes, ZoneTable& table);

// The first entry, in table order, whose "." + zone first occurs in `name` right at its end; null
// when none does.
const ZoneEntry* FindZoneEntry(const ZoneTable& table, std::string_view name);

} // namespace zendrel
