#pragma once

#include "HidPosScale.h"
#include "UsbDevice.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QSocketNotifier;
class QTimer;
struct udev;
struct udev_device;
struct udev_monitor;

// The scale on Linux: a hidraw node found with libudev by the USB ids given to
// OpenDevice, or any standard point-of-sale scale (found by the usage page in its
// report descriptor, whatever its maker), watched for coming and going with a udev
// monitor and read without blocking from the event loop.
//
// A point-of-sale scale's reports reach the owner already turned into our scale's
// format (HidPosScale), at least ten a second: many of them report only when the
// weight changes, and the engine counts reports to initialise and to settle.
//
// A scale the user may not open (no udev rule yet) is not an error of the
// program: it shows as a detached scale with the reason in LastError() and a
// warning in the log.
class HidrawUsbDevice final : public UsbDevice
{
    Q_OBJECT
public:
    explicit HidrawUsbDevice(QObject* parent = nullptr);
    ~HidrawUsbDevice() override;
    Q_DISABLE_COPY_MOVE(HidrawUsbDevice)

    void OpenDevice(int vendorId, int productId, const QString& usage) override;
    bool FindDevice() override;
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return mEnabled; }
    bool IsAttached() const override { return mFd >= 0; }
    QByteArray ReportData() const override { return mReport; }
    QString LastError() const override { return mLastError; }

    // The node in use ("/dev/hidraw3"), empty while detached; for the log.
    QString DeviceNode() const { return mDevNode; }
    // Bytes asked of each read(): the longest input report plus its id byte.
    int ReadLength() const { return mReadLength; }
    // The open scale is a standard point-of-sale scale.
    bool IsPosScale() const { return mPosScale; }
    // A steady point-of-sale scale's last weight is handed on again after this long.
    static constexpr int PosRepeatMs = 100;

private:
    struct UdevDeleter
    {
        void operator()(udev* context) const;
        void operator()(udev_monitor* monitor) const;
    };

    bool Matches(udev_device* device) const;
    // Opens the first present hidraw node of the scale; false when none or when it
    // cannot be opened (the reason in mLastError).
    bool OpenFirstPresent();
    bool OpenNode(udev_device* device);
    void CloseNode();
    void LearnReportLayout(udev_device* device);
    void RepeatPosReport();
    static QByteArray SysfsDescriptor(udev_device* device);
    void OnMonitorReadable();
    void OnNodeReadable();
    void Fail(const QString& message);
    static void Drop(QSocketNotifier*& notifier);

    std::unique_ptr<udev, UdevDeleter> mUdev;
    std::unique_ptr<udev_monitor, UdevDeleter> mMonitor;
    // Children of this object, dropped with deleteLater(): they may be dropped from
    // inside their own activated() signal.
    QSocketNotifier* mMonitorNotifier = nullptr;
    QSocketNotifier* mReadNotifier = nullptr;
    QTimer* mPosRepeat = nullptr;
    int mVendorId = -1;
    int mProductId = -1;
    int mFd = -1;
    QString mSysPath;
    QString mDevNode;
    bool mPrependReportId = true;
    bool mPosScale = false;
    HidPosScale mPosAdapter;
    int mReadLength = 0;
    bool mEnabled = false;
    QByteArray mReport;
    QString mLastError;
};
