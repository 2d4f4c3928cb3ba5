// A list position stored as settings text, selected on a page: what each form of the text selects.
#include "CFormField.h"
#include "FakeDocument.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestFormField : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void selectStored_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("writes"); // none: refused
        // What a page itself makes of an empty position: its first item.
        QTest::newRow("empty: the first item") << QString() << QStringList {u"box.selectedIndex=0"_s};
        QTest::newRow("blanks: the first item") << u"  "_s << QStringList {u"box.selectedIndex=0"_s};
        QTest::newRow("number in blanks") << u" 3 "_s << QStringList {u"box.selectedIndex=3"_s};
        QTest::newRow("half to even") << u"2.5"_s << QStringList {u"box.selectedIndex=2"_s};
        QTest::newRow("a word") << u"abc"_s << QStringList();
    }
    void selectStored()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, writes);
        QStringList log;
        FakeDocument page(&log);
        page.Add(u"box"_s);
        QCOMPARE(CFormField::SelectStored(&page, u"box"_s, stored), !writes.isEmpty());
        QCOMPARE(log, writes);
        QVERIFY(!CFormField::SelectStored(&page, u"gone"_s, stored));
    }
};

QTEST_GUILESS_MAIN(TestFormField)
#include "tst_formfield.moc"
