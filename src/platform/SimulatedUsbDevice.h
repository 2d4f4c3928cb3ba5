#pragma once

#include "HidPosScale.h"
#include "SimulatedScenario.h"
#include "UsbDevice.h"

#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
#include <random>

// A scale that is not there (--simulate): reports in the real scale's format,
// about ten a second, for whatever load is set on its virtual platform. Used by
// the demo, by the end-to-end tests and by anyone without the hardware.
//
// Reports are 9 bytes: report id 0, marker 0xAB, 0, then CalLoad, CalCount and
// AdcCount as big-endian signed 16-bit numbers. The calibration is 5000 g over
// 20000 counts, 25 cg a count. A little noise (+-1 count, the same sequence on
// every run) and a slow bounded drift make it behave like a real load cell;
// both can be switched off for exact readings.
class SimulatedUsbDevice final : public UsbDevice
{
    Q_OBJECT
public:
    static constexpr int CalLoadGrams = 5000;
    static constexpr int CalCount = 20000;
    static constexpr int DefaultIntervalMs = 100;

    explicit SimulatedUsbDevice(QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(SimulatedUsbDevice)

    // Starts the reports and the scenario clock. The scale starts attached and
    // nothing is emitted here; scenario steps at time 0 are applied silently, so
    // a scenario may start with the scale unplugged.
    void OpenDevice(int vendorId, int productId, const QString& usage) override;
    bool FindDevice() override { return IsAttached(); }
    void SetEnabled(bool enabled) override { mEnabled = enabled; }
    bool Enabled() const override { return mEnabled; }
    bool IsAttached() const override { return mOpened && mAttached; }
    QByteArray ReportData() const override { return mReport; }
    QString LastError() const override { return mLastError; }

    // The load on the virtual platform; non-finite values are ignored.
    void SetLoadGrams(double grams);
    double LoadGrams() const { return mLoadGrams; }

    // Pull the cable out and plug it back in: Removal / Arrival when the state changes.
    void Unplug();
    void Plug();

    // --simulate=hidpos: a standard point-of-sale scale instead of ours. It weighs
    // in tenths of an ounce, says when the load is in motion, and its reports go
    // through the same adapter as a real one's, so ReportData() is in our format.
    void SetPointOfSale(bool on) { mPointOfSale = on; }
    bool PointOfSale() const { return mPointOfSale; }

    void SetNoiseAndDrift(bool on) { mNoiseAndDrift = on; }
    bool NoiseAndDrift() const { return mNoiseAndDrift; }

    // Milliseconds between reports (at least 1); takes effect at once.
    void SetReportInterval(int milliseconds);
    int ReportInterval() const { return mReportTimer.interval(); }

    // Set before OpenDevice. Loading a file that is not a scenario returns false
    // and leaves the reason, with the line number, in LastError().
    void SetScenario(const SimulatedScenario& scenario) { mScenario = scenario; }
    bool LoadScenarioFile(const QString& path);

    // One report in the scale's format, report id byte first; values are clamped
    // to the signed 16-bit range.
    static QByteArray MakeReport(int calLoad, int calCount, int adcCount);

Q_SIGNALS:
    void LoadChanged(double grams);

private:
    void SendReport();
    void RunDueSteps(bool announce);
    int CurrentAdcCount();
    QByteArray PointOfSaleReport() const;

    QTimer mReportTimer;
    QTimer mStepTimer;
    QElapsedTimer mClock;
    SimulatedScenario mScenario;
    qsizetype mNextStep = 0;
    std::minstd_rand mNoise;
    std::int64_t mReportIndex = 0;
    double mLoadGrams = 0.0;
    bool mNoiseAndDrift = true;
    bool mPointOfSale = false;
    HidPosScale mPosAdapter;
    qint64 mLoadChangedAt = -1;
    bool mOpened = false;
    bool mAttached = true;
    bool mEnabled = false;
    QByteArray mReport;
    QString mLastError;
};
