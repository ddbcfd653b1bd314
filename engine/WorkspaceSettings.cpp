#include "engine/WorkspaceSettings.h"

#include "lookup/SplitFields.h"
#include "lookup/TextRules.h"
#include "platform/ProfileDocument.h"
#include "platform/ProfileFile.h"

#include <algorithm>
#include <utility>

namespace zendrel {

const char* const kConnectionLabels[9] = {
    "Proxy",    "Proxy Port", "Sender",         "Agent",          "Reference",
    "Username", "Password",   "Proxy Username", "Proxy Password",
};

std::optional<long long> ReadSettingsInteger(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 15)
        return std::nullopt;
    long long value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
    }
    return negative ? -value : value;
}

std::optional<std::vector<int>> ReadSizeList(std::string_view text) {
    std::vector<int> out;
    for (const std::string& field : SplitFields(',', text)) {
        const auto v = ReadSettingsInteger(field);
        if (!v || *v < INT32_MIN || *v > INT32_MAX)
            return std::nullopt;
        out.push_back(static_cast<int>(*v));
    }
    return out;
}

bool ZoneCheckedInDom(std::string_view dom, std::size_t index) {
    return index < dom.size() && dom[index] == '+';
}

namespace {

// Number fields hold 16-bit positions; a stored number beyond that is not a position at all.
constexpr long long kPositionMin = -32768;
constexpr long long kPositionMax = 32767;

class Reader {
public:
    Reader(const ProfileDocument& doc, std::vector<std::string>& skipped)
        : doc_(doc), skipped_(skipped) {}
    std::optional<std::string> text(std::string_view key) const {
        return doc_.value(kSettingsSection, key);
    }
    std::string string(std::string_view key, std::string def) const {
        return text(key).value_or(std::move(def));
    }
    int integer(std::string_view key, int def) const {
        auto t = text(key);
        auto v = t ? ReadSettingsInteger(*t) : std::nullopt;
        if (!v || *v < INT32_MIN || *v > INT32_MAX)
            return def;
        return static_cast<int>(*v);
    }
    bool boolean(std::string_view key, bool def) const { return integer(key, def ? 1 : 0) != 0; }
    // A number field's value: text that is no number takes the default quietly, as it always
    // has; a number beyond 16 bits takes it too and is reported.
    int position(const RunOption& option) const { return position(option.key, option.fallback); }
    int position(std::string_view key, int def) const {
        auto t = text(key);
        auto v = t ? ReadSettingsInteger(*t) : std::nullopt;
        if (!v)
            return def;
        if (*v < kPositionMin || *v > kPositionMax) {
            skipped_.emplace_back(key);
            return def;
        }
        return static_cast<int>(*v);
    }
    // A size list whose fields are all integers, else the default (and the key is reported).
    std::string sizes(std::string_view key, std::string def) const {
        auto t = text(key);
        if (!t)
            return def;
        if (!ReadSizeList(*t)) {
            skipped_.emplace_back(key);
            return def;
        }
        return *t;
    }

private:
    const ProfileDocument& doc_;
    std::vector<std::string>& skipped_;
};

std::string Bool(bool b) {
    return b ? "1" : "0";
}

} // namespace

WorkspaceSettings ReadWorkspaceSettings(const std::string& path, const std::string& programFolder) {
    const ProfileDocument doc = LoadProfile(path);
    WorkspaceSettings s;
    const Reader r(doc, s.skippedKeys);
    s.fileNameDomain = r.string("FileNameDomain", programFolder + "default.txt");
    s.fileAddDomain = r.string("FileAddDomain", programFolder + "add.txt");
    s.combinations = r.position(kCombinationsOption);
    s.additiveName = r.boolean("AdditiveName", false);
    s.hyphens = r.boolean("Hyphens", false);
    s.countHyphens = r.position(kHyphensOption);
    s.dom = r.string("Dom", "");
    s.main = r.sizes("Main", "");
    s.param = r.sizes("Param", "260,255");
    s.links = r.position(kLinksOption);
    s.timeOut = r.position(kTimeOutOption);
    s.firstAdd = r.boolean("FirstAdd", false);
    s.lastAdd = r.boolean("LastAdd", false);
    // "DeleteItems" sets the box first and "Delete" sets it again, so only "Delete" counts.
    s.deleteUnavailable = r.boolean("Delete", false);
    s.available = r.boolean("Available", false);
    s.notAvailable = r.boolean("NotAvailable", false);
    s.hold = r.boolean("Hold", false);
    s.dnOnly = r.boolean("DNOnly", false);
    s.maxLength = r.position(kMaxLengthOption);
    for (int i = 0; i < 9; ++i)
        s.connection[i] = r.string(kConnectionLabels[i], "");
    s.sgProxy0 = r.integer("sgProxy0", 100);
    s.sgProxy1 = r.integer("sgProxy1", 100);
    s.saveAll = r.boolean("SaveAll", true);
    s.autoResume = r.boolean("AutoResume", true);
    s.resume = r.position(kResumeOption);
    const auto dnsFirst = doc.value(kZendrelSection, "DnsFirst");
    const auto dnsFirstValue = dnsFirst ? ReadSettingsInteger(*dnsFirst) : std::nullopt;
    s.dnsFirst = dnsFirstValue && *dnsFirstValue != 0;
    s.dnsServers = std::string(TrimBlanks(doc.value(kZendrelSection, "DnsServers").value_or("")));
    s.zendrelSection = doc.hasSection(kZendrelSection);
    return s;
}

void WriteWorkspaceSettings(const std::string& path, const WorkspaceSettings& s) {
    ProfileEntries e = {
        {"FileNameDomain", s.fileNameDomain},
        {"FileAddDomain", s.fileAddDomain},
        {std::string(kCombinationsOption.key), std::to_string(s.combinations)},
        {"AdditiveName", Bool(s.additiveName)},
        {"Hyphens", Bool(s.hyphens)},
        {std::string(kHyphensOption.key), std::to_string(s.countHyphens)},
        {"Dom", s.dom},
        {"Main", s.main},
        {"Param", s.param},
        {std::string(kLinksOption.key), std::to_string(s.links)},
        {std::string(kTimeOutOption.key), std::to_string(s.timeOut)},
        {"DeleteItems", Bool(s.deleteUnavailable)},
        {"FirstAdd", Bool(s.firstAdd)},
        {"LastAdd", Bool(s.lastAdd)},
        {"Delete", Bool(s.deleteUnavailable)},
        {"Available", Bool(s.available)},
        {"NotAvailable", Bool(s.notAvailable)},
        {"Hold", Bool(s.hold)},
        {"DNOnly", Bool(s.dnOnly)},
        {std::string(kMaxLengthOption.key), std::to_string(s.maxLength)},
    };
    for (int i = 0; i < 9; ++i)
        e.emplace_back(kConnectionLabels[i], std::string(TrimBlanks(s.connection[i])));
    e.emplace_back("sgProxy0", std::to_string(s.sgProxy0));
    e.emplace_back("sgProxy1", std::to_string(s.sgProxy1));
    e.emplace_back("SaveAll", Bool(s.saveAll));
    e.emplace_back("AutoResume", Bool(s.autoResume));
    e.emplace_back(kResumeOption.key, std::to_string(s.resume));
    WriteProfileStrings(path, kSettingsSection, e);
    if (s.zendrelSection || s.dnsFirst || !s.dnsServers.empty())
        WriteProfileStrings(path, kZendrelSection,
                            {{"DnsFirst", Bool(s.dnsFirst)}, {"DnsServers", s.dnsServers}});
}

} // namespace zendrel
