#pragma once

#include <string_view>

namespace zendrel {

// The result row a reply is classified into. The search engine's row store implements it; tests
// use a plain in-memory row.
class ReplyRow {
public:
    virtual ~ReplyRow() = default;

    // Writes the State column.
    virtual void setStateText(std::string_view text) = 0;
    // Sets or clears the row's check mark.
    virtual void setChecked(bool on) = 0;
    // Writes extra column `column` (counted from 0). May throw; the classification then stops
    // extracting and keeps what it wrote before.
    virtual void setExtraColumn(int column, std::string_view text) = 0;
};

} // namespace zendrel
