#include "HidReportDescriptor.h"

#include <QTest>

class TestHidReportDescriptor final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("descriptor");
        QTest::addColumn<bool>("usesIds");
        QTest::addColumn<int>("inputBytes");
        QTest::addColumn<bool>("truncated");

        QTest::newRow("empty") << QByteArray() << false << 0 << false;
        QTest::newRow("vendor page, 8 input bytes")
            << QByteArray::fromHex("0600FF0901A101150026FF0075089508090181 02C0") << false << 8 << false;
        // Output and feature reports do not change what a read returns.
        QTest::newRow("output and feature ignored")
            << QByteArray::fromHex("0600FF0901A10175089540090181029520090191029580B102C0") << false << 64 << false;
        QTest::newRow("numbered reports, longest wins")
            << QByteArray::fromHex("0600FF0901A10185017508950881028502750895108102C0") << true << 16 << false;
        QTest::newRow("report id declared after the inputs")
            << QByteArray::fromHex("75089504810285037508950191 02") << true << 4 << false;
        QTest::newRow("bit fields round up to whole bytes")
            << QByteArray::fromHex("750195038102750595018103750495018102") << false << 2 << false;
        QTest::newRow("pop restores the pushed size")
            << QByteArray::fromHex("75089504A4751095 03B48102") << false << 4 << false;
        QTest::newRow("four-byte item data") << QByteArray::fromHex("75089708000000 8102") << false << 8 << false;
        QTest::newRow("two-byte report count") << QByteArray::fromHex("7508960001 8102") << false << 256 << false;
        // The long item's data looks like a Report ID item; it must be skipped whole.
        QTest::newRow("long item skipped") << QByteArray::fromHex("FE021085017508950881 02") << false << 8 << false;
        QTest::newRow("truncated item at the end") << QByteArray::fromHex("750895088102 26FF") << false << 8 << true;
        QTest::newRow("truncated long item") << QByteArray::fromHex("75089508 8102FE05") << false << 8 << true;
        QTest::newRow("pop without push ignored") << QByteArray::fromHex("B47508950281 02") << false << 2 << false;
        QTest::newRow("absurd sizes are bounded")
            << QByteArray::fromHex("75FF97FFFFFFFF8102") << false << 4096 << false;
    }

    void parse()
    {
        QFETCH(QByteArray, descriptor);
        QFETCH(bool, usesIds);
        QFETCH(int, inputBytes);
        QFETCH(bool, truncated);

        const HidReportDescriptor layout = HidReportDescriptor::Parse(descriptor);
        QCOMPARE(layout.UsesReportIds(), usesIds);
        QCOMPARE(layout.InputReportBytes(), inputBytes);
        QCOMPARE(layout.Truncated(), truncated);
    }

    void usagePages_data()
    {
        QTest::addColumn<QByteArray>("descriptor");
        QTest::addColumn<bool>("scale");

        QTest::newRow("vendor page") << QByteArray::fromHex("0600FF0901A101150026FF007508950809018102C0") << false;
        QTest::newRow("scale page after a generic one") << QByteArray::fromHex("05010904A101058D0920C0") << true;
        QTest::newRow("scale usage with its page in four bytes") << QByteArray::fromHex("0B20008D00A101C0") << true;
        // 0x8D inside another item's data is no usage page.
        QTest::newRow("page number in a long item") << QByteArray::fromHex("FE0210058D") << false;
    }

    void usagePages()
    {
        QFETCH(QByteArray, descriptor);
        QFETCH(bool, scale);
        QCOMPARE(HidReportDescriptor::Parse(descriptor).HasUsagePage(0x8D), scale);
    }
};

QTEST_GUILESS_MAIN(TestHidReportDescriptor)
#include "tst_hidreportdescriptor.moc"
