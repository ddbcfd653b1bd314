#pragma once

#include "engine/SearchListener.h"
#include "engine/SearchMessages.h"
#include "engine/SearchWindow.h"

#include <cstdio>
#include <string>

namespace zendrel {

// The window of a search without a window: what the window would show in message boxes and on
// the Resume button goes to standard error; buttons, cursor and progress bar show nothing.
class ConsoleWindow final : public NoSearchWindow, public SearchListener {
public:
    bool refused = false; // Search was refused: no zone is checked
    bool ended = false;   // the search is over

    // The caption of an automatic resume is shown; the idle caption is not news.
    void setResumeCaption(const std::string& caption) override {
        if (caption != kResumeCaption)
            say(caption.c_str());
    }
    void noZoneChecked() override {
        refused = true;
        say(kNoZoneMessage.text);
    }
    void runFinished(RunEnd) override { say(kRunSummaryMessage.text); }
    void searchEnded(SearchEnd) override { ended = true; }

private:
    static void say(const char* text) { std::fprintf(stderr, "zendrel-search: %s\n", text); }
};

} // namespace zendrel
