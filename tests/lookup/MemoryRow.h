#pragma once

#include "lookup/ReplyRow.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel::test {

// A result row held in memory. Writing column `failingColumn` throws, as a row store may.
class MemoryRow : public ReplyRow {
public:
    explicit MemoryRow(int columns = 0) : extra(columns) {}

    void setStateText(std::string_view text) override { state = text; }
    void setChecked(bool on) override { checked = on; }
    void setExtraColumn(int column, std::string_view text) override {
        if (column == failingColumn)
            throw std::runtime_error("column cannot be written");
        extra.at(static_cast<std::size_t>(column)) = text;
    }

    std::string state;
    bool checked = true;
    std::vector<std::string> extra;
    int failingColumn = -1;
};

} // namespace zendrel::test
