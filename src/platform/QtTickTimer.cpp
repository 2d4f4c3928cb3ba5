#include "QtTickTimer.h"

QtTickTimer::QtTickTimer()
{
    mTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&mTimer, &QTimer::timeout, &mTimer, [this] {
        if (ThatTime)
            ThatTime();
    });
}

void QtTickTimer::SetInterval(int milliseconds)
{
    mInterval = milliseconds > 0 ? milliseconds : 0;
    if (mInterval > 0)
        mTimer.start(mInterval);
    else
        mTimer.stop();
}
