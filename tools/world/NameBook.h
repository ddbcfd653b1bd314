#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zendrel::world {

enum class Holding { Free, Registered, Hold };

// What the simulated DNS says about a name.
enum class Delegation {
    Delegated, // NS records in the answer
    NxDomain,  // no such name
    NoData,    // the name exists, with no NS records
    ServFail,  // the server cannot say
    Silent,    // no answer at all
};

struct NameEntry {
    Holding holding = Holding::Free;
    Delegation delegation = Delegation::NxDomain;
};

// The names a simulated registry holds, with what its DNS says about each. A name not listed
// is free and not in DNS.
class NameBook {
public:
    // Adds the lines of a names file: "NAME [registered|hold|free] [delegated|nxdomain|nodata|
    // servfail|silent]", "#" starting a comment. A registered name is delegated unless the line
    // says otherwise; a held or free one is not (a hold takes a name out of its zone). Returns
    // the 1-based number of the first line it could not read, or 0.
    int addText(std::string_view text);

    // The entry for `name`, compared without regard to case or a final dot; none when unlisted.
    std::optional<NameEntry> find(std::string_view name) const;
    std::size_t size() const { return names_.size(); }

private:
    std::unordered_map<std::string, NameEntry> names_;
};

// `name` in lower case without a final dot: the form names are kept and compared in.
std::string CanonicalName(std::string_view name);

} // namespace zendrel::world
