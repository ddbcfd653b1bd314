#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel {

// One method: its number, its extraction steps and its classification item, in that order. Every
// item is lower-case and trimmed (a generated positioning item keeps the blanks after its tilde).
struct MethodEntry {
    std::vector<std::string> items;

    const std::string& number() const { return items.front(); }
    const std::string& classification() const { return items.back(); }
};

// A method entry whose first item is not a number, met by the dispatcher's integer search. The
// text is shown to the user as it stands.
class EInvalidInteger : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The methods in file order. Entry 0 is the header that names the extra result columns; the
// methods are entries 1 and on.
class MethodTable {
public:
    const std::vector<MethodEntry>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }

    // Number of result columns the methods may fill: header items minus one, or 0.
    int extraColumnCount() const { return extraColumnCount_; }
    // Captions of the extra columns: the header's items from the second on.
    std::vector<std::string> extraColumnCaptions() const;

    // Appends one entry and keeps the column count in step with the header.
    void append(MethodEntry entry);
    // Releases every entry.
    void clear();

private:
    std::vector<MethodEntry> entries_;
    int extraColumnCount_ = 0;
};

// Empties `table` and fills it from `folder` + "method.txt" (`folder` ends with '/'). A file that
// cannot be read leaves the table empty, silently.
void LoadMethodTable(const std::string& folder, MethodTable& table);

// Fills `table` from the bytes of a method file: one entry per line that is not of length 0.
void ReadMethodTable(std::string_view bytes, MethodTable& table);

// The first method (from entry 1) whose number item is exactly the decimal text of `number`;
// null when there is none. The search used when a reply is classified.
const MethodEntry* FindMethod(const MethodTable& table, int32_t number);

// The first method (from entry 1) whose number item, read as a data-file integer, equals
// `number`; null when none does. Throws EInvalidInteger when it meets a number item that is no
// number before a match. The search the dispatcher makes before a lookup.
const MethodEntry* FindMethodByValue(const MethodTable& table, int32_t number);

} // namespace zendrel
