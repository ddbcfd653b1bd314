#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zendrel {

class ResultStore;

// The export boxes: which rows "Save Results" writes and whether lines carry more than the name.
struct ExportFilter {
    bool available = false;    // cbFree "is available"
    bool hold = false;         // cbHold "hold"
    bool notAvailable = false; // cbNot "is not available"
    bool all = false;          // cbAll "All"
    bool domainOnly = false;   // cbDNO "Domain Name only"
};

// Whether a row whose State column reads `state` is written (exact, case-sensitive match).
bool ExportIncludes(const ExportFilter& filter, std::string_view state);

// The line of one row without its line end: the caption, then unless `domainOnly` every
// sub-item preceded by ";".
std::string FormatResultLine(const ResultStore& rows, std::size_t row, bool domainOnly);

// Every line the filter lets through, in row order, each ended by CR LF.
std::string FormatResults(const ResultStore& rows, const ExportFilter& filter);

// The name the results are written under: `chosen`, with ".txt" appended when its file name has
// no extension.
std::string ResultsFileName(const std::string& chosen);

// Writes the results to the file chosen in the save dialog, replacing it whole or not at all.
// Returns the path written; throws FileWriteError when the file cannot be written.
std::string SaveResults(const ResultStore& rows, const ExportFilter& filter,
                        const std::string& chosen);

} // namespace zendrel
