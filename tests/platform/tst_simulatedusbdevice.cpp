#include "ScaleIds.h"
#include "SimulatedUsbDevice.h"

#include <QSignalSpy>
#include <QTest>

#include <cstdint>

using namespace Qt::Literals::StringLiterals;

namespace {

// The count of a scale report, INT_MIN for anything else.
int AdcOf(const QByteArray& report)
{
    return report.size() == 9 ? std::int16_t((std::uint8_t(report.at(7)) << 8) | std::uint8_t(report.at(8))) : INT_MIN;
}

// Opens a device the way the main window does, with fast reports.
void Open(SimulatedUsbDevice& device, bool enabled = true)
{
    device.SetReportInterval(1);
    device.OpenDevice(kScaleVendorId, kScaleProductId, u"SCALE"_s);
    device.SetEnabled(enabled);
}

} // namespace

class TestSimulatedUsbDevice final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A report is made for every load, announced only while enabled and attached. A scenario's steps at
    // time 0 are applied silently, so one may start with the scale unplugged.
    void reports()
    {
        const auto scenario = SimulatedScenario::Parse(u"0 unplug\n30 plug\n"_s);
        QVERIFY(scenario);
        SimulatedUsbDevice device;
        device.SetNoiseAndDrift(false);
        device.SetScenario(*scenario);
        QSignalSpy reports(&device, &UsbDevice::OnUsb);
        QSignalSpy arrivals(&device, &UsbDevice::Arrival);
        QSignalSpy removals(&device, &UsbDevice::Removal);
        Open(device, false);
        QVERIFY(!device.IsAttached());
        QTRY_COMPARE(arrivals.count(), 1);
        QCOMPARE(removals.count(), 0);
        // Quarter grams are exact; loads beyond the cell's range are clamped, not wrapped.
        const std::pair<double, int> loads[] = {{1234.25, 4937}, {9000.0, 32767}, {-9000.0, -32768}, {100.0, 400}};
        for (const auto& [grams, adc] : loads) {
            device.SetLoadGrams(grams);
            QTRY_COMPARE(AdcOf(device.ReportData()), adc);
        }
        QCOMPARE(reports.count(), 0);

        device.SetEnabled(true);
        QTRY_VERIFY(reports.count() >= 10);
        device.Unplug();
        QCOMPARE(removals.count(), 1);
        const qsizetype atUnplug = reports.count();
        device.SetLoadGrams(200.0);
        QTest::qWait(30);
        QCOMPARE(reports.count(), atUnplug);
        QCOMPARE(AdcOf(device.ReportData()), 400);

        device.Plug();
        QTRY_COMPARE(AdcOf(device.ReportData()), 800);
        QVERIFY(reports.count() > atUnplug);

        // The point-of-sale scale (--simulate=hidpos) weighs in tenths of an ounce through the real
        // adapter: 454 g is 16.0 oz, 1814 counts; past its range it reports overweight, the highest count.
        device.SetPointOfSale(true);
        for (const auto& [grams, adc] : {std::pair {454.0, 1814}, std::pair {26000.0, 32767}}) {
            device.SetLoadGrams(grams);
            QTRY_COMPARE(AdcOf(device.ReportData()), adc);
        }
    }
};

QTEST_GUILESS_MAIN(TestSimulatedUsbDevice)
#include "tst_simulatedusbdevice.moc"
