#include "engine/UnavailableRows.h"

#include "engine/ResultStore.h"

namespace zendrel {

bool IsUnavailableRow(const ResultStore& rows, std::size_t row) {
    return !rows.checked(row) && rows.subItem(row, ResultStore::kTime) == "~" &&
           rows.subItem(row, ResultStore::kState) != "no data";
}

std::size_t DeleteUnavailableRows(ResultStore& rows) {
    return rows.removeIf([&rows](std::size_t i) { return IsUnavailableRow(rows, i); });
}

} // namespace zendrel
