#include "HidrawUsbDevice.h"

#include "HidReportDescriptor.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <string_view>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// When the descriptor cannot be read: the scale's own reports are 8 bytes.
constexpr int FallbackPayloadBytes = 8;
// Reports taken per wake-up, so a flooding device cannot starve the UI.
constexpr int MaxReportsPerWakeUp = 64;

struct DeviceRef
{
    udev_device* device;
    explicit DeviceRef(udev_device* d)
        : device(d)
    { }
    ~DeviceRef()
    {
        if (device)
            udev_device_unref(device);
    }
    DeviceRef(const DeviceRef&) = delete;
    DeviceRef& operator=(const DeviceRef&) = delete;
};

int HexAttribute(udev_device* device, const char* name)
{
    const char* text = udev_device_get_sysattr_value(device, name);
    if (!text)
        return -1;
    bool ok = false;
    const int value = QByteArray(text).trimmed().toInt(&ok, 16);
    return ok ? value : -1;
}

QString FromLocal(const char* text)
{
    return text ? QString::fromLocal8Bit(text) : QString();
}

QByteArray ReadDescriptorByIoctl(int fd)
{
    int size = 0;
    if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE)
        return {};
    hidraw_report_descriptor descriptor {};
    descriptor.size = quint32(size);
    if (::ioctl(fd, HIDIOCGRDESC, &descriptor) < 0)
        return {};
    return QByteArray(reinterpret_cast<const char*>(descriptor.value), size);
}

HidReportDescriptor ParseDescriptor(const QByteArray& raw)
{
    return HidReportDescriptor::Parse(std::string_view(raw.constData(), std::size_t(raw.size())));
}

} // namespace

void HidrawUsbDevice::UdevDeleter::operator()(udev* context) const
{
    udev_unref(context);
}

void HidrawUsbDevice::UdevDeleter::operator()(udev_monitor* monitor) const
{
    udev_monitor_unref(monitor);
}

HidrawUsbDevice::HidrawUsbDevice(QObject* parent)
    : UsbDevice(parent)
    , mPosRepeat(new QTimer(this))
{
    mPosRepeat->setInterval(PosRepeatMs);
    connect(mPosRepeat, &QTimer::timeout, this, &HidrawUsbDevice::RepeatPosReport);
}

HidrawUsbDevice::~HidrawUsbDevice()
{
    CloseNode();
    Drop(mMonitorNotifier);
}

void HidrawUsbDevice::OpenDevice(int vendorId, int productId, const QString& usage)
{
    Q_UNUSED(usage)
    CloseNode();
    Drop(mMonitorNotifier);
    mMonitor.reset();
    mUdev.reset();
    mVendorId = vendorId;
    mProductId = productId;

    mUdev.reset(udev_new());
    if (!mUdev) {
        Fail(QStringLiteral("Cannot look for the scale: udev is not available (%1).")
                 .arg(QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }

    // The monitor comes first, so a scale plugged in while we enumerate is not missed.
    mMonitor.reset(udev_monitor_new_from_netlink(mUdev.get(), "udev"));
    if (mMonitor && udev_monitor_filter_add_match_subsystem_devtype(mMonitor.get(), "hidraw", nullptr) >= 0
        && udev_monitor_enable_receiving(mMonitor.get()) >= 0) {
        mMonitorNotifier = new QSocketNotifier(udev_monitor_get_fd(mMonitor.get()), QSocketNotifier::Read, this);
        connect(mMonitorNotifier, &QSocketNotifier::activated, this, &HidrawUsbDevice::OnMonitorReadable);
    } else {
        mMonitor.reset();
        qWarning().noquote() << "Cannot watch for the scale being plugged in or out: no udev monitor.";
    }

    OpenFirstPresent();
}

bool HidrawUsbDevice::FindDevice()
{
    if (IsAttached())
        return true;
    if (!mUdev)
        return false;
    return OpenFirstPresent();
}

void HidrawUsbDevice::SetEnabled(bool enabled)
{
    mEnabled = enabled;
}

bool HidrawUsbDevice::Matches(udev_device* device) const
{
    // The parent belongs to the child: no unref.
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    if (usb && HexAttribute(usb, "idVendor") == mVendorId && HexAttribute(usb, "idProduct") == mProductId)
        return true;
    return ParseDescriptor(SysfsDescriptor(device)).HasUsagePage(HidPosScale::UsagePage);
}

QByteArray HidrawUsbDevice::SysfsDescriptor(udev_device* device)
{
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr);
    if (!hid)
        return {};
    QFile file(QDir(FromLocal(udev_device_get_syspath(hid))).filePath(QStringLiteral("report_descriptor")));
    return file.open(QIODevice::ReadOnly) ? file.read(HID_MAX_DESCRIPTOR_SIZE) : QByteArray();
}

bool HidrawUsbDevice::OpenFirstPresent()
{
    std::unique_ptr<udev_enumerate, decltype(&udev_enumerate_unref)> enumerate(udev_enumerate_new(mUdev.get()),
                                                                               &udev_enumerate_unref);
    if (!enumerate) {
        Fail(QStringLiteral("Cannot look for the scale: udev enumeration failed."));
        return false;
    }
    udev_enumerate_add_match_subsystem(enumerate.get(), "hidraw");
    udev_enumerate_scan_devices(enumerate.get());

    bool found = false;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get()))
    {
        DeviceRef device(udev_device_new_from_syspath(mUdev.get(), udev_list_entry_get_name(entry)));
        if (!device.device || !Matches(device.device))
            continue;
        found = true;
        if (OpenNode(device.device))
            return true;
    }
    if (!found)
        mLastError = QStringLiteral("The scale (USB %1:%2, or a standard point-of-sale scale) is not connected.")
                         .arg(mVendorId, 4, 16, QLatin1Char('0'))
                         .arg(mProductId, 4, 16, QLatin1Char('0'));
    return false;
}

