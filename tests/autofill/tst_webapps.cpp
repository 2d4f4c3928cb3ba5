// Taught pages built with today's frameworks (their production builds, from tests/fixtures/node_modules),
// recorded as the wizard does and replayed through a launch, judged by the state each framework renders
// into its page; and a built-in carrier page that has changed, told once.
#include "BrowserFixture.h"
#include "CCarrierPages.h"
#include "CPageLauncher.h"
#include "CWebHelper.h"
#include "HtmlDocument.h"
#include "HtmlElement.h"
#include "IniFile.h"
#include "TestFiles.h"
#include "frmAddWeb.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
constexpr int kFillTimeoutMs = 25000;
const QString kApps = u"https://apps.example.test/webapps/"_s;

// What the app shows as its own state, in the document and in each of its frames ("" for a frame whose app
// shows nothing yet).
QStringList States(HtmlDocument* top)
{
    const auto state = [](HtmlDocument* document) {
        const auto output = document ? document->All(u"state"_s) : nullptr;
        return output ? output->Value().value_or(QString()) : QString();
    };
    QStringList states {state(top)};
    const int frames = top ? top->FrameCount() : 0;
    for (int i = 0; i < frames; ++i)
        states.append(state(top->Frame(i).get()));
    return states;
}

bool AllShown(const QStringList& states, int count)
{
    return states.size() == count && !states.contains(QString());
}
} // namespace

