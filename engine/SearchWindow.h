#pragma once

#include <string>

namespace zendrel {

enum class MessageIcon {
    Error,
    Information,
    Question,
};

// What the engine needs of the main window while it generates names and runs lookups. The Qt
// window implements it; so do the headless runner and the tests.
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
    // Shows a task-modal message and returns when the user has closed it.
    virtual void showMessage(const std::string& text, const std::string& caption,
                             MessageIcon icon) = 0;
    // Sets the caption of the "Resume" button.
    virtual void setResumeCaption(const std::string& caption) = 0;
};

} // namespace zendrel
