// Reads the method file "method.txt": a header line naming the extra result columns, then one
// method per line. Every line with at least one byte becomes an entry (there is no comment
// syntax), so entry positions match the lines a maintainer sees.
#include "lookup/MethodTable.h"

#include "lookup/MethodLine.h"
#include "lookup/TextRules.h"
#include "platform/Files.h"

#include <algorithm>
#include <optional>

namespace zendrel {

std::vector<std::string> MethodTable::extraColumnCaptions() const {
    if (extraColumnCount_ == 0)
        return {};
    const std::vector<std::string>& header = entries_.front().items;
    return {header.begin() + 1, header.end()};
}

void MethodTable::append(MethodEntry entry) {
    // Every entry has a number item and a classification item, even if they are one and empty.
    if (entry.items.empty())
        entry.items.emplace_back();
    entries_.push_back(std::move(entry));
    if (entries_.size() == 1) {
        std::size_t n = entries_.front().items.size();
        extraColumnCount_ = n >= 2 ? static_cast<int>(std::min<std::size_t>(n - 1, INT32_MAX)) : 0;
    }
}

void MethodTable::clear() {
    entries_.clear();
    extraColumnCount_ = 0;
}

void ReadMethodTable(std::string_view bytes, MethodTable& table) {
    table.clear();
    for (const std::string& line : SplitLines(bytes)) {
        if (line.empty())
            continue;
        table.append(BuildMethodEntry(line));
    }
}

void LoadMethodTable(const std::string& folder, MethodTable& table) {
    std::string bytes;
    if (!ReadFileBytes(folder + "method.txt", bytes))
        bytes.clear();
    ReadMethodTable(bytes, table);
}

const MethodEntry* FindMethod(const MethodTable& table, int32_t number) {
    const std::string text = std::to_string(number);
    const std::vector<MethodEntry>& entries = table.entries();
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (entries[i].number() == text)
            return &entries[i];
    }
    return nullptr;
}

const MethodEntry* FindMethodByValue(const MethodTable& table, int32_t number) {
    const std::vector<MethodEntry>& entries = table.entries();
    for (std::size_t i = 1; i < entries.size(); ++i) {
        std::optional<int32_t> value = ReadDataInteger(entries[i].number());
        if (!value)
            throw EInvalidInteger("'" + entries[i].number() + "' is not a valid integer value");
        if (*value == number)
            return &entries[i];
    }
    return nullptr;
}

} // namespace zendrel
