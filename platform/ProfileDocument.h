#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zendrel {

// The text of a profile (INI) file held line by line, so that an update changes exactly one line
// and everything else a user wrote by hand (other sections, unknown keys, comments, blank lines)
// comes back out unchanged.
class ProfileDocument {
public:
    // Parses file bytes; lines may end in CR LF, LF or a lone CR.
    static ProfileDocument Parse(std::string_view bytes);

    // The value of the first `key` in the first `section` (both matched without regard to
    // case), trimmed of blanks and whole however long; none when missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Whether the text has a header for `section` (matched without regard to case).
    bool hasSection(std::string_view section) const { return findSection(section).has_value(); }

    // Sets `key` in `section`, replacing the first matching line or adding one at the end of the
    // section (or a new section at the end of the text). Line breaks in the value become blanks.
    void set(std::string_view section, std::string_view key, std::string_view value);

    // The whole text, each line ended with the line end the parsed text used (CR LF when new).
    std::string serialize() const;

private:
    std::optional<std::size_t> findSection(std::string_view section) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;

    std::vector<std::string> lines_;
    std::string lineEnd_ = "\r\n";
    std::string byteOrderMark_; // kept as found
};

} // namespace zendrel
