#include "engine/StoreReplyRow.h"

#include "engine/ResultStore.h"

#include <stdexcept>

namespace zendrel {

void StoreReplyRow::setStateText(std::string_view text) {
    rows_.setSubItem(row_, ResultStore::kState, text);
}

void StoreReplyRow::setChecked(bool on) {
    rows_.setChecked(row_, on);
}

void StoreReplyRow::setExtraColumn(int column, std::string_view text) {
    if (row_ >= rows_.size() || column < 0 || column >= rows_.extraColumnCount())
        throw std::out_of_range("List index out of bounds (" + std::to_string(column) + ")");
    rows_.setSubItem(row_, ResultStore::kFirstExtra + column, text);
}

} // namespace zendrel
