// Runs the real hidraw and udev code against scales emulated by umockdev. The
// binary must run under umockdev-wrapper (CTest does that).

#include "HidrawUsbDevice.h"
#include "SimulatedUsbDevice.h"
#include "UmockdevTestbed.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>
#include <umockdev.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using namespace umockdevbed;

// A point-of-sale scale, written from the HID point-of-sale usage tables: a
// scale page application collection with attribute and control feature
// reports and a weight report 3 of status (selectors 0x71-0x78), unit
// (selectors 0x51-0x5C), a signed exponent and a 16-bit weight.
const QByteArray PosDescriptor = QByteArray::fromHex("058D0901A101"
                                                     "85010930A102150026FF007508950209500960B102C0"
                                                     "85020931A10215002501750895010980B102C0"
                                                     "85030932A102"
                                                     "0970A1021501250875089501197129788100C0"
                                                     "0950A1021501250C750895011951295C8100C0"
                                                     "1580257F7508950109418102"
                                                     "150027FFFF00007510950109408102"
                                                     "C0C0");

void Open(HidrawUsbDevice& device)
{
    device.OpenDevice(ScaleVendor, ScaleProduct, u"SCALE"_s);
    device.SetEnabled(true);
}

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

    // Sent together, reports reach the emulated node as one stream: only reads of exactly one report's
    // length keep them apart. Plain reports get a 0 id byte. (Numbered reports and a descriptor read from
    // sysfs are walked by the hotplug test.)
    void reportsArrive()
    {
        Testbed bed;
        EmulatedHid scale;
        const QList<QByteArray> sent {ScaleReport(0), ScaleReport(1000), ScaleReport(-200)};
        QVERIFY(bed.Add(scale, sent, true, 0));
        QList<QByteArray> expected;
        for (const QByteArray& r : sent)
            expected.append('\0' + r);

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

    // Plugged in after the program started, pulled, and plugged into another port as users do (umockdev
    // cannot bring back a removed node either). Point-of-sale scales also leave the bus when they switch
    // themselves off and come back when they wake; their first report after each opening is stale. One
    // of another make is found by its descriptor alone; our own scale's numbers are matched on the same
    // path when the reader opens. Another HID device on the bus, coming or going, is none of the reader's
    // business.
    void hotplug()
    {
        using S = HidPosScale;
        Testbed bed;
        EmulatedHid scale;
        scale.vendor = 0x0922;
        scale.product = 0x8003;
        scale.descriptor = PosDescriptor;
        const auto sent = [](int grams) {
            return QList<QByteArray> {S::MakeReport(3, S::Stable, S::Gram, 0, 999),
                                      S::MakeReport(3, S::Stable, S::Gram, 0, grams)};
        };
        const auto seen = [](int grams) {
            return SimulatedUsbDevice::MakeReport(5000, 20000, 4 * grams);
        };
        EmulatedHid other;
        other.product = 0x2234;
        other.index = 2;
        QVERIFY(bed.Add(other));
        // A second reader that wants the other device: its signals tell when the udev events about that
        // device have been handled.
        HidrawUsbDevice observer;
        QSignalSpy observerRemovals(&observer, &UsbDevice::Removal);
        observer.OpenDevice(other.vendor, other.product, u"OTHER"_s);
        QVERIFY(observer.IsAttached());

        HidrawUsbDevice device;
        QSignalSpy arrivals(&device, &UsbDevice::Arrival);
        QSignalSpy removals(&device, &UsbDevice::Removal);
        QList<QByteArray> received;
        connect(&device, &UsbDevice::OnUsb, this, [&] { received.append(device.ReportData()); });

        // Guessing the layout would pass by luck; the descriptor must be read.
        QTest::failOnWarning(QRegularExpression(u"assuming"_s));
        Open(device);
        QVERIFY(!device.IsAttached());
        QVERIFY(!device.FindDevice());
        QVERIFY2(device.LastError().contains(u"not connected"_s), qPrintable(device.LastError()));

        QVERIFY(bed.Add(scale, sent(100)));
        QTRY_COMPARE(arrivals.count(), 1);
        QCOMPARE(device.DeviceNode(), scale.Node());
        QVERIFY(device.IsAttached());
        QVERIFY(device.LastError().isEmpty());
        QTRY_VERIFY(!received.isEmpty());
        QCOMPARE(received.first(), seen(100));
        // The scale reports only when something changes; the device repeats the last weight so the
        // engine can settle on it.
        QTRY_VERIFY(received.size() >= 3 && received.count(seen(100)) == received.size());

        bed.Remove(scale);
        QTRY_COMPARE(removals.count(), 1);
        QVERIFY(!device.IsAttached());
        QVERIFY(!device.FindDevice());
        // Nothing is made up for a scale that is gone.
        const qsizetype before = received.size();
        QTest::qWait(3 * HidrawUsbDevice::PosRepeatMs);
        QCOMPARE(received.size(), before);

        // Plugged in again, its descriptor is read from sysfs: the descriptor ioctl fails this time.
        scale.index = 1;
        QVERIFY(bed.Add(scale, sent(300), false));
        QTRY_COMPARE(arrivals.count(), 2);
        QCOMPARE(device.DeviceNode(), scale.Node());
        QTRY_VERIFY(received.size() > before);
        QCOMPARE(received.at(before), seen(300));

        bed.Remove(other);
        QTRY_COMPARE(observerRemovals.count(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(removals.count(), 1);
        QVERIFY(device.IsAttached());
    }

    // A node the user may not read gets the udev rule named; once allowed, looking again opens it.
    void cannotOpen()
    {
        Testbed bed;
        EmulatedHid scale;
        QVERIFY(bed.Add(scale));
        const QString root = bed.Root();
        const QByteArray node = QFile::encodeName(root + scale.Node());
        // A node of mode 000; nobody must still reach the testbed's sysfs and its ioctl
        // socket, or there would be nothing to fail on.
        QVERIFY(::chmod(QFile::encodeName(root).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(root + u"/ioctl"_s).constData(), 0777) == 0);
        QDirIterator sockets(root + u"/ioctl"_s, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (sockets.hasNext())
            QVERIFY(::chmod(QFile::encodeName(sockets.next()).constData(), 0777) == 0);
        QVERIFY(::chmod(node.constData(), 0) == 0);

        HidrawUsbDevice device;
        const QString message = u"No permission to read the scale at /dev/hidraw0. Install the udev rule"_s;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(message)));
        // Root may open anything: the open runs as nobody.
        const bool drop = ::geteuid() == 0;
        QVERIFY(!drop || ::seteuid(65534) == 0);
        Open(device);
        QVERIFY(!drop || ::seteuid(0) == 0);
        QVERIFY(!device.IsAttached());
        QVERIFY2(device.LastError().startsWith(message), qPrintable(device.LastError()));

        QVERIFY(::chmod(node.constData(), 0600) == 0);
        QVERIFY2(device.FindDevice(), qPrintable(device.LastError()));
        QVERIFY(device.IsAttached());
        QVERIFY(device.LastError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHidrawUsbDevice)
#include "tst_hidrawusbdevice.moc"
