// Reads the zone file "domain.txt": one zone per line as label;address template;method
// number;zone, then any options, one per field. The file is hand-maintained, so lines of fewer
// than four fields (notes, blank lines) are passed over, and an option that is not understood is
// ignored and noted rather than refused with the whole line.
#include "lookup/ZoneTable.h"

#include "lookup/SplitFields.h"
#include "platform/Files.h"

namespace zendrel {

std::vector<std::string> ZoneTable::zoneNames() const {
    std::vector<std::string> names;
    names.reserve(entries_.size());
    for (const ZoneEntry& e : entries_)
        names.push_back(e.zone);
    return names;
}

void ReadZoneTable(std::string_view bytes, ZoneTable& table) {
    table.clear();
    std::vector<std::string> lines = SplitLines(bytes);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::vector<std::string> fields = SplitFields(';', lines[i]);
        if (fields.size() < 4)
            continue;
        ZoneOptions options;
        for (std::size_t f = 4; f < fields.size(); ++f) {
            if (std::optional<std::string> why = ApplyZoneOption(fields[f], options))
                table.addProblem(ZoneLineProblem{static_cast<int>(i + 1), std::move(fields[f]),
                                                 std::move(*why)});
        }
        table.append(ZoneEntry{std::move(fields[0]), std::move(fields[1]), std::move(fields[2]),
                               std::move(fields[3]), std::move(options)});
    }
}

void LoadZoneTable(const std::string& folder, ZoneTable& table) {
    std::string bytes;
    if (!ReadFileBytes(folder + "domain.txt", bytes))
        bytes.clear();
    ReadZoneTable(bytes, table);
}

const ZoneEntry* FindZoneEntry(const ZoneTable& table, std::string_view name) {
    for (const ZoneEntry& entry : table.entries()) {
        std::string suffix = "." + entry.zone;
        // Only the first occurrence counts: shop.com.com is not a name of the zone com.
        std::size_t at = name.find(suffix);
        if (at != std::string_view::npos && at + suffix.size() == name.size())
            return &entry;
    }
    return nullptr;
}

} // namespace zendrel
