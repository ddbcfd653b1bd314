#pragma once

#include "engine/SearchListener.h"
#include "engine/SearchMessages.h"
#include "engine/SearchWindow.h"

#include <functional>
#include <string>

namespace zendrel {

// The window of a search without a window: what the window would show in message boxes and on
// the Resume button is said (on standard error, through `say`); buttons, cursor and progress
// bar show nothing.
class ConsoleWindow final : public NoSearchWindow, public SearchListener {
public:
    explicit ConsoleWindow(std::function<void(const std::string&)> say) : say_(std::move(say)) {}

    bool refused = false; // Search was refused: no zone is checked
    bool ended = false;   // the search is over
    bool quiet = false;   // say nothing more (the reader of the results has gone)

    // A caption set after a finished pass and before the run's end is an automatic resume's,
    // and is news; the idle caption set at the end is not.
    void setResumeCaption(const std::string& caption) override {
        if (!passJustFinished_)
            return;
        passJustFinished_ = false;
        say(caption);
    }
    void noZoneChecked() override {
        refused = true;
        say(kNoZoneMessage.text);
    }
    void passFinished(int) override { passJustFinished_ = true; }
    void runFinished(RunEnd) override {
        passJustFinished_ = false;
        say(kRunSummaryMessage.text);
    }
    void searchEnded(SearchEnd) override { ended = true; }

private:
    void say(const std::string& text) {
        if (!quiet)
            say_("zendrel-search: " + text);
    }

    std::function<void(const std::string&)> say_;
    bool passJustFinished_ = false;
};

} // namespace zendrel
