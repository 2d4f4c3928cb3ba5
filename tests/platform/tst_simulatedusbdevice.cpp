#include "CScaleCalc.h"
#include "ManualTickTimer.h"
#include "ScaleIds.h"
#include "SimulatedUsbDevice.h"

#include <QSignalSpy>
#include <QStringList>
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
    // A report is made for every load, announced only while enabled and attached.
    void reports()
    {
        SimulatedUsbDevice device;
        device.SetNoiseAndDrift(false);
        QSignalSpy reports(&device, &UsbDevice::OnUsb);
        Open(device, false);
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
        const qsizetype atUnplug = reports.count();
        device.SetLoadGrams(200.0);
        QTest::qWait(30);
        QCOMPARE(reports.count(), atUnplug);
        QCOMPARE(AdcOf(device.ReportData()), 400);

        device.Plug();
        QTRY_COMPARE(AdcOf(device.ReportData()), 800);
        QVERIFY(reports.count() > atUnplug);
    }

    // Steps at time 0 are applied silently, so a scenario may start with the scale unplugged.
    void scenarioStartsUnplugged()
    {
        const auto scenario = SimulatedScenario::Parse(u"0 unplug\n0 50\n30 plug\n"_s);
        QVERIFY(scenario);
        SimulatedUsbDevice device;
        device.SetNoiseAndDrift(false);
        device.SetScenario(*scenario);
        QStringList log;
        connect(&device, &SimulatedUsbDevice::LoadChanged, this, [&](double g) { log.append(u"load %1"_s.arg(g)); });
        connect(&device, &UsbDevice::Removal, this, [&] { log.append(u"unplug"_s); });
        connect(&device, &UsbDevice::Arrival, this, [&] { log.append(u"plug"_s); });
        connect(&device, &SimulatedUsbDevice::ScenarioFinished, this, [&] { log.append(u"end"_s); });
        Open(device);
        QVERIFY(!device.IsAttached());
        QTRY_COMPARE(log, (QStringList {u"load 50"_s, u"plug"_s, u"end"_s}));
        QVERIFY(device.IsAttached());
        QTRY_COMPARE(AdcOf(device.ReportData()), 200);
    }

    // What the demo feeds the engine, noise and drift included, settles on the load and stays there.
    void engineSettlesOnLoad_data()
    {
        QTest::addColumn<int>("grams");
        QTest::addColumn<bool>("pointOfSale");
        QTest::newRow("a letter, 23 g") << 23 << false;
        // 454 g is 16.0 oz on the point-of-sale scale, 453.59 g, shown as 454 g again.
        QTest::newRow("point-of-sale scale, a parcel") << 454 << true;
    }

    void engineSettlesOnLoad()
    {
        QFETCH(int, grams);
        QFETCH(bool, pointOfSale);

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
        device.SetPointOfSale(pointOfSale);
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
