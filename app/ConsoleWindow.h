#pragma once

#include "engine/SearchWindow.h"

#include <cstdio>
#include <string>

namespace zendrel {

// The window of a run without a window: messages go to standard error; buttons, cursor and
// progress bar have nothing to show.
class ConsoleWindow final : public SearchWindow {
public:
    bool attentionShown = false;
    bool completed = false;

    void setRunButtons(bool, bool, bool) override {}
    void setProgressVisible(bool) override {}
    void setProgressMaximum(int) override {}
    void setProgressPosition(int) override {}
    void setBusyCursor(bool) override {}
    void setResumeCaption(const std::string& caption) override {
        if (caption != "Resume")
            std::fprintf(stderr, "zendrel-search: %s\n", caption.c_str());
    }
    void showMessage(const std::string& text, const std::string& caption, MessageIcon) override {
        std::fprintf(stderr, "zendrel-search: %s\n", text.c_str());
        if (caption == "Attention")
            attentionShown = true;
        if (text == "Search is completed")
            completed = true;
    }
};

} // namespace zendrel
