// The launcher on its own: the page AUTO_LAUNCH names, and one browser window for the launches while it is
// open. The windows record where they are sent; the pages are filled in a real browser in
// tst_autofill_browser, and the reason given when no browser starts is the main window's test's.
#include "CCarrierPages.h"
#include "CPageLauncher.h"
#include "IniFile.h"
#include "RecordingBrowser.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPageLauncher : public QObject
{
    Q_OBJECT

    QTemporaryDir mDir;
    std::unique_ptr<IniFile> mIni;
    RecordingBrowsers mBrowsers;
    std::unique_ptr<CPageLauncher> mLauncher;

    bool Launch(const QString& autoLaunch)
    {
        return mIni->Section(u"_WGX_GENERAL"_s).Key(u"AUTO_LAUNCH"_s).SetValue(autoLaunch)
            && mLauncher->LaunchWebPage();
    }

private Q_SLOTS:
    // Settings with one user page, which the window shows as menu item 10.
    void init()
    {
        mBrowsers = {};
        mIni = std::make_unique<IniFile>();
        QVERIFY(
            WriteFile(mDir.filePath(u"Data1.ini"_s), u"[Corner Shop]\n_WGX_ADDRESS=https://shop.example/rates\n"_s));
        QVERIFY(mIni->OpenFile(mDir.filePath(u"Data1.ini"_s)));
        const CWebHelper::Accessors accessors {
            [this](QString* error) { return mBrowsers.Make(error); },
            [] { return 0.5; },
            [] { return 0; },
        };
        mLauncher = std::make_unique<CPageLauncher>(
            *mIni, accessors, [](int item) { return item == 10 ? std::optional(u"Corner Shop"_s) : std::nullopt; });
    }
    void cleanup() { mLauncher.reset(); }

    void pageOfAutoLaunch_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("address"); // empty: nothing launched, no window made
        QTest::newRow("none") << u"0"_s << QString();
        QTest::newRow("UPS, the first carrier") << u"1"_s << CCarrierPages::UpsAddress();
        QTest::newRow("eBay, the last carrier") << u"8"_s << CCarrierPages::EbayAddress();
        QTest::newRow("written 2.0") << u"2.0"_s << CCarrierPages::UspsDomesticAddress();
        QTest::newRow("user page, by menu item 10's caption") << u"9"_s << u"https://shop.example/rates"_s;
        QTest::newRow("user page without its menu item") << u"10"_s << QString();
        QTest::newRow("negative") << u"-1"_s << QString();
        QTest::newRow("not a number") << u"2 pages"_s << QString();
    }
    void pageOfAutoLaunch()
    {
        QFETCH(QString, stored);
        QFETCH(QString, address);
        QCOMPARE(Launch(stored), !address.isEmpty());
        QCOMPARE(mBrowsers.navigations, address.isEmpty() ? QStringList() : QStringList {address});
        QCOMPARE(mLauncher->IsBrowserExist(), !address.isEmpty());
        QVERIFY(!mBrowsers.Last() || mBrowsers.Last()->visible);
    }

    // Launches go to the open window; once the person has closed it (the window the settle launch waits
    // for), the next launch opens a new one.
    void oneWindowWhileOpen()
    {
        QVERIFY(Launch(u"1"_s));
        QVERIFY(Launch(u"2"_s));
        QCOMPARE(mBrowsers.made.size(), 1);
        QCOMPARE(mBrowsers.navigations,
                 (QStringList {CCarrierPages::UpsAddress(), CCarrierPages::UspsDomesticAddress()}));
        mBrowsers.Last()->Close();
        QVERIFY(!mLauncher->IsBrowserExist());
        QVERIFY(Launch(u"2"_s));
        QCOMPARE(mBrowsers.made.size(), 2);
        QVERIFY(mLauncher->IsBrowserExist());
    }
};

QTEST_GUILESS_MAIN(TestPageLauncher)
#include "tst_pagelauncher.moc"
