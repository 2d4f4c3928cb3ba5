#include "CChoiceLists.h"

#include <QTest>

using namespace Qt::StringLiterals;
using List = CChoiceLists::List;

Q_DECLARE_METATYPE(CChoiceLists::List)

class tst_ChoiceLists : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A stored position names the option at the same place on the carrier's form: the count, the entry
    // that anchors each list and its last entry must be exact.
    void countsAndTellingPositions_data()
    {
        QTest::addColumn<List>("list");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("last");
        QTest::newRow("FedEx") << List::FedExCountries << 194 << 179 << u"U.S.A."_s << u"Zimbabwe"_s;
        QTest::newRow("UPS origin") << List::UpsOriginCountries << 207 << 194 << u"UNITED STATES*"_s << u"ZIMBABWE"_s;
        QTest::newRow("UPS destination") << List::UpsDestinationCountries << 242 << 225 << u"UNITED STATES*"_s
                                         << u"ZIMBABWE"_s;
        QTest::newRow("currencies") << List::UpsCurrencies << 147 << 130 << u"USD US Dollar"_s
                                    << u"ZWD Zimbabwe Dollar"_s;
        QTest::newRow("DHL") << List::DhlCountries << 283 << 267 << u"United States Of America"_s << u"Zimbabwe"_s;
        QTest::newRow("USPS") << List::UspsCountries << 795 << 0 << u"Select a Country"_s << u"Zimbabwe"_s;
    }
    void countsAndTellingPositions()
    {
        QFETCH(List, list);
        QFETCH(int, position);
        const QStringList& entries = CChoiceLists::Entries(list);
        QTEST(int(entries.size()), "count");
        QTEST(entries.value(position), "entry");
        QTEST(entries.value(entries.size() - 1), "last");
    }

    // The data file's lines are read as they stand: no trimming, no folding of look-alike entries.
    void entriesKeptAsTheFormsHaveThem()
    {
        const QStringList& dhl = CChoiceLists::Entries(List::DhlCountries);
        const qsizetype antilles = dhl.indexOf(u"Netherlands Antilles"_s);
        QVERIFY(antilles > 0);
        QCOMPARE(dhl.mid(antilles, 3),
                 QStringList({u"Netherlands Antilles"_s, u"Netherlands Antilles."_s, u"Netherlands Antilles.."_s}));
        QVERIFY(CChoiceLists::Entries(List::UpsOriginCountries).contains(u"ALGERIA*"_s));
        QVERIFY(CChoiceLists::Entries(List::UspsCountries).contains(u"Cocos Island "_s));
    }
};

QTEST_GUILESS_MAIN(tst_ChoiceLists)
#include "tst_choicelists.moc"
