#include "CLiveSession.h"

#include "UsbDevice.h"

#include <algorithm>

CLiveSession::CLiveSession(UsbDevice& device, std::FILE* out, std::FILE* record, QObject* parent)
    : QObject(parent)
    , mDevice(device)
    , mOut(out)
    , mRecord(record)
    , mRunner([this](const std::string& line) {
        std::fputs(line.c_str(), mOut);
        std::fputc('\n', mOut);
        std::fflush(mOut);
    })
{
    mSettle.setSingleShot(true);
    mSettle.setTimerType(Qt::PreciseTimer);
    connect(&mSettle, &QTimer::timeout, this, [this] {
        SessionEvent tick;
        tick.kind = SessionEvent::Kind::Tick;
        tick.time = std::max(Elapsed(), mRunner.TimerDueAt());
        Feed(std::move(tick));
    });
    connect(&mDevice, &UsbDevice::OnUsb, this, [this] {
        const QByteArray data = mDevice.ReportData();
        SessionEvent report;
        report.kind = SessionEvent::Kind::Report;
        report.time = Elapsed();
        report.bytes.assign(data.begin(), data.end());
        Feed(std::move(report));
    });
    // The desktop program restarts the engine's initialisation whenever the scale
    // comes or goes; so does a live session.
    auto restart = [this] {
        SessionEvent event;
        event.kind = SessionEvent::Kind::Restart;
        event.time = Elapsed();
        Feed(std::move(event));
    };
    connect(&mDevice, &UsbDevice::Arrival, this, restart);
    connect(&mDevice, &UsbDevice::Removal, this, restart);
}

void CLiveSession::Start()
{
    mClock.start();
}

std::int64_t CLiveSession::Elapsed()
{
    // Timestamps never go backwards, whatever order the event loop delivers things in.
    mLast = std::max<std::int64_t>(mLast, mClock.isValid() ? mClock.elapsed() : 0);
    return mLast;
}

void CLiveSession::Feed(SessionEvent event)
{
    event.time = std::max(event.time, mLast);
    mLast = event.time;
    if (mRecord) {
        const std::string line = event.ToLine();
        std::fputs(line.c_str(), mRecord);
        std::fputc('\n', mRecord);
        std::fflush(mRecord);
    }
    mRunner.Apply(event);
    ScheduleSettle();
}

void CLiveSession::ScheduleSettle()
{
    if (!mRunner.TimerArmed()) {
        mSettle.stop();
        return;
    }
    const std::int64_t wait = std::max<std::int64_t>(0, mRunner.TimerDueAt() - Elapsed());
    mSettle.start(static_cast<int>(wait));
}
