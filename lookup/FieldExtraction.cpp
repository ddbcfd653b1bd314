// Reads registration details out of a gateway page by plain text search. Gateways answer in
// loose "label: value" text or HTML, so a value is whatever follows its label up to the end of
// the line or the next markup, and sections (a block of name servers) end at an empty line.
#include "lookup/FieldExtraction.h"

#include "lookup/TextRules.h"

namespace zendrel {

namespace {

int LowerHexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Position of the count-th non-overlapping occurrence of `needle` (count -1: the last), or npos.
std::size_t FindOccurrence(std::string_view hay, std::string_view needle, int32_t count) {
    std::size_t found = std::string_view::npos;
    std::size_t from = 0;
    for (int64_t seen = 0; count == -1 || seen < count; ++seen) {
        std::size_t at = hay.find(needle, from);
        if (at == std::string_view::npos)
            return count == -1 ? found : std::string_view::npos;
        found = at;
        from = at + needle.size();
    }
    return found;
}

} // namespace

std::string DecodeLabelEscape(std::string_view label) {
    std::string out(label);
    std::size_t hash = out.find('#');
    if (hash == std::string::npos)
        return out;
    int value = hash + 1 < out.size() ? LowerHexValue(out[hash + 1]) : -1;
    char decoded = value >= 0 ? static_cast<char>(value) : static_cast<char>(0xff);
    std::size_t width = hash + 1 < out.size() ? 2 : 1;
    out.replace(hash, width, 1, decoded);
    return out;
}

std::optional<std::string> ExtractField(std::string_view fieldItem, std::string_view work) {
    int32_t count = 1;
    std::string_view label = fieldItem;
    std::size_t tilde = fieldItem.find('~');
    if (tilde != std::string_view::npos) {
        std::optional<int32_t> read = ReadDataInteger(fieldItem.substr(0, tilde));
        if (!read)
            return std::nullopt;
        count = *read;
        label = fieldItem.substr(tilde + 1);
    }
    std::string needle = DecodeLabelEscape(LowerCase(label));
    if (count == 0 || count < -1 || needle.empty())
        return std::nullopt;
    std::size_t at = FindOccurrence(work, needle, count);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = work.substr(at + needle.size());
    rest = rest.substr(0, rest.find_first_of("\n(<>"));
    return std::string(TrimBlanks(rest));
}

void PositionSection(std::string_view& work, int32_t count, std::string_view marker) {
    std::size_t at =
        marker.empty() || count < 1 ? std::string_view::npos : FindOccurrence(work, marker, count);
    if (at == std::string_view::npos) {
        work = {};
        return;
    }
    work.remove_prefix(at);
    std::size_t end = work.find("\n\n");
    if (end == std::string_view::npos)
        end = work.find("\n<br>\n");
    if (end != std::string_view::npos)
        work = work.substr(0, end);
}

} // namespace zendrel
