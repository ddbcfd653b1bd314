#pragma once

#include "engine/ResultExport.h"
#include "engine/RunSettings.h"
#include "engine/SearchInput.h"
#include "engine/WordListFiles.h"
#include "engine/WorkspaceSettings.h"
#include "lookup/MethodTable.h"
#include "lookup/ZoneTable.h"

#include <string>
#include <vector>

namespace zendrel {

// A workspace folder loaded in the order the window starts: zone table, settings, the two word
// lists from the stored paths, method table.
struct Workspace {
    std::string folder; // ends with '/'
    ZoneTable zones;
    WorkspaceSettings settings;
    std::vector<KeywordEntry> keywords;
    std::vector<AdditionalRow> additional;
    MethodTable methods;
};

// Loads `folder` (a trailing '/' is added when missing). Files that cannot be read give empty
// tables and lists, as at the window's start.
Workspace LoadWorkspace(std::string folder);

// What Search would read from the window's controls after this workspace was loaded.
SearchInput MakeSearchInput(const Workspace& ws);
// The export boxes as stored.
ExportFilter MakeExportFilter(const WorkspaceSettings& s);

// Run options taken from stored settings, for runs without a window; numbers are brought into
// the ranges of their fields, as the window does when it applies the settings.
class StoredRunSettings final : public RunSettings {
public:
    explicit StoredRunSettings(const WorkspaceSettings& s) : s_(s) {}
    int linkLimit() const override { return kLinksOption.clamp(s_.links); }
    int timeLimit() const override { return kTimeOutOption.clamp(s_.timeOut); }
    bool autoResume() const override { return s_.autoResume; }
    int autoResumeLimit() const override { return kResumeOption.clamp(s_.resume); }
    bool deleteUnavailable() const override { return s_.deleteUnavailable; }
    ConnectionSettings connectionSettings() const override { return s_.connection; }
    bool dnsFirst() const override { return s_.dnsFirst; }
    std::string dnsServers() const override { return s_.dnsServers; }
    // For a program option that turns the check on whatever the file says.
    void setDnsFirst(bool on) { s_.dnsFirst = on; }

private:
    WorkspaceSettings s_;
};

} // namespace zendrel
