// Reads the zone file "domain.txt": one zone per line as label;address template;method
// number;zone. The file is hand-maintained, so lines of fewer than four fields (notes, blank
// lines) are passed over and extra fields are ignored rather than refused.
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
    for (const std::string& line : SplitLines(bytes)) {
        std::vector<std::string> fields = SplitFields(';', line);
        if (fields.size() < 4)
            continue;
        table.append(ZoneEntry{std::move(fields[0]), std::move(fields[1]), std::move(fields[2]),
                               std::move(fields[3])});
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
