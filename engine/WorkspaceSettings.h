#pragma once

#include "engine/RunOptions.h"
#include "engine/RunSettings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zendrel {

// Everything "param.txt" stores, in the encodings of the file: the word-list paths, the search
// options, the zone check marks, the window placement and sizes (kept as their raw text; only
// the window knows what they mean), the export choices, the auto-resume options and the
// connection settings. Defaults are those of a workspace without a settings file.
struct WorkspaceSettings {
    std::string fileNameDomain; // program folder + "default.txt" when missing
    std::string fileAddDomain;  // program folder + "add.txt" when missing
    int combinations = kCombinationsOption.fallback;
    bool additiveName = false;
    bool hyphens = false;
    int countHyphens = kHyphensOption.fallback;
    std::string dom;  // one "+" or "-" per zone, in list order
    std::string main; // "left,top,width,height"; empty = maximized
    std::string param = "260,255";
    int links = kLinksOption.fallback;
    int timeOut = kTimeOutOption.fallback;
    bool firstAdd = false;
    bool lastAdd = false;
    bool deleteUnavailable = false; // cbDel: keys "DeleteItems" and "Delete"; "Delete" decides
    bool available = false;
    bool notAvailable = false;
    bool hold = false;
    bool dnOnly = false;
    int maxLength = kMaxLengthOption.fallback;
    ConnectionSettings connection{};
    int sgProxy0 = 100;
    int sgProxy1 = 100;
    bool saveAll = true;
    bool autoResume = true;
    int resume = kResumeOption.fallback;
    // The [Zendrel] section, for settings the [Param] section never had: "Check DNS first" and
    // the name servers it asks (empty: the system's). `zendrelSection` says whether the file has
    // the section; a workspace without it gets none written until one of them is changed.
    bool dnsFirst = false;
    std::string dnsServers;
    bool zendrelSection = false;
    // Keys whose stored value could not be used and took its default instead: a "Main" or
    // "Param" field that is not an integer, or a number field beyond the 16-bit range.
    std::vector<std::string> skippedKeys;
};

// The labels of the connection-settings rows, which are also their keys in the file.
extern const char* const kConnectionLabels[9];
// The section of the settings file every workspace has, written exactly as it always was.
inline constexpr std::string_view kSettingsSection = "Param";
// The section of settings added since; a workspace that never used them has none.
inline constexpr std::string_view kZendrelSection = "Zendrel";

// Reads the settings file at `path`; missing keys and values that are not numbers take their
// defaults. `programFolder` (ending in '/') forms the default word-list paths.
WorkspaceSettings ReadWorkspaceSettings(const std::string& path, const std::string& programFolder);

// Writes the 34 keys in their fixed order with one replacement of the file; connection values
// are written trimmed. Then the [Zendrel] keys, when the file has that section or one of them
// differs from its default. Throws FileWriteError "Unable to write to <path>" when refused.
void WriteWorkspaceSettings(const std::string& path, const WorkspaceSettings& s);

// A settings integer: decimal, or hexadecimal after "0x"/"0X"; none when it is neither.
std::optional<long long> ReadSettingsInteger(std::string_view text);

// The fields of a "Main" or "Param" value, split at every ","; none when a field (an empty one
// included) is not an integer. An empty text has no fields.
std::optional<std::vector<int>> ReadSizeList(std::string_view text);

// Whether zone `index` is checked by the "Dom" text.
bool ZoneCheckedInDom(std::string_view dom, std::size_t index);

} // namespace zendrel
