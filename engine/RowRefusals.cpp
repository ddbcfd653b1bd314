#include "engine/RowRefusals.h"

namespace zendrel {

bool RowRefusals::refused(std::size_t row) {
    return ++counts_[row] >= kGiveUpAfter;
}

int RowRefusals::count(std::size_t row) const {
    auto it = counts_.find(row);
    return it == counts_.end() ? 0 : it->second;
}

} // namespace zendrel
