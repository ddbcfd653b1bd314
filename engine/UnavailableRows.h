#pragma once

#include <cstddef>

namespace zendrel {

class ResultStore;

// Whether a row's reply was read as "is not available": unchecked, answered ("~" in Time) and
// not "no data"; or found delegated in DNS ("dns" in Time).
bool IsUnavailableRow(const ResultStore& rows, std::size_t row);

// Deletes every unavailable row in one compacting pass. The result is that of walking the rows
// from the first and deleting each one found (examining the same index again after a deletion),
// but linear in the number of rows. Returns the number deleted.
std::size_t DeleteUnavailableRows(ResultStore& rows);

} // namespace zendrel
