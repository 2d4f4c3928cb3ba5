#pragma once
// Scales emulated by umockdev for the real hidraw and udev code: a device description as udev
// would show it, its descriptor ioctls and a script of reports. A binary using this must run
// under umockdev-wrapper.

#include "ScaleIds.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdint>
#include <umockdev.h>

namespace umockdevbed {

using namespace Qt::Literals::StringLiterals;

constexpr int ScaleVendor = kScaleVendorId;
constexpr int ScaleProduct = kScaleProductId;

// What the real scale declares: 8 vendor bytes in, 8 out, no report ids.
inline const QByteArray PlainDescriptor = QByteArray::fromHex("0600FF0901A101150026FF00750895080901810209019102C0");
// The same with two numbered input reports, 8 and 4 bytes.
inline const QByteArray NumberedDescriptor
    = QByteArray::fromHex("0600FF0901A101150026FF00850175089508090181028502750895040901810209019102C0");

struct EmulatedHid
{
    int index = 0; // hidraw<index>, USB port 1-<index + 1>
    int vendor = ScaleVendor;
    int product = ScaleProduct;
    QByteArray descriptor = PlainDescriptor;

    QString Node() const { return u"/dev/hidraw%1"_s.arg(index); }
    QString UsbPath() const { return u"/devices/pci0000:00/0000:00:14.0/usb1/1-%1"_s.arg(index + 1); }
    QString HidPath() const
    {
        const QString port = QString::number(index + 1);
        return u"%1/1-%2:1.0/0003:%3:%4.%5"_s.arg(UsbPath(), port, Hex4(vendor).toUpper(), Hex4(product).toUpper(),
                                                  port.rightJustified(4, u'0'));
    }
    static QString Hex4(int value) { return u"%1"_s.arg(value, 4, 16, QLatin1Char('0')); }
    // As udev names it; the description below uses paths below /sys.
    QString SysPath() const { return u"/sys%1/hidraw/hidraw%2"_s.arg(HidPath()).arg(index); }

    // A umockdev device description: hidraw node, hid device, usb interface, usb device.
    QByteArray Description() const
    {
        const QString hid = HidPath();
        return (u"P: %1/hidraw/hidraw%2\nN: hidraw%2\nE: DEVNAME=/dev/hidraw%2\nE: MAJOR=240\nE: MINOR=%2\n"
                u"E: SUBSYSTEM=hidraw\nA: dev=240:%2\\n\nL: device=../../../%3\n\n"
                u"P: %1\nE: DRIVER=hid-generic\nE: SUBSYSTEM=hid\nH: report_descriptor=%4\n\n"
                u"P: %5\nE: DEVTYPE=usb_interface\nE: DRIVER=usbhid\nE: SUBSYSTEM=usb\nA: bInterfaceClass=03\\n\n\n"
                u"P: %6\nN: bus/usb/001/%7\nE: DEVNAME=/dev/bus/usb/001/%7\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n"
                u"E: SUBSYSTEM=usb\nA: idVendor=%8\\n\nA: idProduct=%9\\n\nA: product=Postal Scale\\n\n"_s)
            .arg(hid, QString::number(index), hid.section(u'/', -1), QString::fromLatin1(descriptor.toHex().toUpper()),
                 hid.section(u'/', 0, -2), UsbPath(), QString::number(index + 2).rightJustified(3, u'0'), Hex4(vendor),
                 Hex4(product))
            .toLatin1();
    }

    // Replies to the descriptor ioctls, as umockdev expects them.
    QByteArray IoctlFile() const
    {
        QByteArray size(4, '\0');
        qToLittleEndian<quint32>(quint32(descriptor.size()), size.data());
        const QByteArray full = size + descriptor + QByteArray(4096 - descriptor.size(), '\0');
        return "@DEV " + Node().toLatin1() + "\nHIDIOCGRDESCSIZE 0 " + size.toHex().toUpper() + "\nHIDIOCGRDESC 0 "
            + full.toHex().toUpper() + "\n";
    }
};

// One read() dialogue line per report, `gapMs` apart.
inline QByteArray ReadScript(const QList<QByteArray>& reports, int gapMs)
{
    QByteArray script;
    for (const QByteArray& report : reports) {
        script += "r " + QByteArray::number(gapMs) + ' ';
        for (const char c : report) {
            const auto b = std::uint8_t(c);
            script += b == '^' ? QByteArray("^`") : b < 32 ? QByteArray(1, '^') + char(b + 64) : QByteArray(1, c);
        }
        script += '\n';
    }
    return script;
}

class Testbed final
{
public:
    Testbed()
        : mBed(umockdev_testbed_new())
    { }
    ~Testbed() { g_object_unref(mBed); }
    Testbed(const Testbed&) = delete;
    Testbed& operator=(const Testbed&) = delete;

    QString Root() const
    {
        gchar* root = umockdev_testbed_get_root_dir(mBed); // ours to free
        const QString path = QString::fromLocal8Bit(root);
        g_free(root);
        return path;
    }

    // Adds the device (umockdev announces it as "add"), with its ioctl replies
    // and, when given, the reports it will send once opened.
    bool Add(const EmulatedHid& hid, const QList<QByteArray>& reports = {}, bool withIoctl = true, int gapMs = 20)
    {
        GError* error = nullptr;
        bool ok = umockdev_testbed_add_from_string(mBed, hid.Description().constData(), &error);
        if (ok && withIoctl)
            ok = umockdev_testbed_load_ioctl(mBed, qPrintable(hid.Node()), qPrintable(Write(hid.IoctlFile())), &error);
        if (ok && !reports.isEmpty())
            ok = umockdev_testbed_load_script(mBed, qPrintable(hid.Node()),
                                              qPrintable(Write(ReadScript(reports, gapMs))), &error);
        if (!ok) {
            qWarning("umockdev: %s", error ? error->message : "?");
            g_clear_error(&error);
        }
        return ok;
    }

    void Remove(const EmulatedHid& hid)
    {
        umockdev_testbed_uevent(mBed, qPrintable(hid.SysPath()), "remove");
        umockdev_testbed_remove_device(mBed, qPrintable(hid.SysPath()));
    }

private:
    QString Write(const QByteArray& content)
    {
        const QString path = mFiles.filePath(QString::number(++mFileCount));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }

    UMockdevTestbed* mBed;
    QTemporaryDir mFiles;
    int mFileCount = 0;
};

// Our scale's report (no report id), calibrated at 5000 for a count of 16416.
inline QByteArray ScaleReport(int adc)
{
    return QByteArray::fromHex("AB0013884020") + char((adc >> 8) & 0xFF) + char(adc & 0xFF);
}

} // namespace umockdevbed
