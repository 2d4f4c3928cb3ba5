#pragma once

#include "CScaleCalc.h"
#include "ManualTickTimer.h"
#include "SessionEvent.h"

#include <cstdint>
#include <functional>
#include <string>

// Runs the engine over a session's inputs on a virtual clock and describes what
// happens, one line at a time:
//   <ms> status <code> | <ms> error <code> | <ms> weight <kg, 3 decimals> | <ms> hold <0|1>
// The same runner serves a replay from a file and a live session, so a recorded
// session replays to exactly the lines it printed live.
class CSessionRunner
{
public:
    explicit CSessionRunner(std::function<void(const std::string&)> output);
    CSessionRunner(const CSessionRunner&) = delete;
    CSessionRunner& operator=(const CSessionRunner&) = delete;

    // Fires a settle timer due at or before the event's time (at its due time),
    // then applies the event. Events must come in non-decreasing time.
    void Apply(const SessionEvent& event);

    bool TimerArmed() const { return mTimer.IsArmed(); }
    std::int64_t TimerDueAt() const { return mTimer.DueAt(); }
    std::int64_t Now() const { return mTimer.Now(); }

    CScaleCalc& Engine() { return mEngine; }

    static std::string FormatWeight(std::int32_t grams);

private:
    void Emit(const char* what, const std::string& value);

    std::function<void(const std::string&)> mOutput;
    ManualTickTimer mTimer;
    CScaleCalc mEngine;
};
