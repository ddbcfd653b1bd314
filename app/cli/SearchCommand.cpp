#include "app/cli/SearchCommand.h"

#include "app/cli/HeadlessRun.h"
#include "app/cli/SearchHelp.h"
#include "engine/WorkspaceCheck.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "platform/WorkspaceFolder.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace zendrel {

namespace {

void Say(const std::string& line) {
    std::fprintf(stderr, "zendrel-search: %s\n", line.c_str());
}

int UsageError(const std::string& error) {
    Say(error);
    std::fprintf(stderr, "Try 'zendrel-search --help' for the options.\n");
    return kExitFailed;
}

// Writes `text` to standard output; true when it all went.
bool Print(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

bool StandardOutputIsOpen() {
    return ::fcntl(STDOUT_FILENO, F_GETFD) != -1 || errno != EBADF;
}

// --check: every problem on a line of its own, with the folder in front of the file's name.
int ReportProblems(const Workspace& ws) {
    const std::vector<std::string> problems = CheckWorkspace(ws);
    std::string report;
    for (const std::string& p : problems)
        report += ws.folder + p + "\n";
    if (!Print(report))
        return kExitFailed;
    if (problems.empty())
        Say("no problems found in " + ws.folder);
    else
        Say(std::to_string(problems.size()) + (problems.size() == 1 ? " problem" : " problems") +
            " found in " + ws.folder);
    return problems.empty() ? kExitComplete : kExitFailed;
}

// What the window names when it opens a workspace: values it cannot use and options it ignores.
void ReportLoadProblems(const Workspace& ws) {
    for (const std::string& key : ws.settings.skippedKeys)
        Say("the value of " + key + " in param.txt cannot be used; its default applies");
    for (const ZoneLineProblem& p : ws.zones.problems())
        Say(DescribeZoneLineProblem(p));
}

} // namespace

int RunSearchCommand(const std::vector<std::string>& args) {
    const ParsedCommandLine command = ParseSearchOptions(args);
    if (!command.ok())
        return UsageError(command.error);
    const SearchOptions& o = command.options;
    if (o.help)
        return Print(SearchHelpText()) ? kExitComplete : kExitFailed;
    if (o.version)
        return Print(SearchVersionText()) ? kExitComplete : kExitFailed;

    const std::string folder =
        o.folder.empty() ? ReadableDefaultWorkspace(CurrentWorkspacePlaces()) : o.folder;
    if (!IsFolder(folder)) {
        Say("the workspace folder '" + folder + "' does not exist");
        return kExitNoSearch;
    }
    ::signal(SIGPIPE, SIG_IGN);
    const Workspace ws = LoadWorkspace(folder);
    std::string error;
    const std::optional<std::vector<KeywordEntry>> words =
        ReadWordsOption(o, ReadStandardInput, error);
    if (!error.empty())
        return UsageError(error);
    const std::optional<RunSetup> setup = PrepareRun(ws, o, words, error);
    if (!setup)
        return UsageError(error);
    if (o.check)
        return ReportProblems(ws);

    if (!StandardOutputIsOpen()) {
        // Nothing could receive the results: a run would be lost work.
        Say("the results could not be written: standard output is closed");
        return kExitFailed;
    }
    ReportLoadProblems(ws);
    MessageLoop loop;
    loop.setFailureHook([](const std::string& what) { Say(what); });
    ProgressDisplay display(STDERR_FILENO, ::isatty(STDERR_FILENO) != 0);
    ResultStream output(
        STDOUT_FILENO,
        ResultFormatter(o.format, ws.methods.extraColumnCaptions(), setup->domainOnly),
        setup->selection);
    HeadlessRun run(loop, ws, *setup, o.verbose, display, output);
    return run.run();
}

} // namespace zendrel
