// The user-page filler replaying recorded sections into a real headless browser: a shop page with
// every kind of field, controlled fields, a frame of its own origin and one of another.
#include "BrowserFixture.h"
#include "CWebHelper.h"
#include "CWebUserAdd.h"
#include "IniFile.h"
#include "PageProbe.h"
#include "TestFiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
constexpr int kLoadTimeoutMs = BrowserFixture::PatientMs;

// The frames of the shop page: parcel.html from the shop's own host, from a courier's site (a process of
// its own) and from another host of the shop's site (another origin in the shop's process).
const QString kFrames = u"[Shop_FRAME0]\n_WGX_TEXT=0_wgx_reference,0_wgx_parcelWeight\n0_wgx_reference=same\n"
                        "0_wgx_parcelWeight=oz\n_WGX_SELECT=0_wgx_unit\n0_wgx_unit=1\n_WGX_FRM_CNT=0\n"
                        "[Shop_FRAME1]\n_WGX_TEXT=0_wgx_reference,0_wgx_parcelWeight\n0_wgx_reference=other\n"
                        "0_wgx_parcelWeight=OZ\n_WGX_FRM_CNT=0\n"
                        "[Shop_FRAME2]\n_WGX_TEXT=0_wgx_reference,0_wgx_parcelWeight\n0_wgx_reference=sibling\n"
                        "0_wgx_parcelWeight=oz\n_WGX_FRM_CNT=0\n"_s;
} // namespace

class TestUserPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        BrowserFixture& fixture = BrowserFixture::Instance();
        QVERIFY2(fixture.IsReady(), qPrintable(fixture.LastError()));
        fixture.ServeTaughtShop();
    }

    void replay_data()
    {
        QTest::addColumn<QString>("sections"); // the page's section after its address, then any frame sections
        QTest::addColumn<double>("kg");
        QTest::addColumn<bool>("filled");
        QTest::addColumn<QString>("checks"); // PageProbe checks, ";"-separated

        // Every kind of field, frames of every origin included, is replayed after a real recording in the
        // add-page wizard's test; here what a recording would not write: a code in mixed case, a radio by position.
        QTest::newRow("Lb written as pounds, a radio by its position")
            << u"_WGX_WGT_TYPE=,lb\n_WGX_TEXT=0_wgx_weight\n0_wgx_weight=Lb\n_WGX_RADIO=speed,speed,speed\nspeed=2\n"_s
            << 0.5 << true << u"0_wgx_weight=1.102;3_wgx_speed?=true;2_wgx_speed?=false"_s;
        QTest::newRow("LB and OZ: whole pounds and the ounces left")
            << u"_WGX_WGT_TYPE=,lb,oz\n_WGX_TEXT=0_wgx_weight,0_wgx_zip\n0_wgx_weight=LB\n0_wgx_zip=OZ\n"_s << 0.5
            << true << u"0_wgx_weight=1;0_wgx_zip=1.6"_s;
        QTest::newRow("KG and G") << u"_WGX_WGT_TYPE=,kg,g\n_WGX_TEXT=0_wgx_weight,0_wgx_zip\n0_wgx_weight=KG\n"
                                     "0_wgx_zip=G\n"_s
                                  << 1.25 << true << u"0_wgx_weight=1;0_wgx_zip=250"_s;
        QTest::newRow("frame count differs: values only")
            << u"_WGX_FRM_CNT=2\n_WGX_WGT_TYPE=,oz\n"_s + kFrames << 0.5 << true
            << u"0:0_wgx_reference=same;0:0_wgx_parcelWeight=;1:0_wgx_reference=other;1:0_wgx_parcelWeight=;"
               "2:0_wgx_reference=sibling"_s;
        QTest::newRow("address differs in letter case: values but no weight")
            << u"_WGX_WGT_TYPE=,oz\n_WGX_TEXT=0_wgx_zip,0_wgx_weight\n0_wgx_zip=5\n0_wgx_weight=oz\n"_s << 0.5 << false
            << u"0_wgx_zip=5;0_wgx_weight="_s;
        QTest::newRow("edited into nonsense: what can be replayed is")
            << u"_WGX_FRM_CNT=x\n_WGX_WGT_TYPE=,oz\n_WGX_TEXT=0_wgx_zip,,0_wgx_gone,7_wgx_qty,0_wgx_weight,zip\n"
               "0_wgx_zip=9\n0_wgx_gone=abc\n7_wgx_qty=x\n0_wgx_weight=oz\nzip=1\n"
               "_WGX_CHKBOX=0_wgx_insured,0_wgx_signature\n0_wgx_insured=yes\n0_wgx_signature=0\n"
               "_WGX_RADIO=speed\nspeed=9\n_WGX_SELECT=0_wgx_box\n0_wgx_box=abc\n"_s
            << 0.5 << true
            << u"0_wgx_zip=9;0_wgx_weight=17.6;0_wgx_insured?=false;0_wgx_signature?=false;2_wgx_speed?=true;"
               "0_wgx_box#=0"_s;
        QTest::newRow("weight field gone: not filled")
            << u"_WGX_WGT_TYPE=,oz\n_WGX_TEXT=0_wgx_zip,0_wgx_gone\n0_wgx_zip=7\n0_wgx_gone=oz\n"_s << 0.5 << false
            << u"0_wgx_zip=7"_s;
        // Each document takes only what was recorded from its origin; a frame of an older file, which names
        // none, gets its values but never a password.
        const QString origin = u"_WGX_ORIGIN=https://shop.example.test:443\n"_s;
        QTest::newRow("frames pinned to their origins")
            << u"_WGX_FRM_CNT=3\n[Shop_FRAME0]\n"_s + origin
                + u"_WGX_TEXT=0_wgx_reference\n0_wgx_reference=same\n_WGX_OTHERS=0_wgx_pin\n0_wgx_pin=1111\n"
                  "[Shop_FRAME1]\n_WGX_TEXT=0_wgx_reference\n0_wgx_reference=other\n_WGX_OTHERS=0_wgx_pin\n"
                  "0_wgx_pin=2222\n[Shop_FRAME2]\n"_s
                + origin + u"_WGX_TEXT=0_wgx_reference\n0_wgx_reference=sibling\n"_s
            << 0.5 << true
            << u"0:0_wgx_reference=same;0:0_wgx_pin=1111;1:0_wgx_reference=other;1:0_wgx_pin=;"
               "2:0_wgx_reference="_s;
        QTest::newRow("redirected to another site: nothing written there")
            << u"_WGX_TEXT=0_wgx_reference\n0_wgx_reference=leak\n_WGX_OTHERS=0_wgx_pin\n0_wgx_pin=3333\n"_s << 0.5
            << false << u"0_wgx_reference=;0_wgx_pin="_s;
        // Passwords an older version stored in the settings go back only to the origin they came from.
        QTest::newRow("older file's password on its own origin")
            << u"_WGX_OTHERS=0_wgx_password\n0_wgx_password=old-pw\n"_s << 0.5 << true << u"0_wgx_password=old-pw"_s;
        QTest::newRow("no weight code: filled once on the page")
            << u"_WGX_TEXT=0_wgx_zip\n0_wgx_zip=1\n"_s << 0.5 << true << u"0_wgx_zip=1"_s;
    }

    void replay()
    {
        QFETCH(QString, sections);
        QFETCH(double, kg);
        QFETCH(bool, filled);
        QFETCH(QString, checks);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // Stored without the "/" the browser adds; the letter-case row stores the host in capitals, and the
        // redirect row an address the shop sends on to a courier's site.
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        const bool redirect = tag.startsWith(u"redirect"_s);
        const QString address = tag.startsWith(u"address"_s) ? u"https://SHOP.example.test/"_s
            : redirect                                       ? u"https://shop.example.test/moved"_s
                                                             : u"https://shop.example.test"_s;
        BrowserFixture::Instance().ServeBody(
            u"https://shop.example.test/moved"_s,
            "<script>location.replace('https://parcels.courier.test/parcel.html')</script>");
        const QString landing = redirect ? u"https://parcels"_s : u"https://shop"_s;
        IniFile ini;
        QVERIFY(WriteFile(dir.filePath(u"Data1.ini"_s), u"[Shop]\n_WGX_ADDRESS="_s + address + u'\n' + sections));
        QVERIFY(ini.OpenFile(dir.filePath(u"Data1.ini"_s)));

        const CWebHelper::Accessors accessors {
            BrowserFixture::OpenPatientPage,
            [kg] { return kg; },
            [] { return 0; },
        };
        CWebHelper helper(ini, accessors);
        helper.Create(u"Shop"_s, QString());
        QVERIFY(helper.GotoPage());
        // The new tab's blank page may complete first: wait for a completed load of the shop itself, taken
        // after the filler's own turn at it (a page already showing the shop may not have finished loading).
        bool shopLoaded = false;
        const QObject listening; // the connection ends with this test
        connect(helper.Browser(), &WebBrowser::ProgressChange, &listening, [&] {
            const auto document = helper.Browser()->Document();
            shopLoaded = shopLoaded || (document && document->URL().value_or(QString()).startsWith(landing));
        });
        QVERIFY(QTest::qWaitFor([&] { return helper.CurrentFiller()->IsFilled() || shopLoaded; }, kLoadTimeoutMs));
        QCOMPARE(helper.CurrentFiller()->IsFilled(), filled);

        // The page's own script has re-rendered its controlled fields from its state.
        QVERIFY(BrowserFixture::RunPageTimers(*static_cast<ChromiumBrowser*>(helper.Browser()), 50));
        const auto document = helper.Browser()->Document();
        QVERIFY(document);
        const QStringList wrong = PageProbe::Mismatches(document.get(), checks);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
        static_cast<ChromiumBrowser*>(helper.Browser())->ClosePage();
    }

    // An address that is not a document's, hand-edited or from an old file, opens nothing: it would run in
    // the site the launch window shows.
    void unsafeAddressOpensNothing_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("javascript") << u"javascript:void(document.title=document.cookie)"_s;
        QTest::newRow("data") << u"data:text/html,<script>alert(1)</script>"_s;
        QTest::newRow("browser page") << u"chrome://settings"_s;
    }
    void unsafeAddressOpensNothing()
    {
        QFETCH(QString, address);
        QTemporaryDir dir;
        IniFile ini;
        QVERIFY(WriteFile(dir.filePath(u"Data1.ini"_s), u"[Evil]\n_WGX_ADDRESS="_s + address + u'\n'));
        QVERIFY(ini.OpenFile(dir.filePath(u"Data1.ini"_s)));
        int opened = 0;
        CWebHelper::Accessors accessors;
        accessors.makeBrowser = [&opened](QString*) {
            ++opened;
            return std::unique_ptr<WebBrowser>();
        };
        CWebHelper helper(ini, accessors);
        helper.Create(u"Evil"_s, QString());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^The page Evil has an address"_s));
        QVERIFY(!helper.GotoPage());
        QCOMPARE(opened, 0);
    }
};

QTEST_GUILESS_MAIN(TestUserPage)
#include "tst_userpage.moc"
