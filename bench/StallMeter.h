#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

// The longest gap between two turns of the event loop while it runs: what a click would wait.
class StallMeter final : public QObject
{
public:
    StallMeter()
    {
        mTimer.setInterval(2);
        connect(&mTimer, &QTimer::timeout, this, [this] { mLongest = std::max(mLongest, mSince.restart()); });
    }
    void Start()
    {
        mLongest = 0;
        mSince.start();
        mTimer.start();
    }
    qint64 Stop()
    {
        mTimer.stop();
        mLongest = std::max(mLongest, mSince.elapsed());
        return mLongest;
    }

private:
    QTimer mTimer;
    QElapsedTimer mSince;
    qint64 mLongest = 0;
};
