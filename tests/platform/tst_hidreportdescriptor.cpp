#include "HidReportDescriptor.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestHidReportDescriptor final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A descriptor in hex (spaces are ignored) and what is read from it.
    void parse_data()
    {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<bool>("usesIds");
        QTest::addColumn<int>("inputBytes");
        QTest::addColumn<bool>("truncated");
        QTest::addColumn<bool>("scale"); // declares the scale usage page, 0x8D

        QTest::newRow("empty") << QByteArray() << false << 0 << false << false;
        QTest::newRow("vendor page, 8 input bytes")
            << "0600FF0901A101150026FF0075089508090181 02C0"_ba << false << 8 << false << false;
        // Output and feature reports do not change what a read returns.
        QTest::newRow("output and feature ignored")
            << "0600FF0901A10175089540090181029520090191029580B102C0"_ba << false << 64 << false << false;
        QTest::newRow("numbered reports, longest wins")
            << "0600FF0901A10185017508950881028502750895108102C0"_ba << true << 16 << false << false;
        QTest::newRow("report id declared after the inputs")
            << "75089504810285037508950191 02"_ba << true << 4 << false << false;
        QTest::newRow("bit fields round up to whole bytes")
            << "750195038102750595018103750495018102"_ba << false << 2 << false << false;
        QTest::newRow("pop restores the pushed size") << "75089504A4751095 03B48102"_ba << false << 4 << false << false;
        QTest::newRow("four-byte item data") << "75089708000000 8102"_ba << false << 8 << false << false;
        QTest::newRow("two-byte report count") << "7508960001 8102"_ba << false << 256 << false << false;
        // The long item's data looks like a Report ID item; it must be skipped whole.
        QTest::newRow("long item skipped") << "FE021085017508950881 02"_ba << false << 8 << false << false;
        QTest::newRow("truncated item at the end") << "750895088102 26FF"_ba << false << 8 << true << false;
        QTest::newRow("truncated long item") << "75089508 8102FE05"_ba << false << 8 << true << false;
        QTest::newRow("pop without push ignored") << "B47508950281 02"_ba << false << 2 << false << false;
        QTest::newRow("absurd sizes are bounded") << "75FF97FFFFFFFF8102"_ba << false << 4096 << false << false;
        QTest::newRow("largest size times largest count")
            << "77FFFFFFFF97FFFFFFFF8102"_ba << false << 4096 << false << false;
        QTest::newRow("scale page after a generic one") << "05010904A101058D0920C0"_ba << false << 0 << false << true;
        QTest::newRow("scale usage with its page in four bytes")
            << "0B20008D00A101C0"_ba << false << 0 << false << true;
        // 0x8D inside another item's data is no usage page.
        QTest::newRow("page number in a long item") << "FE0210058D"_ba << false << 0 << false << false;
    }

    void parse()
    {
        QFETCH(QByteArray, hex);
        QFETCH(bool, usesIds);
        QFETCH(int, inputBytes);
        QFETCH(bool, truncated);
        QFETCH(bool, scale);

        const HidReportDescriptor layout = HidReportDescriptor::Parse(QByteArray::fromHex(hex));
        QCOMPARE(layout.UsesReportIds(), usesIds);
        QCOMPARE(layout.InputReportBytes(), inputBytes);
        QCOMPARE(layout.Truncated(), truncated);
        QCOMPARE(layout.HasUsagePage(0x8D), scale);
    }
};

QTEST_GUILESS_MAIN(TestHidReportDescriptor)
#include "tst_hidreportdescriptor.moc"
