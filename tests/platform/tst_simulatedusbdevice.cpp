#include "CScaleCalc.h"
#include "ManualTickTimer.h"
#include "SimulatedUsbDevice.h"

#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <span>

using namespace Qt::Literals::StringLiterals;

namespace {

int BigEndian16(const QByteArray& report, int at)
{
    return std::int16_t((std::uint8_t(report.at(at)) << 8) | std::uint8_t(report.at(at + 1)));
}

int AdcOf(const QByteArray& report)
{
    return report.size() == 9 ? BigEndian16(report, 7) : INT_MIN;
}

// Opens a device the way the main window does, with fast reports.
void Open(SimulatedUsbDevice& device, int intervalMs)
{
    device.SetReportInterval(intervalMs);
    device.OpenDevice(0, 0x6323, 0x2233, u"SCALE"_s);
    device.SetEnabled(true);
}

// Everything a scenario makes the device announce, in order.
class Announcements final : public QObject
{
public:
    explicit Announcements(SimulatedUsbDevice& device)
    {
        connect(&device, &SimulatedUsbDevice::LoadChanged, this, [this](double g) { log.append(u"load %1"_s.arg(g)); });
        connect(&device, &UsbDevice::Removal, this, [this] { log.append(u"unplug"_s); });
        connect(&device, &UsbDevice::Arrival, this, [this] { log.append(u"plug"_s); });
        connect(&device, &SimulatedUsbDevice::ScenarioFinished, this, [this] { log.append(u"end"_s); });
    }
    QStringList log;
};

} // namespace

class TestSimulatedUsbDevice final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void reportEncodesLoad_data();
    void reportEncodesLoad();
    void noiseIsSmallAndRepeatable();
    void reportsOnlyWhileEnabledAndAttached();
    void opensAttachedWithoutEvents();
    void cableEventsOnlyOnChange();
    void scenarioPlayback_data();
    void scenarioPlayback();
    void scenarioFile_data();
    void scenarioFile();
    void engineSettlesOnLoad_data();
    void engineSettlesOnLoad();
};

void TestSimulatedUsbDevice::reportEncodesLoad_data()
{
    QTest::addColumn<double>("grams");
    QTest::addColumn<int>("adc");

    QTest::newRow("empty platform") << 0.0 << 0;
    QTest::newRow("250 g") << 250.0 << 1000;
    QTest::newRow("quarter grams are exact") << 1234.25 << 4937;
    QTest::newRow("below half a count") << 0.1 << 0;
    QTest::newRow("half a count, tie to even down") << 0.125 << 0;
    QTest::newRow("one and a half counts, tie to even up") << 0.375 << 2;
    QTest::newRow("negative load") << -10.0 << -40;
    QTest::newRow("largest count") << 8191.75 << 32767;
    QTest::newRow("clamped high") << 9000.0 << 32767;
    QTest::newRow("clamped low") << -9000.0 << -32768;
    QTest::newRow("absurd load clamped") << 1e300 << 32767;
}

void TestSimulatedUsbDevice::reportEncodesLoad()
{
    QFETCH(double, grams);
    QFETCH(int, adc);

    SimulatedUsbDevice device;
    device.SetNoiseAndDrift(false);
    device.SetLoadGrams(grams);
    QSignalSpy reports(&device, &UsbDevice::OnUsb);
    Open(device, 2);
    QTRY_VERIFY(reports.count() >= 1);

    const QByteArray report = device.ReportData();
    QCOMPARE(report.size(), 9);
    QCOMPARE(std::uint8_t(report.at(0)), 0); // no numbered reports
    QCOMPARE(std::uint8_t(report.at(1)), 0xAB); // marker
    QCOMPARE(std::uint8_t(report.at(2)), 0);
    QCOMPARE(BigEndian16(report, 3), 5000);
    QCOMPARE(BigEndian16(report, 5), 20000);
    QCOMPARE(BigEndian16(report, 7), adc);
}

void TestSimulatedUsbDevice::noiseIsSmallAndRepeatable()
{
    constexpr int Reports = 40;
    constexpr int Centre = 2000; // 500 g
    QList<int> runs[2];
    for (QList<int>& run : runs) {
        SimulatedUsbDevice device;
        device.SetLoadGrams(500.0);
        connect(&device, &UsbDevice::OnUsb, this, [&run, &device] { run.append(AdcOf(device.ReportData())); });
        Open(device, 1);
        QTRY_VERIFY(run.size() >= Reports);
        run.resize(Reports);
    }
    QCOMPARE(runs[0], runs[1]);
    bool varies = false;
    for (int adc : std::as_const(runs[0])) {
        QVERIFY2(adc >= Centre - 1 && adc <= Centre + 1, qPrintable(QString::number(adc)));
        varies = varies || adc != runs[0].first();
    }
    QVERIFY2(varies, "noise switched on but every report is the same");
}

