#include "CScaleCalc.h"
#include "ManualTickTimer.h"
#include "ScaleIds.h"
#include "SimulatedUsbDevice.h"

#include <QSignalSpy>
#include <QTest>

#include <cstdint>
#include <span>

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
    }

    // What the demo's point-of-sale scale feeds the engine, noise, drift and its motion flag included,
    // settles on the load and stays there. 454 g is 16.0 oz, 453.59 g, shown as 454 g again.
    void engineSettlesOnLoad()
    {
        const int grams = 454;
        ManualTickTimer clock;
        CScaleCalc engine(clock);
        QList<int> statuses;
        int lastError = 0;
        engine.StatusChange = [&statuses](std::int32_t& code) {
            statuses.append(code);
        };
        engine.ScaleError = [&lastError](std::int32_t& code) {
            lastError = code;
        };
        SimulatedUsbDevice device;
        device.SetPointOfSale(true);
        QList<int> weights;
        connect(&device, &UsbDevice::OnUsb, this, [&] {
            const QByteArray report = device.ReportData();
            engine.NewData(std::span(reinterpret_cast<const std::uint8_t*>(report.constData()), size_t(report.size())));
            weights.append(engine.WeightGrams());
        });
        Open(device);
        QTRY_COMPARE(engine.InitCnt, CScaleCalc::InitCntNeeded);
        QCOMPARE(statuses, (QList<int> {0, 1}));

        device.SetLoadGrams(grams);
        QTRY_COMPARE(engine.WeightGrams(), grams);
        const qsizetype from = weights.size();
        QTRY_VERIFY(weights.size() >= from + 30);
        for (qsizetype i = from; i < weights.size(); ++i)
            QCOMPARE(weights.at(i), grams);
        QCOMPARE(lastError, 0);
        QVERIFY(engine.IsStable());
        clock.AdvanceTo(clock.Now() + 2000);
        QVERIFY(statuses.contains(2));
    }
};

QTEST_GUILESS_MAIN(TestSimulatedUsbDevice)
#include "tst_simulatedusbdevice.moc"