class TestWebApps : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        const QString modules = QStringLiteral(PESAVO_TEST_FIXTURES "/node_modules/react-dom");
        if (!QFileInfo::exists(modules))
            QFAIL("tests/fixtures/node_modules is missing: run scripts/deps.sh (npm ci in tests/fixtures)");
        BrowserFixture& fixture = BrowserFixture::Instance();
        QVERIFY2(fixture.IsReady(), qPrintable(fixture.LastError()));
        for (const QString& site : {u"https://apps.example.test/"_s, u"https://frames.example.test/"_s})
            fixture.ServeFolder(site, QStringLiteral(PESAVO_TEST_FIXTURES));
    }

    void taughtAppIsReplayedIntoItsState_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("shape"); // the query that shapes the app (see webapps/form.js)
        QTest::addColumn<int>("watchMs"); // 0: the program's own window
        QTest::addColumn<QString>("keys"); // keys the recording must hold, ","-separated

        QTest::newRow("React, controlled fields")
            << u"react.html"_s << QString() << 0 << u"0_wgx_zip,0_wgx_insured,speed,0_wgx_weight"_s;
        QTest::newRow("React, a list drawn as a combobox")
            << u"react.html"_s << u"combo"_s << 0 << u"0_wgx_packaging"_s;
        QTest::newRow("React, form drawn 1.5 s after the load") << u"react.html"_s << u"late=1500"_s << 0 << QString();
        QTest::newRow("React, 81 fields") << u"react.html"_s << u"fields=74"_s << 0 << u"0_wgx_f73"_s;
        // Past the watch of the load: only the route change brings the form in time.
        QTest::newRow("React, form after a route change") << u"react.html"_s << u"route=2500"_s << 1000 << QString();
        QTest::newRow("React, frames of this origin and of another")
            << u"react.html"_s << u"frames=2"_s << 0 << QString();
        // Only the frame changes after the load: the frame's own watch sees its form come.
        QTest::newRow("React, form drawn late in a frame")
            << u"react.html"_s << u"frames=1&frameLate=1500"_s << 0 << QString();
        QTest::newRow("Vue, v-model") << u"vue.html"_s << QString() << 0 << u"0_wgx_service"_s;
        QTest::newRow("Vue, form drawn late, with a frame")
            << u"vue.html"_s << u"late=1500&frames=1"_s << 0 << QString();
        QTest::newRow("Lit, shadow roots two deep and a frame in one")
            << u"lit.html"_s << u"frames=1"_s << 0
            << u"0_wgx_weight_wgx_shadow/ship-form.1,0_wgx_zip_wgx_shadow/ship-form.1/address-box.1,"
               "speed_wgx_shadow/ship-form.1"_s;
        QTest::newRow("Lit, form drawn late") << u"lit.html"_s << u"late=1500"_s << 0 << QString();
    }

    void taughtAppIsReplayedIntoItsState()
    {
        QFETCH(QString, page);
        QFETCH(QString, shape);
        QFETCH(int, watchMs);
        QFETCH(QString, keys);
        const int documents = 1 + QRegularExpression(u"frames=(\\d)"_s).match(shape).captured(1).toInt();
        const QString address = kApps + page + (shape.isEmpty() ? QString() : u'?' + shape);
        // The recording: the app as a user left it, every value typed, "oz" in the weight field.
        QString recordedShape = shape;
        recordedShape.remove(QRegularExpression(u"(late|route|frameLate)=\\d+&?"_s));
        BrowserFixture& fixture = BrowserFixture::Instance();
        auto recorded = fixture.NewPage();
        QVERIFY(recorded && BrowserFixture::Load(*recorded, kApps + page + u"?preset&"_s + recordedShape));
        QStringList expected;
        QTRY_VERIFY_WITH_TIMEOUT(AllShown(expected = States(recorded->Document().get()), documents), 10000);
        QTemporaryDir dir;
        IniFile ini;
        QVERIFY(ini.OpenFile(dir.filePath(u"Data1.ini"_s)));
        QString codes;
        QVERIFY(frmAddWeb::RecordPageFields(ini, recorded->Document().get(), u"App"_s, &codes));
        recorded->ClosePage();
        const QString lists = ini.Section(u"App"_s).Key(u"_WGX_TEXT"_s).Value() + u','
            + ini.Section(u"App"_s).Key(u"_WGX_RADIO"_s).Value() + u','
            + ini.Section(u"App"_s).Key(u"_WGX_CHKBOX"_s).Value() + u','
            + ini.Section(u"App"_s).Key(u"_WGX_SELECT"_s).Value() + u','
            + ini.Section(u"App"_s).Key(u"_WGX_COMBO"_s).Value();
        for (const QString& key : keys.split(u',', Qt::SkipEmptyParts))
            QVERIFY2(lists.split(u',').contains(key), qPrintable(key + u" not in "_s + lists));
        QVERIFY(ini.Section(u"App"_s).Key(u"_WGX_ADDRESS"_s).SetValue(address));
        QVERIFY(ini.Section(u"App"_s).Key(u"_WGX_WGT_TYPE"_s).SetValue(frmAddWeb::WeightTypes(codes)));

        // The launch, 0.5 kg: every document's weight field gets 17.6 oz.
        const CWebHelper::Accessors accessors {BrowserFixture::OpenPage, [] { return 0.5; },
                                               [] {
                                                   return 0;
                                               }};
        CWebHelper helper(ini, accessors);
        if (watchMs > 0)
            helper.SetWatchWindow(watchMs);
        helper.Create(u"App"_s, QString());
        QVERIFY(helper.GotoPage());
        QTRY_VERIFY_WITH_TIMEOUT(helper.CurrentFiller()->IsFilled(), kFillTimeoutMs);
        for (QString& state : expected)
            state.replace(u"\"weight\":\"oz\""_s, u"\"weight\":\"17.6\""_s);
        // Long enough for the apps to have rendered several times: a value the framework did not take
        // would be gone from the page by now, and its state would not hold it.
        QTest::qWait(300);
        QCOMPARE(States(helper.Browser()->Document().get()), expected);
        static_cast<ChromiumBrowser*>(helper.Browser())->ClosePage();
    }

    // A built-in filler that finds none of its fields after the load and the watch says once that the
    // carrier's page has changed; a page that still has its fields is not reported.
    void changedCarrierPageIsToldOnce_data()
    {
        QTest::addColumn<int>("page"); // launcher index
        QTest::addColumn<QByteArray>("body"); // served at the page's address; empty: the fixture as written
        QTest::addColumn<QString>("message");
        QTest::newRow("FedEx redesigned") << 7 << QByteArray("<html><body><div id=app>New design</div></body></html>")
                                          << u"The FedEx page has changed; nothing was filled. Teach it as your own "
                                             "page: Options, Add Web Page."_s;
        QTest::newRow("USPS business form frame without its fields")
            << 3
            << QByteArray("<html><frameset rows='50%,50%'><frame src='about:blank'><frame src='about:blank'>"
                          "</frameset></html>")
            << u"The USPS page has changed; nothing was filled. Teach it as your own page: Options, Add Web Page."_s;
        QTest::newRow("UPS with only its zip field left")
            << 1 << QByteArray("<html><body><input name=origPostal></body></html>") << QString();
    }

    void changedCarrierPageIsToldOnce()
    {
        QFETCH(int, page);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        BrowserFixture& fixture = BrowserFixture::Instance();
        const QString address = CCarrierPages::ForLauncherIndex(page)->address;
        fixture.ServeBody(address, body);
        QTemporaryDir dir;
        IniFile ini;
        QVERIFY(WriteFile(dir.filePath(u"Data1.ini"_s), u"[_WGX_GENERAL]\nAUTO_LAUNCH=%1\n"_s.arg(page)));
        QVERIFY(ini.OpenFile(dir.filePath(u"Data1.ini"_s)));
        CPageLauncher launcher(ini,
                               {BrowserFixture::OpenPage, [] { return 1.0; },
                                [] {
                                    return 0;
                                }},
                               [](int) { return std::optional<QString>(); });
        QSignalSpy told(&launcher, &CPageLauncher::PageChanged);
        if (!message.isEmpty())
            QTest::ignoreMessage(
                QtWarningMsg,
                QRegularExpression(u"^"_s + QRegularExpression::escape(message) + u" Fields not found on .* : \\w"_s));
        QVERIFY(launcher.LaunchWebPage());
        launcher.WebHelper()->SetWatchWindow(500);
        WebBrowser* browser = launcher.WebHelper()->Browser();
        QSignalSpy loads(browser, &WebBrowser::ProgressChange);
        QVERIFY(loads.wait(kFillTimeoutMs));
        // A reload within the same launch is watched again, but not told again.
        QTest::qWait(1000);
        QVERIFY(browser->Navigate(address));
        QVERIFY(loads.wait(kFillTimeoutMs));
        QTest::qWait(1000);
        QCOMPARE(told.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(told.first().first().toString(), message);
        QVERIFY(!launcher.WebHelper()->CurrentFiller()->IsFilled());
        static_cast<ChromiumBrowser*>(browser)->ClosePage();
    }
};

QTEST_GUILESS_MAIN(TestWebApps)
#include "tst_webapps.moc"