void TestSimulatedUsbDevice::reportsOnlyWhileEnabledAndAttached()
{
    SimulatedUsbDevice device;
    device.SetNoiseAndDrift(false);
    device.SetLoadGrams(100.0);
    QSignalSpy reports(&device, &UsbDevice::OnUsb);
    device.SetReportInterval(1);
    device.OpenDevice(0, 0x6323, 0x2233, u"SCALE"_s);

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

void TestSimulatedUsbDevice::opensAttachedWithoutEvents()
{
    SimulatedUsbDevice device;
    QSignalSpy arrivals(&device, &UsbDevice::Arrival);
    QSignalSpy removals(&device, &UsbDevice::Removal);
    QVERIFY(!device.IsAttached()); // nothing to talk to before it is opened
    Open(device, 100);
    QVERIFY(device.IsAttached());
    QVERIFY(device.FindDevice());
    QVERIFY(device.LastError().isEmpty());
    QCOMPARE(arrivals.count(), 0);
    QCOMPARE(removals.count(), 0);
}

void TestSimulatedUsbDevice::cableEventsOnlyOnChange()
{
    SimulatedUsbDevice device;
    Open(device, 100);
    QSignalSpy arrivals(&device, &UsbDevice::Arrival);
    QSignalSpy removals(&device, &UsbDevice::Removal);

    device.Plug(); // already in
    QCOMPARE(arrivals.count(), 0);
    device.Unplug();
    device.Unplug();
    QCOMPARE(removals.count(), 1);
    QVERIFY(!device.IsAttached());
    QVERIFY(!device.FindDevice());
    device.Plug();
    QCOMPARE(arrivals.count(), 1);
    QVERIFY(device.FindDevice());
}

void TestSimulatedUsbDevice::scenarioPlayback_data()
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
    QTest::newRow("everything at time zero") << u"0 750\n"_s << true << QStringList {u"load 750"_s, u"end"_s} << 3000;
    QTest::newRow("same load twice is one change")
        << u"0 10\n10 10\n20 0\n"_s << true << QStringList {u"load 10"_s, u"load 0"_s, u"end"_s} << 0;
}

void TestSimulatedUsbDevice::scenarioPlayback()
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
    Announcements announcements(device);
    QSignalSpy finished(&device, &SimulatedUsbDevice::ScenarioFinished);
    Open(device, 2);
    QCOMPARE(device.IsAttached(), attachedAtOpen);

    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(announcements.log, announced);
    QVERIFY(device.IsAttached());
    QTRY_COMPARE(AdcOf(device.ReportData()), finalAdc);
}

void TestSimulatedUsbDevice::scenarioFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<QString>("errorPart");

    QTest::newRow("good") << QByteArray("0 0\n10 42\n") << true << QString();
    QTest::newRow("broken line 3") << QByteArray("0 0\n# ok\n10 forty-two\n") << false << u"line 3"_s;
}

void TestSimulatedUsbDevice::scenarioFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, usable);
    QFETCH(QString, errorPart);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"demo.scenario"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    SimulatedUsbDevice device;
    device.SetNoiseAndDrift(false);
    QCOMPARE(device.LoadScenarioFile(path), usable);
    if (!usable) {
        QVERIFY2(device.LastError().contains(errorPart), qPrintable(device.LastError()));
        QVERIFY2(device.LastError().contains(path), qPrintable(device.LastError()));
        return;
    }
    QVERIFY(device.LastError().isEmpty());
    Open(device, 2);
    QTRY_COMPARE(AdcOf(device.ReportData()), 168);
}

void TestSimulatedUsbDevice::engineSettlesOnLoad_data()
{
    QTest::addColumn<int>("grams");
    QTest::addColumn<bool>("settleEvent");
    QTest::addColumn<int>("error");

    // Below 5 g the engine shows the weight but announces no settled weight.
    QTest::newRow("2 g") << 2 << false << 0;
    QTest::newRow("a letter, 23 g") << 23 << true << 0;
    QTest::newRow("250 g") << 250 << true << 0;
    QTest::newRow("1234 g") << 1234 << true << 0;
    QTest::newRow("4999 g") << 4999 << true << 0;
    QTest::newRow("over capacity") << 5100 << false << 1;
}

void TestSimulatedUsbDevice::engineSettlesOnLoad()
{
    QFETCH(int, grams);
    QFETCH(bool, settleEvent);
    QFETCH(int, error);

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
    QCOMPARE(statuses.contains(2), settleEvent);
}

QTEST_GUILESS_MAIN(TestSimulatedUsbDevice)
#include "tst_simulatedusbdevice.moc"
