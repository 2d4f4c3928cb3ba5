#pragma once

#include "CSessionRunner.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdio>

class UsbDevice;

// `--print` and `--record`: feeds the live device into the same session runner a
// replay uses. Everything the runner is given is also written, in the replay
// format, to the record file; a settle timer is turned into a `tick` line when it
// fires, so replaying the file gives exactly the lines printed live.
class CLiveSession final : public QObject
{
    Q_OBJECT
public:
    // `record` may be null. Both streams are flushed after every line.
    CLiveSession(UsbDevice& device, std::FILE* out, std::FILE* record, QObject* parent = nullptr);

    void Start();

private:
    void Feed(SessionEvent event);
    void ScheduleSettle();
    std::int64_t Elapsed();

    UsbDevice& mDevice;
    std::FILE* mOut;
    std::FILE* mRecord;
    CSessionRunner mRunner;
    QElapsedTimer mClock;
    QTimer mSettle;
    std::int64_t mLast = 0;
};
