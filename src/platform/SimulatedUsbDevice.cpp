#include "SimulatedUsbDevice.h"

#include "ScaleReport.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace {

constexpr double CentigramsPerCount = 100.0 * SimulatedUsbDevice::CalLoadGrams / SimulatedUsbDevice::CalCount;
// The same noise on every run, so a demo or a failing test can be repeated.
constexpr std::minstd_rand::result_type NoiseSeed = 20231;
// Drift: a slow swing of at most 2 counts (half a gram) over two minutes, at
// most 0.1 count a second: slow enough for the engine's zero tracking to follow.
constexpr double DriftAmplitudeCounts = 2.0;
constexpr double DriftPeriodSeconds = 120.0;
// The simulated point-of-sale scale: 25 kg in tenths of an ounce, "in motion" for
// this long after the load changes.
constexpr int PosExponent = -1;
constexpr double PosCapacityGrams = 25000.0;
constexpr qint64 PosMotionMs = 400;

} // namespace

SimulatedUsbDevice::SimulatedUsbDevice(QObject* parent)
    : UsbDevice(parent)
    , mNoise(NoiseSeed)
{
    mReportTimer.setTimerType(Qt::PreciseTimer);
    mReportTimer.setInterval(DefaultIntervalMs);
    connect(&mReportTimer, &QTimer::timeout, this, &SimulatedUsbDevice::SendReport);
    mStepTimer.setTimerType(Qt::PreciseTimer);
    mStepTimer.setSingleShot(true);
    connect(&mStepTimer, &QTimer::timeout, this, [this] { RunDueSteps(true); });
}

void SimulatedUsbDevice::OpenDevice(int vendorId, int productId, const QString& usage)
{
    Q_UNUSED(vendorId)
    Q_UNUSED(productId)
    Q_UNUSED(usage)
    mOpened = true;
    mAttached = true;
    mNextStep = 0;
    mReportIndex = 0;
    mPosAdapter.Reset();
    mClock.start();
    RunDueSteps(false);
    mReportTimer.start();
}

void SimulatedUsbDevice::SetLoadGrams(double grams)
{
    if (!std::isfinite(grams) || grams == mLoadGrams)
        return;
    mLoadGrams = grams;
    mLoadChangedAt = mClock.isValid() ? mClock.elapsed() : -1;
    Q_EMIT LoadChanged(mLoadGrams);
}

void SimulatedUsbDevice::Unplug()
{
    if (!mAttached)
        return;
    mAttached = false;
    if (mOpened)
        Q_EMIT Removal();
}

void SimulatedUsbDevice::Plug()
{
    if (mAttached)
        return;
    mAttached = true;
    mPosAdapter.Reset();
    if (mOpened)
        Q_EMIT Arrival();
}

void SimulatedUsbDevice::SetReportInterval(int milliseconds)
{
    mReportTimer.setInterval(std::max(1, milliseconds));
}

bool SimulatedUsbDevice::LoadScenarioFile(const QString& path)
{
    QString error;
    const auto scenario = SimulatedScenario::Load(path, &error);
    if (!scenario) {
        mLastError = QStringLiteral("Cannot use the scenario %1").arg(error);
        return false;
    }
    mScenario = *scenario;
    mLastError.clear();
    return true;
}

QByteArray SimulatedUsbDevice::MakeReport(int calLoad, int calCount, int adcCount)
{
    const auto report = ScaleReport::Encode(calLoad, calCount, adcCount);
    return QByteArray(reinterpret_cast<const char*>(report.data()), qsizetype(report.size()));
}

void SimulatedUsbDevice::SendReport()
{
    if (!IsAttached())
        return;
    if (mPointOfSale) {
        const QByteArray translated = mPosAdapter.Translate(PointOfSaleReport());
        if (translated.isEmpty())
            return;
        mReport = translated;
    } else {
        mReport = MakeReport(CalLoadGrams, CalCount, CurrentAdcCount());
    }
    ++mReportIndex;
    if (mEnabled)
        Q_EMIT OnUsb();
}

int SimulatedUsbDevice::CurrentAdcCount()
{
    double counts = mLoadGrams * 100.0 / CentigramsPerCount;
    int noise = 0;
    if (mNoiseAndDrift) {
        // Drift follows the report count, not the wall clock, so it repeats exactly.
        const double seconds = double(mReportIndex) * mReportTimer.interval() / 1000.0;
        counts += DriftAmplitudeCounts * std::sin(2.0 * std::numbers::pi * seconds / DriftPeriodSeconds);
        noise = int(mNoise() % 3) - 1;
    }
    // Clamp before converting: a load far beyond the cell's range must not overflow.
    const double rounded = std::clamp(std::nearbyint(counts), -32768.0, 32767.0);
    return std::clamp(int(rounded) + noise, -32768, 32767);
}

QByteArray SimulatedUsbDevice::PointOfSaleReport() const
{
    const double unit = HidPosScale::UnitGrams(HidPosScale::Ounce) * std::pow(10.0, PosExponent);
    const double tenths = std::nearbyint(mLoadGrams / unit);
    int status = HidPosScale::Stable;
    if (mLoadGrams > PosCapacityGrams)
        status = HidPosScale::OverWeight;
    else if (tenths < 0.0)
        status = HidPosScale::UnderZero;
    else if (mLoadChangedAt >= 0 && mClock.elapsed() - mLoadChangedAt < PosMotionMs)
        status = HidPosScale::InMotion;
    else if (tenths == 0.0)
        status = HidPosScale::StableAtZero;
    const int weight = status == HidPosScale::OverWeight ? 0 : int(std::min(std::abs(tenths), 65535.0));
    return HidPosScale::MakeReport(3, status, HidPosScale::Ounce, PosExponent, weight);
}

void SimulatedUsbDevice::RunDueSteps(bool announce)
{
    const QList<SimulatedScenario::Step>& steps = mScenario.Steps();
    const qint64 now = mClock.elapsed();
    while (mNextStep < steps.size() && steps.at(mNextStep).atMs <= now) {
        const SimulatedScenario::Step step = steps.at(mNextStep++);
        switch (step.action) {
        case SimulatedScenario::Action::Load:
            SetLoadGrams(step.grams);
            break;
        case SimulatedScenario::Action::Unplug:
            if (announce)
                Unplug();
            else
                mAttached = false;
            break;
        case SimulatedScenario::Action::Plug:
            if (announce)
                Plug();
            else
                mAttached = true;
            break;
        }
    }
    if (mNextStep < steps.size())
        mStepTimer.start(int(std::clamp<qint64>(steps.at(mNextStep).atMs - mClock.elapsed(), 0, INT_MAX)));
}
