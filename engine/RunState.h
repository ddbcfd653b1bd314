#pragma once

#include "platform/Message.h"

#include <cstdint>

namespace zendrel {

// What the main window is doing: nothing, looking up every row, producing names, or looking up
// the unchecked rows again.
enum class RunState : std::uint8_t {
    Idle,
    SearchRun,
    Generating,
    ResumeRun,
};

// The variables of a search, one set per main window, shared by the generator and the run.
struct RunVariables {
    RunState runState = RunState::Idle;
    bool stopRequested = false; // set by Stop and by closing; every loop of a run tests it
    bool finishDone = false;    // the end of the current run has been carried out
    std::int32_t activeLookups = 0;
    std::int32_t lastDispatched = 0; // index of the last row handed out, -1 at a phase start
    std::int32_t autoResumeCount = 0;
};

// The main window's private messages. The numbers are fixed because the order of handling
// between them and the connections' own messages is part of how a run works.
inline constexpr unsigned WM_DISPATCH_NEXT = WM_USER + 0x190;
inline constexpr unsigned WM_RUN_FINISHED = WM_USER + 0x191;
inline constexpr unsigned WM_LOOKUP_DONE = WM_USER + 0x192;
inline constexpr unsigned WM_DISPATCH_PAUSE = WM_USER + 0x193;
inline constexpr unsigned WM_LOOKUP_STATE = WM_USER + 0x194;
inline constexpr unsigned WM_RUN_START = WM_USER + 0x195;
static_assert(WM_DISPATCH_NEXT == 0x590 && WM_RUN_START == 0x595);

} // namespace zendrel
