#pragma once

#include <string>

namespace zendrel {

// The Resume button's caption between runs; an automatic resume shows "Resume : <count>".
inline constexpr const char* kResumeCaption = "Resume";

// The controls a search drives while it generates names and runs lookups: the run buttons, the
// progress bar, the busy cursor and the Resume caption. The Qt window implements it; so do the
// headless program and the tests. Messages to the user go through SearchListener events.
class SearchWindow {
public:
    virtual ~SearchWindow() = default;

    // Enables or disables the three run buttons "Search", "Stop" and "Resume".
    virtual void setRunButtons(bool search, bool stop, bool resume) = 0;
    // Shows or hides the progress bar.
    virtual void setProgressVisible(bool shown) = 0;
    // Sets the progress bar's maximum (its minimum is 0).
    virtual void setProgressMaximum(int maximum) = 0;
    // Moves the progress bar; 0 <= position <= maximum.
    virtual void setProgressPosition(int position) = 0;
    // Shows the busy cursor, or the normal one again.
    virtual void setBusyCursor(bool busy) = 0;
    // Sets the caption of the "Resume" button.
    virtual void setResumeCaption(const std::string& caption) = 0;
};

// A search without controls to show: the headless program, benchmarks and tests that only
// look at the rows.
class NoSearchWindow : public SearchWindow {
public:
    void setRunButtons(bool, bool, bool) override {}
    void setProgressVisible(bool) override {}
    void setProgressMaximum(int) override {}
    void setProgressPosition(int) override {}
    void setBusyCursor(bool) override {}
    void setResumeCaption(const std::string&) override {}
};

} // namespace zendrel
