#pragma once

#include "lookup/ReplyRow.h"

#include <cstddef>
#include <string_view>

namespace zendrel {

class ResultStore;

// One row of the result store as the reply classification sees it: State text, check mark and
// the extra columns, which are sub-items 2 and on.
class StoreReplyRow final : public ReplyRow {
public:
    StoreReplyRow(ResultStore& rows, std::size_t row) : rows_(rows), row_(row) {}

    void setStateText(std::string_view text) override;
    void setChecked(bool on) override;
    // Throws std::out_of_range for a column the row does not have, so extraction stops there.
    void setExtraColumn(int column, std::string_view text) override;

private:
    ResultStore& rows_;
    std::size_t row_;
};

} // namespace zendrel
