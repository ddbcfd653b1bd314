// Builds one method from a line of "method.txt". A line is ";"-separated raw items; a raw item
// beginning with "{" opens a block "{count~marker" that runs to the next "}" item (or the end of
// the line) and is written out count times, each copy framed by a positioning item
// "~k~marker" and a reset item "~~" when a marker is given. Blocks let one line read a varying
// number of repeated fields (name servers) without writing each copy by hand.
#include "lookup/MethodLine.h"

#include "lookup/SplitFields.h"
#include "lookup/TextRules.h"

#include <algorithm>
#include <string>
#include <vector>

namespace zendrel {

namespace {

// Per-item bookkeeping counted against the expansion budget besides the item's own text.
constexpr std::size_t kItemOverhead = 32;

struct BlockOpener {
    int32_t count = 1;
    std::string marker; // empty: no positioning around each copy
};

BlockOpener ReadOpener(std::string_view trimmed) {
    std::string_view text = trimmed.substr(1);
    std::size_t tilde = text.find('~');
    std::string_view countText = tilde == std::string_view::npos ? text : text.substr(0, tilde);
    BlockOpener opener;
    if (tilde != std::string_view::npos)
        opener.marker = LowerCase(text.substr(tilde + 1));
    opener.count = ReadDataInteger(countText).value_or(1);
    return opener;
}

// "~k~marker", built by appending: chained operator+ trips a false -Wrestrict at -O3.
std::string PositioningItem(int32_t k, const std::string& marker) {
    std::string item = "~";
    item.append(std::to_string(k)).append(1, '~').append(marker);
    return item;
}

std::string StoredItem(std::string_view raw) {
    return LowerCase(TrimBlanks(raw));
}

std::size_t ItemCost(const std::string& item) {
    return item.size() + kItemOverhead;
}

// Appends the copies of one block. `spent` carries the expansion budget across the blocks of
// a line, so that many small blocks cannot add up to what one large one may not.
void ExpandBlock(const BlockOpener& opener, const std::vector<std::string>& body,
                 std::vector<std::string>& items, std::size_t& spent) {
    const std::string reset = "~~";
    int32_t repeats = std::min<int32_t>(opener.count, kMaxBlockRepeats);
    for (int32_t k = 1; k <= repeats && spent < kMaxBlockExpansionBytes; ++k) {
        if (!opener.marker.empty()) {
            items.push_back(PositioningItem(k, opener.marker));
            spent += ItemCost(items.back());
        }
        for (const std::string& item : body) {
            items.push_back(item);
            spent += ItemCost(item);
        }
        if (!opener.marker.empty()) {
            items.push_back(reset);
            spent += ItemCost(reset);
        }
    }
}

} // namespace

MethodEntry BuildMethodEntry(std::string_view line) {
    std::vector<std::string> raw = SplitFields(';', line);
    MethodEntry entry;
    std::size_t spent = 0;
    std::size_t i = 0;
    while (i < raw.size()) {
        std::string_view trimmed = TrimBlanks(raw[i]);
        if (trimmed.empty() || trimmed.front() != '{') {
            entry.items.push_back(StoredItem(trimmed));
            ++i;
            continue;
        }
        BlockOpener opener = ReadOpener(trimmed);
        std::vector<std::string> body;
        std::size_t j = i + 1;
        for (; j < raw.size() && TrimBlanks(raw[j]) != "}"; ++j)
            body.push_back(StoredItem(raw[j]));
        // A count of 0 or less drops the whole block, its closing item included.
        if (opener.count >= 1)
            ExpandBlock(opener, body, entry.items, spent);
        i = j + 1;
    }
    // Blocks that expand to nothing must not leave an entry without a number item.
    if (entry.items.empty())
        entry.items.emplace_back();
    return entry;
}

} // namespace zendrel
