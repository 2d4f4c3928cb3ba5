#pragma once

#include "TickTimer.h"

#include <QTimer>

// The engine's tick timer on the Qt event loop.
class QtTickTimer final : public TickTimer
{
public:
    QtTickTimer();
    int Interval() const override { return mInterval; }
    void SetInterval(int milliseconds) override;

private:
    QTimer mTimer;
    int mInterval = 0;
};
