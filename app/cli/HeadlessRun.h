#pragma once

#include "app/cli/ConsoleWindow.h"
#include "app/cli/ProgressLine.h"
#include "app/cli/ResultStream.h"
#include "app/cli/RunSetup.h"
#include "engine/LookupRate.h"
#include "engine/SearchListener.h"
#include "engine/Workspace.h"
#include "platform/MessageTarget.h"

#include <memory>

namespace zendrel {

class SearchSession;

// Exit statuses of zendrel-search.
inline constexpr int kExitComplete = 0;
inline constexpr int kExitFailed = 1;      // usage, unusable files, problems, results not written
inline constexpr int kExitNoSearch = 2;    // no zone checked, or no such folder
inline constexpr int kExitInterrupt = 130; // Ctrl-C or a termination request
// The reader of the results went away, as the shell reports a program ended by a broken pipe.
inline constexpr int kExitReaderGone = 141;

// One search run to its end without a window: the session's rows go to standard output as they
// become final, progress and messages to standard error. Ctrl-C and termination requests act as
// Stop; a reader that goes away stops the search quietly.
class HeadlessRun final : public MessageTarget, private SearchListener {
public:
    HeadlessRun(MessageLoop& loop, const Workspace& ws, const RunSetup& setup, bool verbose,
                ProgressDisplay& display, ResultStream& output);
    ~HeadlessRun() override;

    // Runs the search; returns the exit status.
    int run();

protected:
    void handleMessage(const Message& m) override;

private:
    void lookupEnded(std::size_t row, const LookupOutcome& outcome) override;
    void onSignal();
    void showProgress();
    void writeFinalRows();
    bool rowFinal(std::size_t row) const;
    void outputFailed();
    int exitStatus() const;

    const RunSetup& setup_;
    bool verbose_;
    ProgressDisplay& display_;
    ResultStream& output_;
    ConsoleWindow window_;
    StoredRunSettings settings_;
    std::unique_ptr<SearchSession> session_;
    LookupRate rate_;
    RowStateCounts writtenCounts_; // the rows before `counted_`, all written and final
    std::size_t counted_ = 0;
    Millis start_ = 0;
    int signalFd_ = -1;
    bool interrupted_ = false;
    // Rows may go out before the end only when a row that has its verdict keeps it: with
    // automatic resume passes (which look rows up again) or "Delete unavailable" (which removes
    // rows at the end) they all go at the end.
    bool streaming_ = false;
    // Results and progress share one terminal: the progress line makes way for results.
    bool sharedTerminal_ = false;
};

} // namespace zendrel
