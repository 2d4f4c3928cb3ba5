#include "CFilter.h"

#include <QTest>

using Samples = QList<int>;
Q_DECLARE_METATYPE(Samples)

class TestCFilter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void averages_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("start");
        QTest::addColumn<Samples>("samples");
        QTest::addColumn<Samples>("outputs");

        // The start value counts as the first sample.
        QTest::newRow("create counts start") << 4 << 0 << Samples {10} << Samples {5};
        // Plain average while filling, sliding average once full.
        QTest::newRow("fill then slide") << 4 << 100 << Samples {200, 300, 400, 500} << Samples {150, 200, 250, 350};
        // Integer division truncates toward zero.
        QTest::newRow("negative truncates") << 4 << -3 << Samples {-4} << Samples {-3};
        QTest::newRow("mixed signs") << 2 << -5 << Samples {2, -2} << Samples {-1, 0};
    }

    void averages()
    {
        QFETCH(int, length);
        QFETCH(int, start);
        QFETCH(Samples, samples);
        QFETCH(Samples, outputs);
        CFilter f;
        f.Create(length, start);
        for (qsizetype i = 0; i < samples.size(); ++i) {
            f.DataFilter(samples[i]);
            QCOMPARE(f.Value, outputs[i]);
        }
    }

    void fillingClearsAfterFullRing()
    {
        CFilter f;
        f.Create(8, 0);
        f.FillBuffer(7);
        for (int i = 1; i <= 6; ++i) {
            f.DataFilter(7);
            QVERIFY2(f.Filling, qPrintable(QString::number(i)));
        }
        f.DataFilter(7); // the eighth sample since the restart
        QVERIFY(!f.Filling);
        QCOMPARE(f.Index, 0);
        QCOMPARE(f.Sum, 56);
        QCOMPARE(f.Value, 7);
    }

    void overflowingSumIsSkipped()
    {
        CFilter f;
        f.Create(4, 2'000'000'000);
        f.DataFilter(2'000'000'000); // the sum would not fit: that step is skipped, the rest runs
        QCOMPARE(f.Sum, 2'000'000'000);
        QCOMPARE(f.Index, 2);
        QCOMPARE(f.Buffer()[1], 2'000'000'000);
        QCOMPARE(f.Value, 1'000'000'000);
    }
};

QTEST_GUILESS_MAIN(TestCFilter)
#include "tst_cfilter.moc"
