#include "WeightSplit.h"

#include <QTest>

class TestWeightSplit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void split_data()
    {
        QTest::addColumn<double>("kg");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<double>>("parts"); // kg, g, lb, oz

        QTest::newRow("kg tie to even down") << 0.0625 << 1 << QList<double> {0.062, 0.0, 0.0, 0.0};
        QTest::newRow("kg tie to even up") << 0.0015 << 1 << QList<double> {0.002, 0.0, 0.0, 0.0};
        QTest::newRow("grams whole") << 1.25 << 2 << QList<double> {0.0, 1250.0, 0.0, 0.0};
        QTest::newRow("grams tie to even") << 0.0025 << 2 << QList<double> {0.0, 2.0, 0.0, 0.0};
        QTest::newRow("kg and g") << 2.3456 << 3 << QList<double> {2.0, 346.0, 0.0, 0.0};
        QTest::newRow("negative kg and g truncates toward zero") << -1.5 << 3 << QList<double> {-1.0, -500.0, 0.0, 0.0};
        QTest::newRow("pounds 1 kg") << 1.0 << 4 << QList<double> {0.0, 0.0, 2.205, 0.0};
        QTest::newRow("ounces 0.5 kg") << 0.5 << 8 << QList<double> {0.0, 0.0, 0.0, 17.6};
        QTest::newRow("lb+oz 0.5 kg") << 0.5 << 12 << QList<double> {0.0, 0.0, 1.0, 1.6};
        QTest::newRow("lb+oz carry of 16 oz") << 1.36 << 12 << QList<double> {0.0, 0.0, 3.0, 0.0};
        QTest::newRow("lb+oz just below the carry") << 1.3592 << 12 << QList<double> {0.0, 0.0, 2.0, 15.9};
        QTest::newRow("negative lb+oz") << -1.0 << 12 << QList<double> {0.0, 0.0, -2.0, -3.3};
        QTest::newRow("negative -16.0 oz is not carried") << -0.907 << 12 << QList<double> {0.0, 0.0, -1.0, -16.0};
        QTest::newRow("unknown mode 5") << 2.3456 << 5 << QList<double> {0.0, 0.0, 0.0, 0.0};
    }

    void split()
    {
        QFETCH(double, kg);
        QFETCH(int, mode);
        const auto parts = SplitWeight(kg, mode);
        // Exact comparison on purpose: the parts must be the doubles nearest the decimal results, so
        // that a page shows them as short decimal text.
        QTEST(QList<double>(parts.begin(), parts.end()), "parts");
    }
};

QTEST_GUILESS_MAIN(TestWeightSplit)
#include "tst_weightsplit.moc"
