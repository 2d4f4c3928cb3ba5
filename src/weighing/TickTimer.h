#pragma once

#include <functional>

// The settle timer as the weighing engine sees it: an interval in milliseconds
// (0 = stopped) and one callback fired on the UI thread after each interval.
// Kept this small so the engine can be driven by a hand-turned clock in tests
// and by a virtual clock when a recorded session is replayed.
class TickTimer
{
public:
    virtual ~TickTimer() = default;

    virtual int Interval() const = 0;
    virtual void SetInterval(int milliseconds) = 0;

    // Set once by the owner of the timer's events; called with the timer still armed.
    std::function<void()> ThatTime;
};
