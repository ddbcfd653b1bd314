#pragma once

#include "engine/SearchWindow.h"

#include <stdexcept>
#include <string>

namespace zendrel::test {

// Records what the engine did to the window's controls.
class FakeSearchWindow : public SearchWindow {
public:
    bool searchEnabled = true;
    bool stopEnabled = false;
    bool resumeEnabled = true;
    bool progressVisible = false;
    int progressMaximum = 100;
    int progressPosition = 0;
    int positionCalls = 0;
    int failAtPositionCall = -1; // that call throws, as a broken window might
    bool busy = false;
    int busyCalls = 0;
    std::string resumeCaption = "Resume";

    void setRunButtons(bool search, bool stop, bool resume) override {
        searchEnabled = search;
        stopEnabled = stop;
        resumeEnabled = resume;
    }
    void setProgressVisible(bool shown) override { progressVisible = shown; }
    void setProgressMaximum(int maximum) override { progressMaximum = maximum; }
    void setProgressPosition(int position) override {
        if (++positionCalls == failAtPositionCall)
            throw std::runtime_error("progress bar gone");
        progressPosition = position;
    }
    void setBusyCursor(bool on) override {
        busy = on;
        ++busyCalls;
    }
    void setResumeCaption(const std::string& caption) override { resumeCaption = caption; }
};

} // namespace zendrel::test
