#include "HidReportDescriptor.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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

        const auto layout = HidReportDescriptor::Parse(QByteArray::fromHex(hex).toStdString());
        QCOMPARE(layout.UsesReportIds(), usesIds);
        QCOMPARE(layout.InputReportBytes(), inputBytes);
        QCOMPARE(layout.Truncated(), truncated);
        QCOMPARE(layout.HasUsagePage(0x8D), scale);
    }

    // Descriptors laid out as devices send them: whether each is a point-of-sale scale, and whether it also
    // speaks of a keyboard or mouse, which keeps the udev helper from handing its node to the desktop user.
    void kind_data()
    {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<bool>("scale");
        QTest::addColumn<bool>("keys");

        QTest::newRow("scale, numbered reports") << "058D0901A101"
                                                    "85010930A102150026FF007508950209500960B102C0"
                                                    "85030932A102"
                                                    "0970A1021501250875089501197129788100C0"
                                                    "0950A1021501250C750895011951295C8100C0"
                                                    "1580257F7508950109418102"
                                                    "150027FFFF00007510950109408102"
                                                    "C0C0"_ba
                                                 << true << false;
        QTest::newRow("scale page in two bytes, plain reports") << "068D000901A101"
                                                                   "0970A1021501250875089501197129788100C0"
                                                                   "0950A1021501250C750895011951295C8100C0"
                                                                   "1580257F7508950109418102"
                                                                   "150027FFFF00007510950109408102"
                                                                   "C0"_ba
                                                                << true << false;
        // The scale page's bytes, 05 8D, as a Logical Maximum's data.
        QTest::newRow("keyboard") << "05010906A101"
                                     "050719E029E715002501750195088102950175088101"
                                     "050819012905950575019102950175039101"
                                     "050719002AFF00150026058D751095068100"
                                     "C0"_ba
                                  << false << true;
        QTest::newRow("scale that types barcodes as a keyboard") << "058D0901A101"
                                                                    "85030932A102"
                                                                    "097015012508750895018102"
                                                                    "09501501250C8102"
                                                                    "0940150027FFFF000075108102"
                                                                    "C0C0"
                                                                    "05010906A1018504"
                                                                    "0507190029FF150026FF00750895088100"
                                                                    "C0"_ba
                                                                 << true << true;
        QTest::newRow("mouse") << "05010902A1010901A100"
                                  "05091901290315002501950375018102950175058101"
                                  "05010930093109381581257F750895038106"
                                  "C0C0"_ba
                               << false << true;
        QTest::newRow("our own scale") << "0600FF0901A101150026FF00750895080901810209019102C0"_ba << false << false;
        // The kernel gives a usage the page in force at the next main item.
        QTest::newRow("page named after the keyboard usage") << "058D0901A101 0906 0501 A101C0 C0"_ba << true << true;
        QTest::newRow("page restored by pop") << "0501 A4 058D0901A101C0 B4 0906A101C0"_ba << true << true;
        QTest::newRow("keys as four-byte usage range")
            << "058D0901A101 1B00000700 2BFF000700 75089506 8100 C0"_ba << true << true;
    }

    void kind()
    {
        QFETCH(QByteArray, hex);
        QFETCH(bool, scale);
        QFETCH(bool, keys);

        const auto layout = HidReportDescriptor::Parse(QByteArray::fromHex(hex).toStdString());
        QCOMPARE(layout.HasUsagePage(0x8D), scale);
        QCOMPARE(layout.DeclaresKeyboardOrMouse(), keys);
    }

    // The udev helper as udev runs it, on a sysfs node holding each descriptor: only a scale alone is granted.
    void helper_data()
    {
        kind_data();
        QTest::newRow("no descriptor to read") << QByteArray() << true << false;
    }

    void helper()
    {
        QFETCH(QByteArray, hex);
        QFETCH(bool, scale);
        QFETCH(bool, keys);

        QTemporaryDir node;
        QVERIFY(QDir(node.path()).mkdir(u"device"_s));
        // A null row has no descriptor file at all.
        if (!hex.isNull()) {
            QFile file(node.filePath(u"device/report_descriptor"_s));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write(QByteArray::fromHex(hex)) >= 0);
        }
        QProcess helper;
        helper.start(QStringLiteral(PESAVO_POS_SCALE_HELPER), {node.path()});
        QVERIFY(helper.waitForFinished(10000));
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode() == 0, scale && !keys && !hex.isNull());
    }
};

QTEST_GUILESS_MAIN(TestHidReportDescriptor)
#include "tst_hidreportdescriptor.moc"
