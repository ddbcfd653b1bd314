// Reads and updates the profile (INI) format of the settings file: "[Section]" lines, then
// "Key=Value" lines. Lines starting with ";" or "#" are comments. Blanks around section names,
// keys and values are not significant, and names match without regard to case, because the file
// is meant to be edited by hand as well as by the program. Lines the reader does not understand
// are kept verbatim, so an update never destroys what a user wrote.
#include "platform/ProfileDocument.h"

#include "platform/Files.h"

#include <algorithm>

namespace zendrel {

namespace {

std::string_view trimBlanks(std::string_view text) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// The name of a "[name]" line, or none for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trimBlanks(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimBlanks(line.substr(1, close - 1));
}

bool isComment(std::string_view line) {
    line = trimBlanks(line);
    return !line.empty() && (line.front() == ';' || line.front() == '#');
}

// The key of a "key=value" line, or none for comments and lines without "=".
std::optional<std::string_view> keyName(std::string_view line) {
    if (isComment(line))
        return std::nullopt;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return trimBlanks(line.substr(0, eq));
}

std::string detectLineEnd(std::string_view bytes) {
    std::size_t at = bytes.find_first_of("\r\n");
    if (at == std::string_view::npos)
        return "\r\n";
    if (bytes[at] == '\n')
        return "\n";
    return at + 1 < bytes.size() && bytes[at + 1] == '\n' ? "\r\n" : "\r";
}

} // namespace

ProfileDocument ProfileDocument::Parse(std::string_view bytes) {
    ProfileDocument doc;
    // Some editors put a byte-order mark in front of the first line; left there it would hide
    // the first section, and the next update would add a second one.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(kByteOrderMark)) {
        doc.byteOrderMark_ = kByteOrderMark;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    doc.lines_ = SplitLines(bytes);
    doc.lineEnd_ = detectLineEnd(bytes);
    return doc;
}

std::optional<std::size_t> ProfileDocument::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        auto name = sectionName(lines_[i]);
        if (name && equalsNoCase(*name, section))
            return i;
    }
    return std::nullopt;
}

std::size_t ProfileDocument::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && !sectionName(lines_[i]))
        ++i;
    return i;
}

std::optional<std::size_t> ProfileDocument::findKey(std::size_t header,
                                                    std::string_view key) const {
    std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        auto name = keyName(lines_[i]);
        if (name && equalsNoCase(*name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> ProfileDocument::value(std::string_view section,
                                                  std::string_view key) const {
    auto header = findSection(section);
    if (!header)
        return std::nullopt;
    auto line = findKey(*header, key);
    if (!line)
        return std::nullopt;
    std::string_view text = lines_[*line];
    text = trimBlanks(text.substr(text.find('=') + 1));
    return std::string(text);
}

void ProfileDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    // A line break inside a value would end the line early and turn the rest of the value into
    // lines of its own (even a new section), so it is written as a blank instead.
    std::string line(key);
    line.append("=").append(value);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');

    auto header = findSection(section);
    if (!header) {
        if (!lines_.empty() && !trimBlanks(lines_.back()).empty())
            lines_.emplace_back();
        std::string header("[");
        lines_.push_back(header.append(section).append("]"));
        lines_.push_back(std::move(line));
        return;
    }
    if (auto existing = findKey(*header, key)) {
        lines_[*existing] = std::move(line);
        return;
    }
    // New keys go after the section's last non-blank line, so the blank line that usually
    // separates it from the next section stays in place.
    std::size_t at = sectionEnd(*header);
    while (at > *header + 1 && trimBlanks(lines_[at - 1]).empty())
        --at;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

std::string ProfileDocument::serialize() const {
    std::string out = byteOrderMark_;
    for (const auto& line : lines_) {
        out += line;
        out += lineEnd_;
    }
    return out;
}

} // namespace zendrel
