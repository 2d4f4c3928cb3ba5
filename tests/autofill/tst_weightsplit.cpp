#include "WeightSplit.h"

#include <QTest>

class TestWeightSplit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void split_data();
    void split();
    void roundHalfEven_data();
    void roundHalfEven();
};

void TestWeightSplit::split_data()
{
    QTest::addColumn<double>("kg");
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("e0");
    QTest::addColumn<double>("e1");
    QTest::addColumn<double>("e2");
    QTest::addColumn<double>("e3");

    QTest::newRow("kg 3 decimals") << 1.2344 << 1 << 1.234 << 0.0 << 0.0 << 0.0;
    QTest::newRow("kg tie to even down") << 0.0005 << 1 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("kg tie to even up") << 0.0015 << 1 << 0.002 << 0.0 << 0.0 << 0.0;
    QTest::newRow("grams whole") << 1.25 << 2 << 0.0 << 1250.0 << 0.0 << 0.0;
    QTest::newRow("grams tie to even") << 0.0025 << 2 << 0.0 << 2.0 << 0.0 << 0.0;
    QTest::newRow("kg and g") << 2.3456 << 3 << 2.0 << 346.0 << 0.0 << 0.0;
    QTest::newRow("kg and g, 1.25") << 1.25 << 3 << 1.0 << 250.0 << 0.0 << 0.0;
    QTest::newRow("negative kg and g truncates toward zero") << -1.5 << 3 << -1.0 << -500.0 << 0.0 << 0.0;
    QTest::newRow("pounds 1 kg") << 1.0 << 4 << 0.0 << 0.0 << 2.205 << 0.0;
    QTest::newRow("pounds 0.5 kg") << 0.5 << 4 << 0.0 << 0.0 << 1.102 << 0.0;
    QTest::newRow("ounces 0.5 kg") << 0.5 << 8 << 0.0 << 0.0 << 0.0 << 17.6;
    QTest::newRow("lb+oz 0.5 kg") << 0.5 << 12 << 0.0 << 0.0 << 1.0 << 1.6;
    QTest::newRow("lb+oz 1 kg") << 1.0 << 12 << 0.0 << 0.0 << 2.0 << 3.3;
    QTest::newRow("lb+oz 0.2 kg") << 0.2 << 12 << 0.0 << 0.0 << 0.0 << 7.1;
    QTest::newRow("lb+oz carry of 16 oz") << 1.36 << 12 << 0.0 << 0.0 << 3.0 << 0.0;
    QTest::newRow("lb+oz just below the carry") << 1.3592 << 12 << 0.0 << 0.0 << 2.0 << 15.9;
    QTest::newRow("lb+oz zero") << 0.0 << 12 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("unknown mode 5") << 2.3456 << 5 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("unknown mode 0") << 2.3456 << 0 << 0.0 << 0.0 << 0.0 << 0.0;
}

void TestWeightSplit::split()
{
    QFETCH(double, kg);
    QFETCH(int, mode);
    const auto parts = SplitWeight(kg, mode);
    QFETCH(double, e0);
    QFETCH(double, e1);
    QFETCH(double, e2);
    QFETCH(double, e3);
    // Exact comparison on purpose: the parts must be the doubles nearest the decimal results, so
    // that a page shows them as short decimal text.
    QCOMPARE(parts[0], e0);
    QCOMPARE(parts[1], e1);
    QCOMPARE(parts[2], e2);
    QCOMPARE(parts[3], e3);
}

void TestWeightSplit::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<double>("expected");
    QTest::newRow("0.5 to even 0") << 0.5 << 0 << 0.0;
    QTest::newRow("1.5 to even 2") << 1.5 << 0 << 2.0;
    QTest::newRow("2.5 to even 2") << 2.5 << 0 << 2.0;
    QTest::newRow("-2.5 to even -2") << -2.5 << 0 << -2.0;
    QTest::newRow("1.6 up") << 1.6 << 0 << 2.0;
    QTest::newRow("0.25 one decimal") << 0.25 << 1 << 0.2;
    // Decimal ties, whichever side of the tie their binary value falls on.
    QTest::newRow("0.35 tie to even 0.4") << 0.35 << 1 << 0.4;
    QTest::newRow("0.45 tie to even 0.4") << 0.45 << 1 << 0.4;
    QTest::newRow("2.675 tie to even 2.68") << 2.675 << 2 << 2.68;
    QTest::newRow("1.2345 tie to even 1.234") << 1.2345 << 3 << 1.234;
    QTest::newRow("1.2355 tie to even 1.236") << 1.2355 << 3 << 1.236;
    QTest::newRow("just above a tie goes up") << 1.23450001 << 3 << 1.235;
    QTest::newRow("negative tie") << -0.35 << 1 << -0.4;
    QTest::newRow("2.2046 three decimals") << 2.20462 << 3 << 2.205;
}

void TestWeightSplit::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, digits);
    QFETCH(double, expected);
    QCOMPARE(RoundHalfEven(value, digits), expected);
}

QTEST_GUILESS_MAIN(TestWeightSplit)
#include "tst_weightsplit.moc"
