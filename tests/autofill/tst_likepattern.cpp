#include "CLikePattern.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLikePattern : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void match_data();
    void match();
    void invalid_data();
    void invalid();
};

void TestLikePattern::match_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matches");

    QTest::newRow("literal") << u"abc"_s << u"abc"_s << true;
    QTest::newRow("literal is case-sensitive") << u"abc"_s << u"ABC"_s << false;
    QTest::newRow("literal longer text") << u"abcd"_s << u"abc"_s << false;
    QTest::newRow("empty both") << QString() << QString() << true;
    QTest::newRow("star matches empty") << QString() << u"*"_s << true;
    QTest::newRow("star in the middle") << u"abXYZc"_s << u"ab*c"_s << true;
    QTest::newRow("star backtracks") << u"aXbXbc"_s << u"a*bc"_s << true;
    QTest::newRow("many stars") << u"abc"_s << u"***a**c**"_s << true;
    QTest::newRow("question one char") << u"abc"_s << u"a?c"_s << true;
    QTest::newRow("question needs a char") << u"ac"_s << u"a?c"_s << false;
    QTest::newRow("hash digit") << u"a7c"_s << u"a#c"_s << true;
    QTest::newRow("hash not a letter") << u"abc"_s << u"a#c"_s << false;
    QTest::newRow("class") << u"b"_s << u"[abc]"_s << true;
    QTest::newRow("class miss") << u"d"_s << u"[abc]"_s << false;
    QTest::newRow("range") << u"m"_s << u"[a-z]"_s << true;
    QTest::newRow("range is case-sensitive") << u"M"_s << u"[a-z]"_s << false;
    QTest::newRow("two ranges") << u"Q"_s << u"[a-zA-Z]"_s << true;
    QTest::newRow("negated class") << u"d"_s << u"[!abc]"_s << true;
    QTest::newRow("negated class miss") << u"a"_s << u"[!abc]"_s << false;
    QTest::newRow("negated range") << u"5"_s << u"[!a-z]"_s << true;
    QTest::newRow("dash first is literal") << u"-"_s << u"[-a]"_s << true;
    QTest::newRow("dash last is literal") << u"-"_s << u"[a-]"_s << true;
    QTest::newRow("bang later is literal") << u"!"_s << u"[a!]"_s << true;
    QTest::newRow("special chars inside class") << u"*"_s << u"[*?#]"_s << true;
    QTest::newRow("class does not take star as wildcard") << u"x"_s << u"[*?#]"_s << false;
    QTest::newRow("empty class matches nothing") << u"ab"_s << u"a[]b"_s << true;
    QTest::newRow("question mark in address matches itself")
        << u"https://ircalc.usps.com/weight.asp?Contents=0"_s << u"*https://ircalc.usps.com/weight.asp?Contents=0*"_s
        << true;
    QTest::newRow("envelope address against package page")
        << u"https://ircalc.usps.com/weight.asp?Contents=1"_s << u"*https://ircalc.usps.com/weight.asp?Contents=0*"_s
        << false;
    QTest::newRow("address with more query after") << u"https://ircalc.usps.com/weight.asp?Contents=1&x=2"_s
                                                   << u"*https://ircalc.usps.com/weight.asp?Contents=1*"_s << true;
    QTest::newRow("non-latin text") << u"Grüße"_s << u"Gr?ße"_s << true;
}

void TestLikePattern::match()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(bool, matches);
    const CLikePattern like(pattern);
    QVERIFY(like.IsValid());
    QCOMPARE(like.Matches(text), matches);
}

void TestLikePattern::invalid_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::newRow("unclosed class") << u"*abc[de*"_s;
    QTest::newRow("backwards range") << u"[z-a]"_s;
}

void TestLikePattern::invalid()
{
    QFETCH(QString, pattern);
    const CLikePattern like(pattern);
    QVERIFY(!like.IsValid());
    // An invalid pattern never matches, not even its own text.
    QVERIFY(!like.Matches(pattern));
    QVERIFY(!CLikePattern::Like(QString(), pattern));
}

QTEST_GUILESS_MAIN(TestLikePattern)
#include "tst_likepattern.moc"
