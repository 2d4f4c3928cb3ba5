#include "ManualTickTimer.h"

void ManualTickTimer::SetInterval(int milliseconds)
{
    mInterval = milliseconds > 0 ? milliseconds : 0;
    if (mInterval > 0)
        mDueAt = mNow + mInterval;
}

bool ManualTickTimer::FireIfDue(std::int64_t time)
{
    if (mInterval <= 0 || mDueAt > time)
        return false;
    if (mDueAt > mNow)
        mNow = mDueAt;
    // A periodic timer re-arms itself before its handler runs, like a real one;
    // the handler may stop it.
    mDueAt = mNow + mInterval;
    if (ThatTime)
        ThatTime();
    return true;
}

void ManualTickTimer::AdvanceTo(std::int64_t time)
{
    while (FireIfDue(time)) { }
    if (time > mNow)
        mNow = time;
}