bool HidrawUsbDevice::OpenNode(udev_device* device)
{
    const char* node = udev_device_get_devnode(device);
    if (!node) {
        Fail(QStringLiteral("The scale was found at %1 but has no device node.")
                 .arg(FromLocal(udev_device_get_syspath(device))));
        return false;
    }
    const int fd = ::open(node, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            Fail(QStringLiteral("No permission to read the scale at %1. Install the udev rule "
                                "70-pesavo-scale.rules (the setup script does it), then log out and in "
                                "again or unplug and replug the scale.")
                     .arg(QString::fromLocal8Bit(node)));
        else
            Fail(QStringLiteral("Cannot open the scale at %1: %2.")
                     .arg(QString::fromLocal8Bit(node), QString::fromLocal8Bit(std::strerror(error))));
        return false;
    }

    mFd = fd;
    mDevNode = QString::fromLocal8Bit(node);
    mSysPath = FromLocal(udev_device_get_syspath(device));
    LearnReportLayout(device);
    mLastError.clear();
    mReadNotifier = new QSocketNotifier(mFd, QSocketNotifier::Read, this);
    connect(mReadNotifier, &QSocketNotifier::activated, this, &HidrawUsbDevice::OnNodeReadable);
    return true;
}

void HidrawUsbDevice::LearnReportLayout(udev_device* device)
{
    QByteArray raw = ReadDescriptorByIoctl(mFd);
    // Some kernels and emulators refuse the ioctl; sysfs has the same bytes.
    if (raw.isEmpty())
        raw = SysfsDescriptor(device);
    const HidReportDescriptor layout = ParseDescriptor(raw);
    // Our own scale speaks its own format even should its descriptor ever name the scale page.
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    const bool ours = usb && HexAttribute(usb, "idVendor") == mVendorId && HexAttribute(usb, "idProduct") == mProductId;
    mPosScale = !ours && layout.HasUsagePage(HidPosScale::UsagePage);
    mPosAdapter.Reset();
    const int payload = layout.InputReportBytes() > 0 ? layout.InputReportBytes() : FallbackPayloadBytes;
    mPrependReportId = !layout.UsesReportIds();
    // With numbered reports read() returns the id too.
    mReadLength = payload + (layout.UsesReportIds() ? 1 : 0);
    if (raw.isEmpty())
        qWarning().noquote() << "Cannot read the report descriptor of" << mDevNode << "- assuming" << payload
                             << "byte reports without report ids.";
}

void HidrawUsbDevice::Drop(QSocketNotifier*& notifier)
{
    if (!notifier)
        return;
    notifier->setEnabled(false);
    notifier->deleteLater();
    notifier = nullptr;
}

void HidrawUsbDevice::CloseNode()
{
    Drop(mReadNotifier);
    mPosRepeat->stop();
    mPosScale = false;
    if (mFd >= 0)
        ::close(mFd);
    mFd = -1;
    mDevNode.clear();
    mSysPath.clear();
}

void HidrawUsbDevice::OnMonitorReadable()
{
    // One wake-up may carry several events; the fd is non-blocking.
    while (mMonitor) {
        DeviceRef device(udev_monitor_receive_device(mMonitor.get()));
        if (!device.device)
            return;
        const QByteArray action = udev_device_get_action(device.device);
        const QString sysPath = FromLocal(udev_device_get_syspath(device.device));
        if (action == "add") {
            if (IsAttached() || !Matches(device.device))
                continue;
            if (OpenNode(device.device))
                Q_EMIT Arrival();
        } else if (action == "remove") {
            if (!IsAttached() || sysPath != mSysPath)
                continue;
            CloseNode();
            mLastError = QStringLiteral("The scale was unplugged.");
            Q_EMIT Removal();
        }
    }
}

void HidrawUsbDevice::OnNodeReadable()
{
    for (int taken = 0; taken < MaxReportsPerWakeUp && mFd >= 0; ++taken) {
        // Under an emulated node (a PTY) there are no report boundaries, so ask for
        // exactly one report; a real hidraw node hands out one report per read anyway.
        QByteArray buffer(mReadLength, Qt::Uninitialized);
        const ssize_t got = ::read(mFd, buffer.data(), size_t(buffer.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (got <= 0) {
            const QString reason
                = got == 0 ? QStringLiteral("end of file") : QString::fromLocal8Bit(std::strerror(errno));
            const QString node = mDevNode;
            CloseNode();
            Fail(QStringLiteral("Lost the scale at %1: %2.").arg(node, reason));
            Q_EMIT Removal();
            return;
        }
        buffer.truncate(got);
        if (mPrependReportId)
            buffer.prepend('\0');
        if (mPosScale) {
            QByteArray translated = mPosAdapter.Translate(buffer);
            if (translated.isEmpty())
                continue;
            buffer = translated;
            mPosRepeat->start();
        }
        mReport = buffer;
        if (mEnabled)
            Q_EMIT OnUsb();
    }
}

void HidrawUsbDevice::RepeatPosReport()
{
    if (mPosScale && IsAttached() && mEnabled && !mReport.isEmpty())
        Q_EMIT OnUsb();
}

void HidrawUsbDevice::Fail(const QString& message)
{
    mLastError = message;
    qWarning().noquote() << message;
}
