#include "engine/UnavailableRows.h"

#include "engine/ResultStore.h"

namespace zendrel {

bool IsUnavailableRow(const ResultStore& rows, std::size_t row) {
    if (rows.checked(row))
        return false;
    const std::string_view time = rows.subItem(row, ResultStore::kTime);
    const std::string_view state = rows.subItem(row, ResultStore::kState);
    // A name delegated in DNS was never asked at its registry: "dns" stands where "~" would.
    return (time == "~" && state != "no data") || (time == "dns" && state == "is not available");
}

std::size_t DeleteUnavailableRows(ResultStore& rows) {
    return rows.removeIf([&rows](std::size_t i) { return IsUnavailableRow(rows, i); });
}

} // namespace zendrel
