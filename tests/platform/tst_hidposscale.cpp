#include "HidPosScale.h"
#include "SimulatedUsbDevice.h"

#include <QTest>

#include <climits>

namespace {

constexpr int Ignored = INT_MIN;
QByteArray Pos(int id, int status, int unit, int exponent, int weight)
{
    return HidPosScale::MakeReport(id, status, unit, exponent, weight);
}

} // namespace

class TestHidPosScale final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void translate_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<int>("count");

        using S = HidPosScale;
        QTest::newRow("grams") << Pos(3, S::Stable, S::Gram, 0, 250) << 1000;
        // 16.0 oz = 453.592 g; the exponent byte 0xFF is -1.
        QTest::newRow("tenths of an ounce") << Pos(3, S::Stable, S::Ounce, -1, 160) << 1814;
        QTest::newRow("report id 9, hundredths of a pound, in motion")
            << Pos(9, S::InMotion, S::Pound, -2, 150) << 2722;
        QTest::newRow("weight above 32767 in the unsigned field") << Pos(3, S::Stable, S::Milligram, 0, 40000) << 160;
        QTest::newRow("without report ids") << Pos(0, S::Stable, S::Gram, 0, 5) << 20;
        QTest::newRow("under zero reads negative") << Pos(3, S::UnderZero, S::Gram, 0, 12) << -48;
        QTest::newRow("stable at zero is zero") << Pos(3, S::StableAtZero, S::Gram, 0, 7) << 0;
        QTest::newRow("beyond the count range is clamped") << Pos(3, S::Stable, S::Gram, 1, 60000) << 32767;
        QTest::newRow("over weight saturates") << Pos(3, S::OverWeight, S::Gram, 0, 0) << 32767;
        QTest::newRow("fault saturates") << Pos(3, S::Fault, 0, 0, 0) << 32767;
        QTest::newRow("needs re-zeroing saturates") << Pos(3, S::NeedsRezero, S::Gram, 0, 100) << 32767;
        QTest::newRow("all zeros are no stable 0") << Pos(3, 0, 0, 0, 0) << Ignored;
        QTest::newRow("unknown status") << Pos(3, 9, S::Gram, 0, 100) << Ignored;
        QTest::newRow("unknown unit") << Pos(3, S::Stable, 5, 0, 100) << Ignored;
        QTest::newRow("absurd exponent") << Pos(3, S::Stable, S::Gram, 100, 1) << Ignored;
        QTest::newRow("another report") << Pos(4, S::Stable, S::Gram, 0, 100) << Ignored;
        QTest::newRow("cut short") << Pos(3, S::Stable, S::Gram, 0, 100).left(5) << Ignored;
    }

    void translate()
    {
        QFETCH(QByteArray, report);
        QFETCH(int, count);

        HidPosScale scale;
        // The first report after opening is stale (the hotplug test walks that through a real device).
        scale.Translate(Pos(3, HidPosScale::Stable, HidPosScale::Gram, 0, 1));
        // Our scale's report at the engine's quarter gram a count, or none at all.
        QCOMPARE(scale.Translate(report),
                 count == Ignored ? QByteArray() : SimulatedUsbDevice::MakeReport(5000, 20000, count));
    }
};

QTEST_GUILESS_MAIN(TestHidPosScale)
#include "tst_hidposscale.moc"
