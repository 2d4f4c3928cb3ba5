#include "CScaleCalc.h"
#include "ManualTickTimer.h"
#include "ScaleReports.h"

#include <QTest>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// An engine on a hand-driven clock that records its events in order.
struct Rig
{
    ManualTickTimer timer;
    CScaleCalc calc {timer};
    std::vector<std::pair<char, int>> events; // ('s', status) or ('e', error)
    std::int64_t now = 0;

    Rig()
    {
        calc.StatusChange = std::bind_front(&Rig::record, this, 's');
        calc.ScaleError = std::bind_front(&Rig::record, this, 'e');
    }
    void record(char kind, std::int32_t& code) { events.emplace_back(kind, code); }

    // One report every 100 ms, like the scale.
    void feed(int adc, int n = 1, int calLoad = 5000, int calCount = 20000)
    {
        for (int i = 0; i < n; ++i) {
            now += 100;
            timer.AdvanceTo(now);
            const auto r = scaleReport(adc, calLoad, calCount);
            calc.NewData(r);
            calc.Weight(); // the main window reads it after every report
        }
    }
    void makeReady(int adc = 0, int calLoad = 5000, int calCount = 20000)
    {
        feed(adc, CScaleCalc::InitCntNeeded, calLoad, calCount);
        events.clear();
    }
    int count(char kind, int code) const { return int(std::ranges::count(events, std::pair(kind, code))); }
};

} // namespace

