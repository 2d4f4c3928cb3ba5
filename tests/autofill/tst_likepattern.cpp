#include "CLikePattern.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLikePattern : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void match_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("matching");
        QTest::addColumn<QStringList>("missing");

        QTest::newRow("literal: case and length count")
            << u"abc"_s << QStringList {u"abc"_s} << QStringList {u"ABC"_s, u"abcd"_s};
        QTest::newRow("empty both") << QString() << QStringList {QString()} << QStringList();
        QTest::newRow("star matches empty") << u"*"_s << QStringList {QString()} << QStringList();
        QTest::newRow("star backtracks") << u"a*bc"_s << QStringList {u"aXbXbc"_s} << QStringList();
        QTest::newRow("question: exactly one char") << u"a?c"_s << QStringList {u"abc"_s} << QStringList {u"ac"_s};
        QTest::newRow("hash: a digit, 0 to 9")
            << u"a#c"_s << QStringList {u"a0c"_s, u"a9c"_s} << QStringList {u"abc"_s, u"a/c"_s, u"a:c"_s};
        QTest::newRow("class") << u"[abc]"_s << QStringList {u"b"_s} << QStringList {u"d"_s};
        QTest::newRow("range is case-sensitive") << u"[a-z]"_s << QStringList {u"m"_s} << QStringList {u"M"_s};
        QTest::newRow("negated class") << u"[!abc]"_s << QStringList {u"d"_s} << QStringList {u"a"_s};
        QTest::newRow("wildcards inside a class are literal")
            << u"[*?#]"_s << QStringList {u"*"_s} << QStringList {u"x"_s};
        QTest::newRow("question mark in address matches itself")
            << u"*https://ircalc.usps.com/weight.asp?Contents=0*"_s
            << QStringList {u"https://ircalc.usps.com/weight.asp?Contents=0"_s}
            << QStringList {u"https://ircalc.usps.com/weight.asp?Contents=1"_s};
        // A pattern that is not one never matches, not even its own text.
        QTest::newRow("unclosed class") << u"*abc[de*"_s << QStringList() << QStringList {u"*abc[de*"_s, QString()};
        QTest::newRow("backwards range") << u"[z-a]"_s << QStringList() << QStringList {u"[z-a]"_s, u"m"_s};
        QTest::newRow("non-latin text") << u"Gr?ße"_s << QStringList {u"Grüße"_s} << QStringList();
    }

    void match()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, matching);
        QFETCH(QStringList, missing);
        for (const QString& text : matching)
            QVERIFY2(CLikePattern::Like(text, pattern), qPrintable(text));
        for (const QString& text : missing)
            QVERIFY2(!CLikePattern::Like(text, pattern), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestLikePattern)
#include "tst_likepattern.moc"
