#pragma once

#include "app/cli/SearchOptions.h"
#include "engine/ResultFormats.h"
#include "engine/SearchInput.h"
#include "engine/Workspace.h"

#include <optional>
#include <string>
#include <vector>

namespace zendrel {

// A search of a workspace as the command line changes it: what Search reads, the stored
// settings with this run's overrides (never written back), and which rows are written how.
struct RunSetup {
    SearchInput input;
    WorkspaceSettings settings;
    RowSelection selection;
    bool domainOnly = false;
};

// The keywords --words or --words-file give, read from the list, the file or standard input
// (`readInput` reads it whole); none when neither option is given. On failure `error` says
// which file and why.
std::optional<std::vector<KeywordEntry>>
ReadWordsOption(const SearchOptions& options, bool (*readInput)(std::string&), std::string& error);

// The search of `ws` with the options applied; `words` replaces the workspace's keywords when
// given. On failure (a zone the table does not have) none, and `error` says what and where.
std::optional<RunSetup> PrepareRun(const Workspace& ws, const SearchOptions& options,
                                   const std::optional<std::vector<KeywordEntry>>& words,
                                   std::string& error);

// Reads standard input to its end; false when it cannot be read.
bool ReadStandardInput(std::string& bytes);

} // namespace zendrel
