// Runs the real hidraw and udev code against scales emulated by umockdev. The
// binary must run under umockdev-wrapper (CTest does that).

#include "HidrawUsbDevice.h"
#include "UmockdevTestbed.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <umockdev.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using namespace umockdevbed;

void Open(HidrawUsbDevice& device)
{
    device.OpenDevice(0, ScaleVendor, ScaleProduct, u"SCALE"_s);
    device.SetEnabled(true);
}

// Drops root for a moment, so an open that root would be allowed really fails.
class AsUnprivileged final
{
public:
    AsUnprivileged()
        : mWasRoot(geteuid() == 0)
    {
        if (mWasRoot && seteuid(65534) != 0)
            qFatal("cannot drop to uid 65534: %s", strerror(errno));
    }
    ~AsUnprivileged()
    {
        if (mWasRoot && seteuid(0) != 0)
            qFatal("cannot return to root: %s", strerror(errno));
    }
    AsUnprivileged(const AsUnprivileged&) = delete;
    AsUnprivileged& operator=(const AsUnprivileged&) = delete;

private:
    bool mWasRoot;
};

} // namespace

class TestHidrawUsbDevice final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // Without the preload library the "testbed" would be the machine's real /sys.
        if (!qEnvironmentVariable("LD_PRELOAD").contains(u"umockdev-preload"_s))
            QFAIL("run this test under umockdev-wrapper");
    }

    void reportsArrive_data()
    {
        QTest::addColumn<QByteArray>("descriptor");
        QTest::addColumn<bool>("withIoctl");
        QTest::addColumn<QList<QByteArray>>("sent");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::addColumn<int>("gapMs");

        const QList<QByteArray> scale {ScaleReport(0), ScaleReport(1000), ScaleReport(-200)};
        QList<QByteArray> withId;
        for (const QByteArray& r : scale)
            withId.append('\0' + r);
        QTest::newRow("descriptor from sysfs when the ioctl fails")
            << PlainDescriptor << false << scale << withId << 20;
        // Sent together, they reach the emulated node as one stream: only reads of
        // exactly one report's length keep them apart. Plain reports get a 0 id byte.
        QTest::newRow("back-to-back reports stay apart") << PlainDescriptor << true << scale << withId << 0;
        // Numbered reports come with their id already; the longest (8 bytes) sets the read size.
        const QByteArray numbered = QByteArray::fromHex("01AB00138840200190");
        QTest::newRow("numbered reports keep their id")
            << NumberedDescriptor << true << QList<QByteArray> {numbered, numbered}
            << QList<QByteArray> {numbered, numbered} << 0;
    }
    void reportsArrive()
    {
        QFETCH(QByteArray, descriptor);
        QFETCH(bool, withIoctl);
        QFETCH(QList<QByteArray>, sent);
        QFETCH(QList<QByteArray>, expected);
        QFETCH(int, gapMs);

        Testbed bed;
        EmulatedHid scale;
        scale.descriptor = descriptor;
        QVERIFY(bed.Add(scale, sent, withIoctl, gapMs));

        HidrawUsbDevice device;
        QSignalSpy arrivals(&device, &UsbDevice::Arrival);
        QList<QByteArray> received;
        connect(&device, &UsbDevice::OnUsb, this, [&] { received.append(device.ReportData()); });
        // Guessing the layout would pass this test by luck; the descriptor must be read.
        QTest::failOnWarning(QRegularExpression(u"assuming"_s));
        Open(device);
        QVERIFY2(device.IsAttached(), qPrintable(device.LastError()));
        QCOMPARE(device.DeviceNode(), scale.Node());
        QTRY_COMPARE(received, expected);
        // Being there at the start is not an arrival.
        QCOMPARE(arrivals.count(), 0);
    }

    void hotplug()
    {
        Testbed bed;
        EmulatedHid scale;
        HidrawUsbDevice device;
        QSignalSpy arrivals(&device, &UsbDevice::Arrival);
        QSignalSpy removals(&device, &UsbDevice::Removal);
        QList<QByteArray> received;
        connect(&device, &UsbDevice::OnUsb, this, [&] { received.append(device.ReportData()); });

        Open(device);
        QVERIFY(!device.FindDevice());
        QVERIFY2(device.LastError().contains(u"not connected"_s), qPrintable(device.LastError()));

        QVERIFY(bed.Add(scale, {ScaleReport(400)}));
        QTRY_COMPARE(arrivals.count(), 1);
        QVERIFY(device.IsAttached());
        QVERIFY(device.LastError().isEmpty());
        QTRY_COMPARE(received, QList<QByteArray> {'\0' + ScaleReport(400)});

        bed.Remove(scale);
        QTRY_COMPARE(removals.count(), 1);
        QVERIFY(!device.IsAttached());

        // Plugged in again, into another port as users do (umockdev cannot bring back
        // a removed node either): a new node, opened, and reports flow again.
        EmulatedHid again;
        again.index = 1;
        QVERIFY(bed.Add(again, {ScaleReport(800)}));
        QTRY_COMPARE(arrivals.count(), 2);
        QCOMPARE(device.DeviceNode(), again.Node());
        QTRY_COMPARE(received.size(), 2);
        QCOMPARE(received.last(), '\0' + ScaleReport(800));
        QCOMPARE(removals.count(), 1);
    }

    void otherDevicesIgnored()
    {
        Testbed bed;
        EmulatedHid other;
        other.product = 0x2234;
        QVERIFY(bed.Add(other));

        HidrawUsbDevice device;
        QSignalSpy arrivals(&device, &UsbDevice::Arrival);
        QSignalSpy removals(&device, &UsbDevice::Removal);
        Open(device);
        QVERIFY(!device.IsAttached());

        // A second reader that wants the other device: its signals tell when the
        // udev events about that device have been handled.
        HidrawUsbDevice observer;
        QSignalSpy observerRemovals(&observer, &UsbDevice::Removal);
        observer.OpenDevice(0, other.vendor, other.product, u"OTHER"_s);
        QVERIFY(observer.IsAttached());

        EmulatedHid scale;
        scale.index = 1;
        QVERIFY(bed.Add(scale));
        QTRY_COMPARE(arrivals.count(), 1);
        QCOMPARE(device.DeviceNode(), scale.Node());

        // The other device leaving does not take the scale with it.
        bed.Remove(other);
        QTRY_COMPARE(observerRemovals.count(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(removals.count(), 0);
        QVERIFY(device.IsAttached());
    }

    void cannotOpen_data()
    {
        QTest::addColumn<bool>("denyAccess"); // else the node is missing
        QTest::addColumn<QString>("message");

        QTest::newRow("no permission") << true
                                       << u"No permission to read the scale at /dev/hidraw0. Install the udev rule"_s;
        QTest::newRow("node missing") << false
                                      << u"Cannot open the scale at /dev/hidraw0: No such file or directory."_s;
    }

    void cannotOpen()
    {
        QFETCH(bool, denyAccess);
        QFETCH(QString, message);

        Testbed bed;
        EmulatedHid scale;
        QVERIFY(bed.Add(scale));
        const QString root = bed.Root();
        const QByteArray node = QFile::encodeName(root + scale.Node());
        const QString ptyTarget = QFile::symLinkTarget(QString::fromLocal8Bit(node));

        if (denyAccess) {
            // Root may open anything, so the open runs as nobody against a node of
            // mode 000. Nobody must still reach the testbed's sysfs and its ioctl
            // socket, or there would be nothing to fail on.
            QVERIFY(::chmod(QFile::encodeName(root).constData(), 0755) == 0);
            QVERIFY(::chmod(QFile::encodeName(root + u"/ioctl"_s).constData(), 0777) == 0);
            QDirIterator sockets(root + u"/ioctl"_s, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                                 QDirIterator::Subdirectories);
            while (sockets.hasNext())
                QVERIFY(::chmod(QFile::encodeName(sockets.next()).constData(), 0777) == 0);
            QVERIFY(::chmod(node.constData(), 0) == 0);
        } else {
            QVERIFY(::unlink(node.constData()) == 0);
        }

        HidrawUsbDevice device;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(message)));
        {
            std::optional<AsUnprivileged> guard;
            if (denyAccess)
                guard.emplace();
            Open(device);
        }
        QVERIFY(!device.IsAttached());
        QVERIFY2(device.LastError().startsWith(message), qPrintable(device.LastError()));

        // Once the cause is gone, looking again finds and opens it.
        if (denyAccess)
            QVERIFY(::chmod(node.constData(), 0600) == 0);
        else
            QVERIFY(::symlink(QFile::encodeName(ptyTarget).constData(), node.constData()) == 0);
        QVERIFY2(device.FindDevice(), qPrintable(device.LastError()));
        QVERIFY(device.IsAttached());
        QVERIFY(device.LastError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHidrawUsbDevice)
#include "tst_hidrawusbdevice.moc"
