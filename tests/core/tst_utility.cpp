#include "Utility.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestUtility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addPathSep_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << u"/opt/pesavo"_s << u"/opt/pesavo/"_s;
        QTest::newRow("several") << u"/opt/pesavo///"_s << u"/opt/pesavo/"_s;
        QTest::newRow("root") << u"/"_s << u"/"_s;
        QTest::newRow("empty") << QString() << u"/"_s;
        QTest::newRow("inner separators kept") << u"a//b"_s << u"a//b/"_s;
    }
    void addPathSep()
    {
        QFETCH(QString, path);
        QTEST(Utility::AddPathSep(path), "expected");
    }

    void roundDigits_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<double>("expected");
        QTest::newRow("half to even, down") << 2.5 << 0 << 2.0;
        QTest::newRow("half to even, up") << 3.5 << 0 << 4.0;
        QTest::newRow("negative half") << -2.5 << 0 << -2.0;
        QTest::newRow("2.675 is below the tie") << 2.675 << 2 << 2.67;
        QTest::newRow("exact tie 0.125") << 0.125 << 2 << 0.12;
        QTest::newRow("exact tie 0.375") << 0.375 << 2 << 0.38;
        QTest::newRow("0.45 is above the tie") << 0.45 << 1 << 0.5;
        QTest::newRow("negative digits clamp to 0") << 7.5 << -2 << 8.0;
        QTest::newRow("huge unchanged") << 1e300 << 0 << 1e300;
    }
    void roundDigits()
    {
        QFETCH(double, value);
        QFETCH(int, digits);
        QTEST(Utility::RoundDigits(value, digits), "expected");
    }

    void origin_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("origin");
        QTest::newRow("https, its port written out")
            << u"https://Shop.Example.test/a?b#c"_s << u"https://shop.example.test:443"_s;
        QTest::newRow("http with a port") << u"http://shop.example.test:8080/"_s << u"http://shop.example.test:8080"_s;
        QTest::newRow("file") << u"file:///home/u/page.html"_s << u"file://"_s;
        QTest::newRow("no host") << u"about:blank"_s << QString();
    }
    void origin()
    {
        QFETCH(QString, url);
        QFETCH(QString, origin);
        QCOMPARE(Utility::OriginOf(url), origin);
    }
};

QTEST_GUILESS_MAIN(TestUtility)
#include "tst_utility.moc"
