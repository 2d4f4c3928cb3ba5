#include "IniValue.h"

#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

class TestIniValue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        constexpr double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("word") << u"abc"_s << 0.0;
        QTest::newRow("negative leading point") << u"-.5"_s << -0.5;
        QTest::newRow("trailing point") << u"5."_s << 5.0;
        QTest::newRow("leading blanks") << u"  \t12"_s << 12.0;
        QTest::newRow("trailing text") << u"12kg"_s << 12.0;
        QTest::newRow("second point ends") << u"1.2.3"_s << 1.2;
        QTest::newRow("comma is not a decimal point") << u"1,5"_s << 1.0;
        QTest::newRow("exponent") << u"3e2"_s << 300.0;
        QTest::newRow("negative exponent") << u"25E-1"_s << 2.5;
        QTest::newRow("exponent without digits") << u"3e"_s << 3.0;
        QTest::newRow("sign alone") << u"-"_s << 0.0;
        QTest::newRow("too large: infinite") << u"1e400"_s << inf;
    }
    void toNumber()
    {
        QFETCH(QString, text);
        QTEST(IniValue::ToNumber(text), "expected");
    }

    void toInt16_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -100000 for "does not fit"
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("half down to even") << u"2.5"_s << 2;
        QTest::newRow("half up to even") << u"3.5"_s << 4;
        QTest::newRow("minimum") << u"-32768"_s << -32768;
        QTest::newRow("rounds to maximum") << u"32767.4"_s << 32767;
        QTest::newRow("rounds past maximum") << u"32767.5"_s << -100000;
        QTest::newRow("too small") << u"-32769"_s << -100000;
        QTest::newRow("rounds to minimum") << u"-32768.5"_s << -32768;
        QTest::newRow("infinite") << u"1e400"_s << -100000;
    }
    void toInt16()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const std::optional<qint16> value = IniValue::ToInt16(text);
        QCOMPARE(value ? int(*value) : -100000, expected);
    }

    void flags_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("zero point zero") << u"0.0"_s << false;
        QTest::newRow("one") << u"1"_s << true;
        QTest::newRow("fraction") << u"0.25"_s << true;
        QTest::newRow("word true is not a number") << u"true"_s << false;
    }
    void flags()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        QCOMPARE(IniValue::ToFlag(text), expected);
        // Written back, a flag is always 1 or 0 and reads the same.
        const QString written = IniValue::FromFlag(expected);
        QCOMPARE(written, expected ? u"1"_s : u"0"_s);
        QCOMPARE(IniValue::ToFlag(written), expected);
    }
};

QTEST_GUILESS_MAIN(TestIniValue)
#include "tst_inivalue.moc"
