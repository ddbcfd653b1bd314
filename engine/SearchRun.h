#pragma once

#include "engine/RunState.h"
#include "platform/MessageTarget.h"

#include <cstddef>
#include <functional>
#include <string>

namespace zendrel {

class CheckAllToggle;
class TMyHTTPCLI;
class MethodTable;
class ResultStore;
class RunSettings;
class SearchWindow;
class ZoneTable;

// The run of a search: looks the result rows up several at a time, driven by the main window's
// private messages and the 10 ms dispatch timer, and ends with the summary message. It is the
// target of those messages (the main window's own queue) and owns every live lookup connection.
class SearchRun : public MessageTarget {
public:
    static constexpr unsigned kDispatchTimer = 1; // gTimer
    static constexpr int kDispatchInterval = 10;  // ms

    struct Parts {
        RunVariables& run;
        ResultStore& rows;
        const ZoneTable& zones;
        const MethodTable& methods;
        SearchWindow& window;
        const RunSettings& settings;
        CheckAllToggle& toggle;
    };

    SearchRun(MessageLoop& loop, const Parts& parts);
    ~SearchRun() override;

    // Set by the window when generation may still append rows: a pass is not complete while it
    // does, however far the dispatcher has got.
    void setRowsPending(std::function<bool()> pending) { rowsPending_ = std::move(pending); }

    void StartRun();
    void gTimerTimer();
    void DispatchNext();
    void LookupDone(std::intptr_t rowIndex);
    void ShowLookupState(std::intptr_t code, std::intptr_t rowIndex);
    void FinishRun();
    void sbStopClick();
    void sbResumeClick();
    // The window is closing: stop, and finish a running search at once.
    void closeWindow();

    // For the lookup connections.
    RunVariables& variables() { return p_.run; }
    const RunSettings& settings() const { return p_.settings; }
    bool dispatchEnabled() const { return dispatchEnabled_; }
    void switchDispatchTimer(bool on);

    // The State text for a client state code 1..8; empty for any other code.
    static const char* StateText(std::intptr_t code);

protected:
    void handleMessage(const Message& m) override;

private:
    bool running() const;
    bool passComplete() const;
    std::size_t nextRowToDispatch() const;
    void startConnection(std::size_t row, int32_t methodNumber, const std::string& url);
    void releaseConnection(std::size_t row);

    Parts p_;
    bool dispatchEnabled_ = false;
    std::function<bool()> rowsPending_;
};

} // namespace zendrel
