#pragma once

#include "SimulatedUsbDevice.h"
#include "UsbDevice.h"

// A scale the test feeds by hand, one report at a time, so each step of the
// initialisation can be looked at; the simulated scale runs on its own clock.
class FeedUsbDevice final : public UsbDevice
{
    Q_OBJECT
public:
    using UsbDevice::UsbDevice;

    void OpenDevice(int vendorId, int productId, const QString& usage) override
    {
        mOpenedWith = QStringLiteral("%1:%2:%3").arg(vendorId, 4, 16).arg(productId, 4, 16).arg(usage);
    }
    bool FindDevice() override { return mAttached && mFindAnswer; }
    void SetEnabled(bool enabled) override { mEnabled = enabled; }
    bool Enabled() const override { return mEnabled; }
    bool IsAttached() const override { return mAttached; }
    QByteArray ReportData() const override { return mReport; }
    QString LastError() const override { return QString(); }

    void Feed(const QByteArray& report)
    {
        mReport = report;
        if (mEnabled)
            Q_EMIT OnUsb();
    }
    // `times` reports of a load of `grams`, from a scale calibrated as the simulated one is.
    void FeedGrams(double grams, int times)
    {
        const QByteArray report = SimulatedUsbDevice::MakeReport(SimulatedUsbDevice::CalLoadGrams,
                                                                 SimulatedUsbDevice::CalCount, int(grams * 4.0));
        for (int i = 0; i < times; ++i)
            Feed(report);
    }
    void SetAttached(bool attached)
    {
        mAttached = attached;
        if (attached)
            Q_EMIT Arrival();
        else
            Q_EMIT Removal();
    }

    bool mAttached = true;
    bool mFindAnswer = true;
    bool mEnabled = false;
    QString mOpenedWith;
    QByteArray mReport;
};
