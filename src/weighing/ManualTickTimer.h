#pragma once

#include "TickTimer.h"

#include <cstdint>

// A tick timer on a clock that only moves when told to. Replays of recorded
// sessions and the engine's tests use it, so settle timing is exact and
// repeatable instead of depending on wall-clock time.
class ManualTickTimer final : public TickTimer
{
public:
    int Interval() const override { return mInterval; }
    void SetInterval(int milliseconds) override;

    std::int64_t Now() const { return mNow; }
    bool IsArmed() const { return mInterval > 0; }
    // Meaningful only while armed.
    std::int64_t DueAt() const { return mDueAt; }

    // Moves the clock to `time`, firing the timer at its due time(s) on the way.
    // The clock never goes backwards; an earlier time is ignored.
    void AdvanceTo(std::int64_t time);

    // Fires the timer if it is due at or before `time`, leaving the clock at the
    // due time. Returns true when it fired.
    bool FireIfDue(std::int64_t time);

private:
    std::int64_t mNow = 0;
    std::int64_t mDueAt = 0;
    int mInterval = 0;
};
