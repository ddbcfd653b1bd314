#include "tools/world/NameBook.h"

#include <sstream>
#include <vector>

namespace zendrel::world {

namespace {

std::vector<std::string> words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

bool readHolding(const std::string& word, NameEntry& entry) {
    if (word == "registered")
        entry = {Holding::Registered, Delegation::Delegated};
    else if (word == "hold")
        entry = {Holding::Hold, Delegation::NxDomain};
    else if (word == "free")
        entry = {Holding::Free, Delegation::NxDomain};
    else
        return false;
    return true;
}

bool readDelegation(const std::string& word, Delegation& d) {
    static const std::pair<const char*, Delegation> kWords[] = {
        {"delegated", Delegation::Delegated}, {"nxdomain", Delegation::NxDomain},
        {"nodata", Delegation::NoData},       {"servfail", Delegation::ServFail},
        {"silent", Delegation::Silent},
    };
    for (const auto& [w, value] : kWords) {
        if (word == w) {
            d = value;
            return true;
        }
    }
    return false;
}

// One line's words after the name: an optional holding, then an optional delegation.
bool readLine(const std::vector<std::string>& w, NameEntry& entry) {
    entry = {Holding::Registered, Delegation::Delegated};
    std::size_t i = 1;
    if (i < w.size() && readHolding(w[i], entry))
        ++i;
    if (i < w.size() && readDelegation(w[i], entry.delegation))
        ++i;
    return i == w.size();
}

} // namespace

std::string CanonicalName(std::string_view name) {
    if (!name.empty() && name.back() == '.')
        name.remove_suffix(1);
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

int NameBook::addText(std::string_view text) {
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        line = line.substr(0, line.find('#'));
        auto w = words(line);
        if (w.empty())
            continue;
        NameEntry entry;
        if (!readLine(w, entry))
            return lineNumber;
        names_[CanonicalName(w[0])] = entry;
    }
    return 0;
}

std::optional<NameEntry> NameBook::find(std::string_view name) const {
    auto it = names_.find(CanonicalName(name));
    if (it == names_.end())
        return std::nullopt;
    return it->second;
}

} // namespace zendrel::world
