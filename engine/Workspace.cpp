#include "engine/Workspace.h"

namespace zendrel {

Workspace LoadWorkspace(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    Workspace ws;
    ws.folder = folder;
    LoadZoneTable(folder, ws.zones);
    ws.settings = ReadWorkspaceSettings(folder + "param.txt", folder);
    LoadKeywords(ws.settings.fileNameDomain, ws.keywords);
    LoadAdditionalWords(ws.settings.fileAddDomain, ws.additional);
    LoadMethodTable(folder, ws.methods);
    return ws;
}

SearchInput MakeSearchInput(const Workspace& ws) {
    const WorkspaceSettings& s = ws.settings;
    SearchInput in;
    for (const KeywordEntry& k : ws.keywords) {
        if (k.checked)
            in.keywords.push_back(k.text);
    }
    in.combinations = kCombinationsOption.clamp(s.combinations);
    in.useAdditional = s.additiveName;
    for (const AdditionalRow& r : ws.additional)
        in.additionalRows.push_back(AdditionalWordRow{r.first, r.last, r.word});
    in.useHyphens = s.hyphens;
    in.hyphens = kHyphensOption.clamp(s.countHyphens);
    const std::vector<std::string> names = ws.zones.zoneNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (ZoneCheckedInDom(s.dom, i))
            in.zones.push_back(names[i]);
    }
    in.maxLength = kMaxLengthOption.clamp(s.maxLength);
    return in;
}

ExportFilter MakeExportFilter(const WorkspaceSettings& s) {
    ExportFilter f;
    f.available = s.available;
    f.hold = s.hold;
    f.notAvailable = s.notAvailable;
    f.all = s.saveAll;
    f.domainOnly = s.dnOnly;
    return f;
}

} // namespace zendrel
