#include "CChoiceLists.h"

#include <QTest>

using namespace Qt::StringLiterals;
using List = CChoiceLists::List;

Q_DECLARE_METATYPE(CChoiceLists::List)

class tst_ChoiceLists : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A stored position names the option at the same place on the carrier's form: the
    // count and the entries that anchor each list must be exact.
    void countsAndTellingPositions_data()
    {
        QTest::addColumn<List>("list");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("FedEx") << List::FedExCountries << 194 << 179 << u"U.S.A."_s << u"Albania"_s << u"Zimbabwe"_s;
        QTest::newRow("UPS origin") << List::UpsOriginCountries << 207 << 194 << u"UNITED STATES*"_s << u"ALBANIA"_s
                                    << u"ZIMBABWE"_s;
        QTest::newRow("UPS destination") << List::UpsDestinationCountries << 242 << 225 << u"UNITED STATES*"_s
                                         << u"ALBANIA"_s << u"ZIMBABWE"_s;
        QTest::newRow("currencies") << List::UpsCurrencies << 147 << 130 << u"USD US Dollar"_s << u"AED Uae Dirham"_s
                                    << u"ZWD Zimbabwe Dollar"_s;
        QTest::newRow("DHL") << List::DhlCountries << 283 << 267 << u"United States Of America"_s << u"Afghanistan"_s
                             << u"Zimbabwe"_s;
        QTest::newRow("USPS") << List::UspsCountries << 795 << 0 << u"Select a Country"_s << u"Select a Country"_s
                              << u"Zimbabwe"_s;
    }
    void countsAndTellingPositions()
    {
        QFETCH(List, list);
        QFETCH(int, position);
        const QStringList& entries = CChoiceLists::Entries(list);
        QTEST(int(entries.size()), "count");
        QTEST(entries.value(position), "entry");
        QTEST(entries.value(0), "first");
        QTEST(entries.value(entries.size() - 1), "last");
    }

    void entriesKeptAsTheFormsHaveThem()
    {
        const QStringList& dhl = CChoiceLists::Entries(List::DhlCountries);
        const qsizetype antilles = dhl.indexOf(u"Netherlands Antilles"_s);
        QVERIFY(antilles > 0);
        QCOMPARE(dhl.mid(antilles, 3),
                 QStringList({u"Netherlands Antilles"_s, u"Netherlands Antilles."_s, u"Netherlands Antilles.."_s}));
        QVERIFY(CChoiceLists::Entries(List::UpsOriginCountries).contains(u"ALGERIA*"_s));
        QVERIFY(CChoiceLists::Entries(List::UpsDestinationCountries).contains(u"AZORES*"_s));

        const QStringList& usps = CChoiceLists::Entries(List::UspsCountries);
        QStringList trailingBlank;
        for (const QString& entry : usps)
            if (entry.endsWith(u' '))
                trailingBlank << entry;
        QCOMPARE(
            trailingBlank,
            QStringList({u"Cocos Island "_s, u"Corisco Island "_s, u"Labrador "_s, u"Labuan "_s, u"Lord Howe Island "_s,
                         u"Loyalty Islands "_s, u"Malaya "_s, u"Saint Christopher and Nevis "_s}));
        QCOMPARE(usps.mid(1, 2), QStringList({u"Abu Dhabi"_s, u"Abu Dhabi (United Arab Emirates)"_s}));
    }
};

QTEST_GUILESS_MAIN(tst_ChoiceLists)
#include "tst_choicelists.moc"
