// Which page a launch picks, how the selection is kept and when a page fills itself, without a browser: the browser
// factory here only counts how often a launch reached it. The launches themselves run in a real
// browser in tst_autofill_browser.
#include "CCarrierPages.h"
#include "CPageLauncher.h"
#include "CWebHelper.h"
#include "CWebUserAdd.h"
#include "IniFile.h"
#include "WebBrowser.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPageLauncher : public QObject
{
    Q_OBJECT

    std::unique_ptr<CPageLauncher> MakeLauncher()
    {
        const CWebHelper::Accessors accessors {
            [this](QString* error) -> std::unique_ptr<WebBrowser> {
                ++mFactoryCalls;
                *error = u"no browser in this test"_s;
                return nullptr;
            },
            [] { return 1.0; },
            [] { return 0; },
        };
        // The page submenu: the fixed items, then one user page "Shop" at item 10.
        return std::make_unique<CPageLauncher>(
            *mIni, accessors, [](int item) { return item == 10 ? std::optional<QString>(u"Shop"_s) : std::nullopt; });
    }

    QTemporaryDir mDir;
    std::unique_ptr<IniFile> mIni;
    int mFactoryCalls = 0;

private Q_SLOTS:
    // Every test starts from an empty settings file.
    void init()
    {
        QVERIFY(mDir.isValid());
        QFile::remove(mDir.filePath(u"Data1.ini"_s));
        mIni = std::make_unique<IniFile>();
        QVERIFY(mIni->OpenFile(mDir.filePath(u"Data1.ini"_s)));
        mFactoryCalls = 0;
    }

    void launchPicksPage_data()
    {
        QTest::addColumn<QString>("stored"); // AUTO_LAUNCH as the file holds it
        QTest::addColumn<QString>("name"); // empty: nothing is launched
        QTest::addColumn<QString>("address");

        QTest::newRow("None") << u"0"_s << QString() << QString();
        QTest::newRow("negative") << u"-1"_s << QString() << QString();
        QTest::newRow("user page without its menu item") << u"10"_s << QString() << QString();
        QTest::newRow("3.0 reads as 3") << u" 3.0 "_s << u"_WGX_USPS_BUSI"_s << CCarrierPages::UspsBusinessAddress();
        QTest::newRow("4 USPS international envelope")
            << u"4"_s << u"_WGX_USPS_INT"_s << u"https://ircalc.usps.com/weight.asp?Contents=0"_s;
        QTest::newRow("5 USPS international package")
            << u"5"_s << u"_WGX_USPS_INT"_s << u"https://ircalc.usps.com/weight.asp?Contents=1"_s;
        QTest::newRow("9 first user page") << u"9"_s << u"Shop"_s << u"https://shop.example/order/"_s;
    }

    void launchPicksPage()
    {
        QFETCH(QString, stored);
        QFETCH(QString, name);
        QFETCH(QString, address);
        QVERIFY(mIni->Section(u"_WGX_GENERAL"_s).Key(u"AUTO_LAUNCH"_s).SetValue(stored));
        QVERIFY(mIni->Section(u"Shop"_s).Key(u"_WGX_ADDRESS"_s).SetValue(u"https://shop.example/order/"_s));

        auto launcher = MakeLauncher();
        QVERIFY(!launcher->LaunchWebPage()); // never true here: no browser can start
        if (name.isEmpty()) {
            // Nothing launched: the browser is not even asked for.
            QCOMPARE(mFactoryCalls, 0);
            return;
        }
        QCOMPARE(mFactoryCalls, 1);
        QCOMPARE(launcher->LastError(), u"no browser in this test"_s);
        const IAutoFillWeb* filler = launcher->WebHelper()->CurrentFiller();
        QVERIFY(filler);
        QCOMPARE(filler->Name(), name);
        QCOMPARE(filler->Address(), address);
        // Built-in pages are served by their own table entry, user pages by the user-page filler.
        QCOMPARE(filler == launcher->WebHelper()->UserPageFiller(), name == u"Shop"_s);
    }

    void userPageUnits_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("units");
        QTest::addColumn<int>("metric");
        QTest::addColumn<int>("english");
        QTest::addColumn<bool>("userPage");

        QTest::newRow("no units") << u"Shop"_s << QString() << QString() << 0 << 0 << true;
        QTest::newRow("kg and oz") << u"Shop"_s << QString() << u",kg,oz"_s << 1 << 8 << true;
        QTest::newRow("all four") << u"Shop"_s << QString() << u",kg,g,lb,oz"_s << 3 << 12 << true;
        QTest::newRow("codes are matched as written") << u"Shop"_s << QString() << u",KG,Lb"_s << 0 << 0 << true;
        // A built-in section name with another address is a user page of that name.
        QTest::newRow("built-in name, other address") << u"_WGX_UPS"_s << QString() << u",lb"_s << 0 << 4 << true;
        QTest::newRow("built-in page") << u"_WGX_UPS"_s << CCarrierPages::UpsAddress() << u",lb"_s << 0 << 0 << false;
    }

    void userPageUnits()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, units);
        QFETCH(int, metric);
        QFETCH(int, english);
        QFETCH(bool, userPage);
        QVERIFY(mIni->Section(name).Key(u"_WGX_ADDRESS"_s).SetValue(u"https://shop.example/"_s));
        QVERIFY(mIni->Section(name).Key(u"_WGX_WGT_TYPE"_s).SetValue(units));

        CWebHelper helper(*mIni, {});
        helper.Create(name, address);
        CWebUserAdd* user = helper.UserPageFiller();
        QCOMPARE(helper.CurrentFiller() == user, userPage);
        if (userPage) {
            QCOMPARE(user->Address(), u"https://shop.example/"_s);
            QCOMPARE(user->MetricUnits, metric);
            QCOMPARE(user->EnglishUnits, english);
            QVERIFY(user->AutoFill());
        }
    }

    void autoFillSwitch_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("on");
        QTest::newRow("1 with text after") << u"1abc"_s << true;
        QTest::newRow("1.0") << u"1.0"_s << true;
        QTest::newRow("2") << u"2"_s << false;
        QTest::newRow("missing") << QString() << false;
        QTest::newRow("letters") << u"yes"_s << false;
    }

    void autoFillSwitch()
    {
        QFETCH(QString, value);
        QFETCH(bool, on);
        if (!value.isNull())
            QVERIFY(mIni->Section(u"_WGX_UPS"_s).Key(u"AUTO_FILL"_s).SetValue(value));
        CWebHelper helper(*mIni, {});
        helper.Create(u"_WGX_UPS"_s, CCarrierPages::UpsAddress());
        QCOMPARE(helper.CurrentFiller()->AutoFill(), on);
        // Read afresh on every call: the options dialog may change it while the filler lives.
        QVERIFY(mIni->Section(u"_WGX_UPS"_s).Key(u"AUTO_FILL"_s).SetValue(on ? 0 : 1));
        QCOMPARE(helper.CurrentFiller()->AutoFill(), !on);
    }
};

QTEST_GUILESS_MAIN(TestPageLauncher)
#include "tst_pagelauncher.moc"
