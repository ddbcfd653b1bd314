// The check of a workspace reads the zone and method files again line by line, because the
// tables keep their entries but not the lines they came from (nor the lines they passed over).
#include "engine/WorkspaceCheck.h"

#include "engine/RunOptions.h"
#include "engine/Workspace.h"
#include "lookup/SplitFields.h"
#include "lookup/TextRules.h"
#include "lookup/UrlTemplate.h"
#include "net/HttpText.h"
#include "platform/Files.h"

#include <optional>

namespace zendrel {

namespace {

std::string Quoted(std::string_view text) {
    // Appended, not "'" + text: GCC 12 misreads that insert at the front as an overlap.
    std::string quoted(1, '\'');
    quoted += text;
    quoted += '\'';
    return quoted;
}

std::string At(const char* file, std::size_t line) {
    return std::string(file) + ", line " + std::to_string(line) + ": ";
}

// The lines of a file of the workspace; none when it cannot be read.
std::optional<std::vector<std::string>> FileLines(const Workspace& ws, const char* name) {
    std::string bytes;
    if (!ReadFileBytes(ws.folder + name, bytes))
        return std::nullopt;
    return SplitLines(bytes);
}

bool KnownScheme(const std::string& proto) {
    const std::string p = LowerCase(proto);
    return p.empty() || p == "http" || p == "https" || p == "whois";
}

// What is wrong with a zone line's address, or nothing.
std::optional<std::string> AddressProblem(const std::string& address) {
    if (!IsUsableUrlTemplate(address))
        return "address " + Quoted(address) +
               " cannot be used: it may hold one %s and no other % than %%";
    if (address.find("%s") == std::string::npos)
        return "address " + Quoted(address) + " has no %s: every name would get the same reply";
    std::string proto, user, pass, host, port, path;
    SplitUrl(address, proto, user, pass, host, port, path);
    if (!KnownScheme(proto))
        return "address " + Quoted(address) + " is not http://, https:// or whois://";
    if (host.empty())
        return "address " + Quoted(address) + " names no server";
    return std::nullopt;
}

// What is wrong with the method number of a zone line, or nothing.
std::optional<std::string> MethodProblem(const ZoneEntry& entry, const MethodTable& methods) {
    const std::optional<std::int32_t> number = ReadDataInteger(entry.methodNumber);
    if (!number)
        return "method number " + Quoted(entry.methodNumber) + " is not a number";
    for (std::size_t i = 1; i < methods.size(); ++i) {
        if (ReadDataInteger(methods.entries()[i].number()) == number)
            return std::nullopt;
    }
    return "no method has the number " + std::to_string(*number) + " (method.txt)";
}

void CheckZoneLines(const Workspace& ws, std::vector<std::string>& out) {
    const std::optional<std::vector<std::string>> lines = FileLines(ws, "domain.txt");
    if (!lines) {
        out.push_back("domain.txt: cannot be read, so there are no zones to search");
        return;
    }
    const std::vector<ZoneEntry>& entries = ws.zones.entries();
    std::size_t entry = 0;
    for (std::size_t i = 0; i < lines->size(); ++i) {
        const std::string& line = (*lines)[i];
        const std::size_t fields = SplitFields(';', line).size();
        if (fields < 4) {
            // A line without ";" is a note; one with a few fields is a zone line cut short.
            if (line.find(';') != std::string::npos)
                out.push_back(At("domain.txt", i + 1) + "passed over: " + std::to_string(fields) +
                              (fields == 1 ? " field" : " fields") +
                              ", where a zone line has 4 (label;address;method number;zone)");
            continue;
        }
        if (entry >= entries.size())
            break;
        const ZoneEntry& e = entries[entry++];
        const std::string at = At("domain.txt", i + 1);
        for (const ZoneLineProblem& p : ws.zones.problems()) {
            if (p.line == static_cast<int>(i + 1))
                out.push_back(DescribeZoneLineProblem(p));
        }
        if (e.zone.empty()) {
            out.push_back(at + "the zone field is empty");
            continue;
        }
        if (std::optional<std::string> why = AddressProblem(e.urlTemplate))
            out.push_back(at + *why);
        if (std::optional<std::string> why = MethodProblem(e, ws.methods))
            out.push_back(at + *why);
        const ZoneEntry* first = FindZoneEntry(ws.zones, "name." + e.zone);
        if (first != &e && first)
            out.push_back(at + "zone " + Quoted(e.zone) + " is never used: its names go to the " +
                          "earlier line for zone " + Quoted(first->zone));
    }
}

void CheckMethodLines(const Workspace& ws, std::vector<std::string>& out) {
    const std::optional<std::vector<std::string>> lines = FileLines(ws, "method.txt");
    if (!lines) {
        out.push_back("method.txt: cannot be read, so no zone has a method");
        return;
    }
    // Entries are the lines that are not empty; the first is the header of the extra columns.
    bool header = true;
    for (std::size_t i = 0; i < lines->size(); ++i) {
        if ((*lines)[i].empty())
            continue;
        const std::string number = LowerCase(TrimBlanks(SplitFields(';', (*lines)[i]).front()));
        if (!header && !ReadDataInteger(number))
            out.push_back(At("method.txt", i + 1) + "the method number " + Quoted(number) +
                          " is not a number; a search that looks for a method stops here");
        header = false;
    }
}

struct StoredNumber {
    const RunOption& option;
    int WorkspaceSettings::*value;
};

void CheckSettings(const Workspace& ws, std::vector<std::string>& out) {
    const WorkspaceSettings& s = ws.settings;
    for (const std::string& key : s.skippedKeys)
        out.push_back("param.txt: the value of " + key + " cannot be used; its default applies");
    const StoredNumber numbers[] = {
        {kCombinationsOption, &WorkspaceSettings::combinations},
        {kHyphensOption, &WorkspaceSettings::countHyphens},
        {kLinksOption, &WorkspaceSettings::links},
        {kTimeOutOption, &WorkspaceSettings::timeOut},
        {kMaxLengthOption, &WorkspaceSettings::maxLength},
        {kResumeOption, &WorkspaceSettings::resume},
    };
    for (const StoredNumber& n : numbers) {
        const int value = s.*n.value;
        if (n.option.clamp(value) != value)
            out.push_back("param.txt: " + std::string(n.option.key) + "=" + std::to_string(value) +
                          " is out of range (" + std::to_string(n.option.minimum) + " to " +
                          std::to_string(n.option.maximum) + "); " +
                          std::to_string(n.option.clamp(value)) + " applies");
    }
    const std::pair<const char*, const std::string&> lists[] = {
        {"FileNameDomain", s.fileNameDomain},
        {"FileAddDomain", s.fileAddDomain},
    };
    for (const auto& [key, path] : lists) {
        std::string bytes;
        if (path.empty() || ReadFileBytes(path, bytes))
            continue;
        // A workspace without its default lists is a new one; a path someone stored is meant.
        const bool stored = path != ws.folder + "default.txt" && path != ws.folder + "add.txt";
        if (FileExists(path))
            out.push_back("param.txt: " + std::string(key) + " names " + path +
                          ", which cannot be read");
        else if (stored)
            out.push_back("param.txt: " + std::string(key) + " names " + path +
                          ", which does not exist");
    }
}

} // namespace

std::vector<std::string> CheckWorkspace(const Workspace& ws) {
    std::vector<std::string> problems;
    CheckZoneLines(ws, problems);
    CheckMethodLines(ws, problems);
    CheckSettings(ws, problems);
    return problems;
}

} // namespace zendrel