class TestCScaleCalc : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void ignoredReports_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::newRow("other marker") << QByteArray::fromHex("00AC0013884E200064");
        QTest::newRow("eight bytes") << QByteArray::fromHex("00AB0013884E2000");
        QTest::newRow("empty") << QByteArray();
    }

    void ignoredReports()
    {
        QFETCH(QByteArray, report);
        Rig rig;
        rig.calc.NewData(std::span(reinterpret_cast<const std::uint8_t*>(report.constData()), report.size()));
        QCOMPARE(rig.calc.InitCnt, 0);
        QCOMPARE(rig.calc.Factor(), 0.0);
        QVERIFY(rig.events.empty());
    }

    void calibrationUntilRestart()
    {
        Rig rig;
        rig.feed(-200); // the first report calibrates
        QCOMPARE(rig.calc.Factor(), 25.0);
        QCOMPARE(rig.calc.OverloadRef(), -195000);
        QCOMPARE(rig.calc.RawWeight(), -5000);
        rig.feed(4000, 20); // 1 kg
        // Another calibration does not change it until a restart.
        rig.feed(4000, 1, 2500, 20000);
        QCOMPARE(rig.calc.Factor(), 25.0);
        rig.events.clear();
        rig.calc.InitCnt = 0;
        rig.feed(4000, 1, 2500, 20000); // the scale came back with half the calibration
        QCOMPARE(rig.events.front(), std::make_pair('s', 0));
        QCOMPARE(rig.calc.Factor(), 12.5);
        rig.feed(4000, 15, 2500, 20000);
        QCOMPARE(rig.events.back(), std::make_pair('s', 1));
        QCOMPARE(rig.calc.ZeroPoint(), 50000); // the load present at the restart is tared away
    }

    void startUpTareAndHold()
    {
        Rig rig;
        rig.feed(400); // 100 g on the platform from the start
        QCOMPARE(rig.events, (std::vector<std::pair<char, int>> {{'s', 0}}));
        rig.feed(400, 14);
        QCOMPARE(rig.calc.InitCnt, 15);
        QCOMPARE(rig.events.size(), std::size_t(1));
        // Not ready yet: tare and hold are refused.
        rig.calc.Tare();
        QCOMPARE(rig.calc.ZeroPoint(), 0);
        rig.calc.SetHold(true);
        QVERIFY(!rig.calc.Hold());
        rig.feed(400);
        QCOMPARE(rig.events.back(), std::make_pair('s', 1));
        QCOMPARE(rig.calc.InitCnt, 16);
        // The sixteenth report tares: the load present at start-up becomes zero.
        QCOMPARE(rig.calc.ZeroPoint(), 10000);
        QCOMPARE(rig.calc.Weight(), 0.0);
        rig.feed(800); // 100 g more
        QCOMPARE(rig.calc.Weight(), 0.1);
        rig.feed(1400, 3); // 250 g
        rig.calc.SetHold(true);
        QVERIFY(rig.calc.Hold());
        rig.feed(2400, 5);
        QCOMPARE(rig.calc.Weight(), 0.25);
        rig.feed(400, 5);
        QCOMPARE(rig.calc.Weight(), 0.25);
        rig.calc.SetHold(false);
        QVERIFY(!rig.calc.Hold());
        QCOMPARE(rig.calc.Weight(), 0.0);
    }

    void loadStepJumpsWithoutAveraging()
    {
        Rig rig;
        rig.makeReady();
        rig.feed(1000); // 250 g
        QCOMPARE(rig.calc.WeightGrams(), 250);
        rig.feed(1020); // +5 g is a jump too
        QCOMPARE(rig.calc.WeightGrams(), 255);
        rig.feed(1000, 10);
        QCOMPARE(rig.calc.WeightGrams(), 250);
        rig.feed(1012); // +3 g is noise: it is averaged in, and a stable reading holds
        QCOMPARE(rig.calc.WeightGrams(), 250);
    }

    void roundsToWholeGramsHalfEven_data()
    {
        // 1 cg per count: CalLoad 1 g over CalCount 100 counts.
        QTest::addColumn<int>("centigrams");
        QTest::addColumn<double>("kilograms");
        QTest::newRow("123.5 g") << 12350 << 0.124;
        QTest::newRow("124.5 g") << 12450 << 0.124;
        QTest::newRow("-0.49 g") << -49 << 0.0;
        QTest::newRow("-0.5 g") << -50 << 0.0; // outside the near-zero band, -0.5 rounds to even 0
        QTest::newRow("-0.6 g") << -60 << -0.001;
        QTest::newRow("-1.5 g") << -150 << -0.002;
    }

    void roundsToWholeGramsHalfEven()
    {
        QFETCH(int, centigrams);
        Rig rig;
        rig.makeReady(0, 1, 100);
        // Reach the level through a jump, so the filters take it exactly rather than
        // averaging towards it (a stable reading would freeze on the way).
        rig.feed(5000, 1, 1, 100);
        // Two reports: near zero, a third would start moving the zero point.
        rig.feed(centigrams, 2, 1, 100);
        QCOMPARE(rig.calc.NetWeight(), centigrams);
        QTEST(rig.calc.Weight(), "kilograms");
    }

    void zeroTracking_data()
    {
        QTest::addColumn<int>("drift"); // cg, at 1 cg per count
        QTest::addColumn<bool>("absorbed");
        QTest::newRow("0.2 g drift") << 20 << true;
        QTest::newRow("-0.2 g drift") << -20 << true;
        QTest::newRow("0.05 g drift") << 5 << false;
        QTest::newRow("1 g load") << 100 << false;
    }

    void zeroTracking()
    {
        QFETCH(int, drift);
        QFETCH(bool, absorbed);
        Rig rig;
        rig.makeReady(0, 1, 100);
        rig.feed(drift, 25, 1, 100);
        QCOMPARE(rig.calc.ZeroPoint(), 0); // not before the slow filter is full
        rig.feed(drift, 60, 1, 100);
        if (absorbed) {
            QVERIFY(qAbs(rig.calc.ZeroPoint()) >= 11);
            QVERIFY(qAbs(rig.calc.ZeroPoint() - drift) <= 10);
        } else {
            QCOMPARE(rig.calc.ZeroPoint(), 0);
        }
    }

    void stableRule_data()
    {
        QTest::addColumn<int>("counts"); // 25 cg per count
        QTest::addColumn<int>("needed"); // steady reports that make it stable; 0: never stable
        QTest::newRow("0.5 kg") << 2000 << 3;
        QTest::newRow("0.50025 kg") << 2001 << 4;
        QTest::newRow("1.49975 kg") << 5999 << 4;
        QTest::newRow("1.5 kg") << 6000 << 5;
        QTest::newRow("2.5 kg") << 10000 << 5;
        QTest::newRow("2.50025 kg") << 10001 << 6;
        // One gram either way is too close to call; two grams below zero is a reading like any other.
        QTest::newRow("+1 g never") << 4 << 0;
        QTest::newRow("-1 g never") << -4 << 0;
        QTest::newRow("-2 g") << -8 << 3;
    }

    void stableRule()
    {
        QFETCH(int, counts);
        QFETCH(int, needed);
        Rig rig;
        rig.makeReady();
        rig.feed(1000, 10); // from 250 g, so every level is reached at once, by a jump
        rig.feed(counts, 30);
        QCOMPARE(rig.calc.WeightGrams(), qRound(counts / 4.0));
        QCOMPARE(rig.calc.IsStable(), needed > 0);
        if (needed > 0) {
            QCOMPARE(rig.calc.StableNeeded(), needed);
            QCOMPARE(rig.calc.StableCnt(), needed); // never counts past the need
        }
    }

    void capacityAndOverloadDebounce()
    {
        Rig rig;
        rig.makeReady();
        rig.feed(20400); // 5.1 kg: first sighting only
        QVERIFY(rig.events.empty());
        rig.feed(20400, 3);
        QCOMPARE(rig.events, (std::vector<std::pair<char, int>> {{'e', 1}}));
        rig.feed(26000); // overload: passes through 0 on its first sighting
        rig.feed(26000, 2);
        QCOMPARE(rig.events, (std::vector<std::pair<char, int>> {{'e', 1}, {'e', 0}, {'e', 2}}));
        rig.feed(0);
        QCOMPARE(rig.events.back(), std::make_pair('e', 0));
        QCOMPARE(rig.calc.ErrState(), 0);
    }

    // A single report beyond a limit, then back: the first sighting is forgotten, so spikes never add up.
    void spikesRaiseNothing_data()
    {
        QTest::addColumn<int>("counts");
        QTest::newRow("over capacity") << 20400;
        QTest::newRow("overload") << 26000;
    }

    void spikesRaiseNothing()
    {
        QFETCH(int, counts);
        Rig rig;
        rig.makeReady();
        for (int i = 0; i < 3; ++i) {
            rig.feed(counts);
            rig.feed(0);
        }
        QVERIFY(rig.events.empty());
    }

    void settleTimer_data()
    {
        QTest::addColumn<int>("counts");
        QTest::addColumn<int>("changeAfterMs"); // 0: left alone
        QTest::addColumn<int>("changeTo");
        QTest::addColumn<bool>("settles");
        QTest::newRow("250 g settles") << 1000 << 0 << 0 << true;
        QTest::newRow("4 g never arms") << 16 << 0 << 0 << false;
        QTest::newRow("5 g arms") << 20 << 0 << 0 << true;
        QTest::newRow("changed before 2 s") << 1000 << 1500 << 2000 << false;
        QTest::newRow("taken off before 2 s") << 1000 << 1000 << 0 << false;
        QTest::newRow("changed by 4 g only") << 1000 << 1000 << 1016 << true;
        QTest::newRow("changed by 5 g") << 1000 << 1000 << 1020 << false;
    }

    void settleTimer()
    {
        QFETCH(int, counts);
        QFETCH(int, changeAfterMs);
        QFETCH(int, changeTo);
        QFETCH(bool, settles);
        Rig rig;
        rig.makeReady();
        // Feed until the timer arms (the reading becomes stable); below 5 g it never does.
        for (int i = 0; i < 60 && !rig.timer.IsArmed(); ++i)
            rig.feed(counts);
        QCOMPARE(rig.timer.IsArmed(), counts > 16);
        if (counts == 16) {
            QCOMPARE(rig.count('s', 2), 0);
            return;
        }
        const std::int64_t due = rig.timer.DueAt();
        QCOMPARE(due - rig.now, 2000);
        for (int t = 100; t <= 1900; t += 100)
            rig.feed(changeAfterMs && t >= changeAfterMs ? changeTo : counts);
        QCOMPARE(rig.count('s', 2), 0);
        rig.feed(changeAfterMs ? changeTo : counts, 2);
        QCOMPARE(rig.count('s', 2), settles ? 1 : 0);
        QVERIFY(rig.now >= due);
    }

    void zeroCalCountKeepsPreviousCalibration()
    {
        Rig rig;
        rig.feed(1000, 1, 5000, 0);
        QVERIFY(rig.events.empty()); // no StatusChange 0: the rest of the set-up was skipped
        QCOMPARE(rig.calc.InitCnt, 1);
        QCOMPARE(rig.calc.Factor(), 0.0);
        rig.feed(1000, 15, 5000, 0);
        QCOMPARE(rig.events, (std::vector<std::pair<char, int>> {{'s', 1}}));
        rig.feed(1000, 5, 5000, 0);
        QCOMPARE(rig.calc.Weight(), 0.0);
    }

    void overflowIsSkippedNotWrapped()
    {
        Rig rig;
        // 100 * 32767 / 1 cg per count: 32767 counts would be about 1.07e11 cg.
        rig.feed(32767, 1, 32767, 1);
        QCOMPARE(rig.calc.Factor(), 3276700.0);
        QCOMPARE(rig.calc.RawWeight(), 0); // the overflowing conversion was skipped
        rig.feed(-32768, 20, 32767, 1);
        rig.feed(32767, 20, 32767, 1);
        QVERIFY(rig.calc.InitCnt == 16);
        // Whatever the engine reads here, it stays inside 32 bits and keeps running.
        rig.calc.Weight();
    }
};

QTEST_GUILESS_MAIN(TestCScaleCalc)
#include "tst_cscalecalc.moc"
