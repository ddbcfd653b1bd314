#include "lookup/SplitFields.h"

namespace zendrel {

std::vector<std::string> SplitFields(char separator, std::string_view text) {
    std::vector<std::string> items;
    if (text.empty())
        return items;
    std::size_t start = 0;
    for (;;) {
        std::size_t cut = text.find(separator, start);
        if (cut == std::string_view::npos) {
            items.emplace_back(text.substr(start));
            return items;
        }
        items.emplace_back(text.substr(start, cut - start));
        start = cut + 1;
    }
}

} // namespace zendrel
