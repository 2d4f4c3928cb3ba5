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
void Open(SimulatedUsbDevice& device, int intervalMs)
{
    device.SetReportInterval(intervalMs);
    device.OpenDevice(kScaleVendorId, kScaleProductId, u"SCALE"_s);
    device.SetEnabled(true);
}

} // namespace

class TestSimulatedUsbDevice final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void reportEncodesLoad_data()
    {
        QTest::addColumn<double>("grams");
        QTest::addColumn<int>("adc");
        QTest::newRow("quarter grams are exact") << 1234.25 << 4937;
        QTest::newRow("half a count, tie to even down") << 0.125 << 0;
        QTest::newRow("one and a half counts, tie to even up") << 0.375 << 2;
        QTest::newRow("clamped high") << 9000.0 << 32767;
        QTest::newRow("clamped low") << -9000.0 << -32768;
    }

    void reportEncodesLoad()
    {
        QFETCH(double, grams);
        QFETCH(int, adc);

        SimulatedUsbDevice device;
        device.SetNoiseAndDrift(false);
        device.SetLoadGrams(grams);
        QSignalSpy reports(&device, &UsbDevice::OnUsb);
        Open(device, 2);
        QTRY_VERIFY(reports.count() >= 1);

        QCOMPARE(AdcOf(device.ReportData()), adc);
    }

    void reportsOnlyWhileEnabledAndAttached()
    {
        SimulatedUsbDevice device;
        device.SetNoiseAndDrift(false);
        device.SetLoadGrams(100.0);
        QSignalSpy reports(&device, &UsbDevice::OnUsb);
        device.SetReportInterval(1);
        device.OpenDevice(kScaleVendorId, kScaleProductId, u"SCALE"_s);

        // Disabled: the report is kept, but not announced.
        QTRY_COMPARE(AdcOf(device.ReportData()), 400);
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

    void scenarioPlayback_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("attachedAtOpen");
        QTest::addColumn<QStringList>("announced");
        QTest::addColumn<int>("finalAdc");

        QTest::newRow("loads and cable") << u"0 100\n20 200\n40 unplug\n60 plug\n80 300\n"_s << true
                                         << QStringList {u"load 100"_s, u"load 200"_s, u"unplug"_s,
                                                         u"plug"_s,     u"load 300"_s, u"end"_s}
                                         << 1200;
        QTest::newRow("starts unplugged, silently")
            << u"0 unplug\n0 50\n30 plug\n"_s << false << QStringList {u"load 50"_s, u"plug"_s, u"end"_s} << 200;
    }

    void scenarioPlayback()
    {
        QFETCH(QString, script);
        QFETCH(bool, attachedAtOpen);
        QFETCH(QStringList, announced);
        QFETCH(int, finalAdc);

        QString error;
        const auto scenario = SimulatedScenario::Parse(script, &error);
        QVERIFY2(scenario, qPrintable(error));

        SimulatedUsbDevice device;
        device.SetNoiseAndDrift(false);
        device.SetScenario(*scenario);
        // Everything the scenario makes the device announce, in order.
        QStringList log;
        connect(&device, &SimulatedUsbDevice::LoadChanged, this, [&](double g) { log.append(u"load %1"_s.arg(g)); });
        connect(&device, &UsbDevice::Removal, this, [&] { log.append(u"unplug"_s); });
        connect(&device, &UsbDevice::Arrival, this, [&] { log.append(u"plug"_s); });
        connect(&device, &SimulatedUsbDevice::ScenarioFinished, this, [&] { log.append(u"end"_s); });
        Open(device, 2);
        QCOMPARE(device.IsAttached(), attachedAtOpen);

        QTRY_COMPARE(log, announced);
        QVERIFY(device.IsAttached());
        QTRY_COMPARE(AdcOf(device.ReportData()), finalAdc);
    }

    void engineSettlesOnLoad_data()
    {
        QTest::addColumn<int>("grams");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("pointOfSale");
        QTest::newRow("a letter, 23 g") << 23 << 0 << false;
        QTest::newRow("over capacity") << 5100 << 1 << false;
        // 454 g is 16.0 oz on the point-of-sale scale, 453.59 g, shown as 454 g again.
        QTest::newRow("point-of-sale scale, a parcel") << 454 << 0 << true;
        QTest::newRow("point-of-sale scale past its range") << 26000 << 2 << true;
    }

    void engineSettlesOnLoad()
    {
        QFETCH(int, grams);
        QFETCH(int, error);
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

        // Noise and drift stay on: this is what the demo feeds the engine.
        SimulatedUsbDevice device;
        device.SetPointOfSale(pointOfSale);
        QList<int> weights;
        connect(&device, &UsbDevice::OnUsb, this, [&] {
            const QByteArray report = device.ReportData();
            engine.NewData(std::span(reinterpret_cast<const std::uint8_t*>(report.constData()), size_t(report.size())));
            weights.append(engine.WeightGrams());
        });
        Open(device, 2);
        QTRY_COMPARE(engine.InitCnt, CScaleCalc::InitCntNeeded);
        QCOMPARE(statuses, (QList<int> {0, 1}));

        device.SetLoadGrams(grams);
        if (error != 0) {
            QTRY_COMPARE(lastError, error);
            return;
        }
        QTRY_COMPARE(engine.WeightGrams(), grams);
        // Settled means it stays there, report after report.
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
