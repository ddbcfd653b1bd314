// Saved results: one line per row, ";"-separated, CR LF line ends, the same layout the list
// shows (name, State, Time, the extracted fields and the one column nothing fills), so a saved
// file opens as a table in any spreadsheet and lines of older files compare equal.
#include "engine/ResultExport.h"

#include "engine/ResultStore.h"
#include "platform/Files.h"

namespace zendrel {

bool ExportIncludes(const ExportFilter& filter, std::string_view state) {
    if (filter.all)
        return true;
    return (filter.available && state == "is available") || (filter.hold && state == "hold") ||
           (filter.notAvailable && state == "is not available");
}

namespace {

void appendLine(std::string& out, const ResultStore& rows, std::size_t row, bool domainOnly) {
    out += rows.caption(row);
    if (domainOnly)
        return;
    const int n = rows.subItemCount();
    for (int i = 0; i < n; ++i) {
        out += ';';
        out += rows.subItem(row, i);
    }
}

} // namespace

std::string FormatResultLine(const ResultStore& rows, std::size_t row, bool domainOnly) {
    std::string line;
    appendLine(line, rows, row, domainOnly);
    return line;
}

std::string FormatResults(const ResultStore& rows, const ExportFilter& filter) {
    std::string out;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (!ExportIncludes(filter, rows.subItem(row, ResultStore::kState)))
            continue;
        appendLine(out, rows, row, filter.domainOnly);
        out += "\r\n";
    }
    return out;
}

std::string ResultsFileName(const std::string& chosen) {
    const std::size_t slash = chosen.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = chosen.find_last_of('.');
    // A dot that opens the file name (a hidden file) or ends it does not make an extension.
    const bool hasExtension =
        dot != std::string::npos && dot > nameStart && dot + 1 < chosen.size();
    if (hasExtension)
        return chosen;
    if (!chosen.empty() && chosen.back() == '.' && chosen.size() - 1 > nameStart)
        return chosen + "txt";
    return chosen + ".txt";
}

std::string SaveResults(const ResultStore& rows, const ExportFilter& filter,
                        const std::string& chosen) {
    const std::size_t slash = chosen.find_last_of('/');
    if (chosen.empty() || slash == chosen.size() - 1)
        throw FileWriteError("Cannot save results: no file name was given");
    const std::string path = ResultsFileName(chosen);
    WriteFileAtomically(path, FormatResults(rows, filter));
    return path;
}

} // namespace zendrel
