// The add-page wizard with the real headless browser: a person names a page, goes to it, fills it, types
// the weight codes and finishes; the page is then in the settings, in the main window's page menu and
// list, and a launch fills it again with the current weight, frames of both origins included.
#include "AppState.h"
#include "BrowserFixture.h"
#include "CPageLauncher.h"
#include "CWebUserAdd.h"
#include "ChromiumBrowser.h"
#include "DevToolsSession.h"
#include "HtmlDocument.h"
#include "HtmlElement.h"
#include "IniFile.h"
#include "MFieldKey.h"
#include "PageProbe.h"
#include "ProgramRun.h"
#include "TestFiles.h"
#include "frmAddWeb.h"
#include "frmScale.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

using namespace Qt::StringLiterals;

namespace {
// What the tests judge is what the pages hold, never how soon the browser answers: every wait and every
// call to the browser has a deadline no load of the machine reaches.
constexpr int kLoadTimeoutMs = BrowserFixture::PatientMs;
const QString kShop = u"https://shop.example.test/checkout"_s;
const QString kOtherPage = u"[_WGX_WEB]\nCNT=1\n_WGX_NAME1=Courier Y\n[Courier Y]\n_WGX_ADDRESS=https://y.test/\n"_s;
// Typed by the "person": quotes, a backslash, markup and the characters of the settings file's layout.
const QString kOddName = u"O'Brien \"Bob\" \\ </script> [x]=y"_s;
const QString kPassword = u"pa$$ wörd=[x]"_s;

void CloseTab(const std::string& targetId)
{
    BrowserFixture::Instance().Session()->Call("Target.closeTarget", {{"targetId", targetId}});
}

// What a person does in the page: typing goes through the browser's own input, so the page's script
// sees it; the rest is set as a click would leave it. False when the field or the browser failed.
bool Type(ChromiumBrowser& page, HtmlDocument* document, const QString& key, const QString& text)
{
    const auto field = MFieldKey::ElementByKey(document, key);
    if (!field || !field->SetValue(QString()))
        return false;
    const std::string name = MFieldKey::ParseKey(key).name.toStdString();
    return page.Session()->Call("Runtime.evaluate",
                                {{"expression", "document.getElementsByName('" + name + "')[0].focus()"}},
                                page.SessionId(), kLoadTimeoutMs)
        && page.Session()->Call("Input.insertText", {{"text", text.toStdString()}}, page.SessionId(), kLoadTimeoutMs);
}

// The wizard's message box as "title: text", empty for none; the box is closed.
QString TakeMessage(frmAddWeb* wizard)
{
    QMessageBox* box = wizard->Message();
    const QString shown = box ? box->windowTitle() + u": "_s + box->text() : QString();
    delete box;
    return shown;
}
} // namespace

class TestAddWeb : public QObject
{
    Q_OBJECT

    ProgramRun::Folder mRun;
    FeedUsbDevice* mFeed = nullptr;
    // The wizard lets go of its browser when it closes; its tab stays open until cleanup closes it.
    std::string mTab;
    QString mFileAtBrowserStep;

    // A wizard over the settings with one other page, named: on its browser step unless the name is refused.
    std::pair<QPointer<frmAddWeb>, ChromiumBrowser*> NameAndGo(const QString& name)
    {
        if (!mRun.Start(kOtherPage, {}, false, [this]() -> std::unique_ptr<UsbDevice> {
                auto device = std::make_unique<FeedUsbDevice>();
                mFeed = device.get();
                return device;
            }))
            return {};
        App().gBrowserFactory = [](WebPageUse, QString* error) {
            return BrowserFixture::OpenPatientPage(error);
        };
        QPointer<frmAddWeb> wizard = new frmAddWeb(*App().gSession);
        wizard->Start();
        wizard->findChild<QLineEdit*>(u"txtName"_s)->setText(name);
        wizard->cmdNext_Click();
        auto* page = static_cast<ChromiumBrowser*>(wizard->Browser());
        mTab = page ? page->TargetId() : std::string();
        mFileAtBrowserStep = FileText();
        return {wizard, page};
    }

    QString FileText() const { return QString::fromUtf8(ReadBytes(mRun.Data1())); }

    // The wizard closed once, without a page: the list as before and the file untouched since the naming.
    bool ClosedAddingNothing(const QSignalSpy& closed) const
    {
        return closed.size() == 1 && !closed.at(0).at(0).toBool()
            && App().gSession->Pages() == QStringList {u"Courier Y"_s} && FileText() == mFileAtBrowserStep;
    }

private Q_SLOTS:
    void initTestCase()
    {
        BrowserFixture& fixture = BrowserFixture::Instance();
        QVERIFY2(fixture.IsReady(), qPrintable(fixture.LastError()));
        fixture.ServeTaughtShop();
    }

    void cleanup()
    {
        mRun.CleanUp();
        if (!mTab.empty())
            CloseTab(mTab);
        mTab.clear();
    }

    void nameStep_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("message"); // "title: text", empty for none
        QTest::newRow("blanks only: nothing") << u"   "_s << 0 << QString();
        QTest::newRow("reserved prefix in capitals")
            << u"_WGX_Shop"_s << 0 << u"ERROR: \"_wgx_\" is reserved for system use"_s;
        QTest::newRow("existing page in other letter case") << u" courier y "_s << 0 << u"Error: Duplicate Web Name"_s;
        QTest::newRow("marker after the first character") << u"My_wgx_page"_s << 1 << QString();
    }

    void nameStep()
    {
        QFETCH(QString, typed);
        QFETCH(int, step);
        QFETCH(QString, message);
        const auto [wizard, page] = NameAndGo(typed);
        QVERIFY(wizard);
        QCOMPARE(wizard->Step(), step);
        QCOMPARE(TakeMessage(wizard), message);
        QCOMPARE(App().gSession->Pages().size(), 1);
        QCOMPARE(wizard->PageName(), step == 1 ? typed.trimmed() : QString());
        QCOMPARE(page != nullptr, step == 1);
        wizard->cmdCancel_Click();
        QCOMPARE(App().gSession->Pages(), QStringList {u"Courier Y"_s});
    }

    // A wizard whose browser the person closes, or whose page cannot be written, ends adding nothing.
    void abandonedAddsNothing_data()
    {
        QTest::addColumn<bool>("browserClosed");
        QTest::newRow("browser closed") << true;
        QTest::newRow("settings folder gone") << false;
    }
    void abandonedAddsNothing()
    {
        QFETCH(bool, browserClosed);
        const auto [wizard, page] = NameAndGo(u"Courier X"_s);
        QVERIFY(page);
        QSignalSpy closed(wizard.data(), &frmAddWeb::Closed);
        // Next before any page of the user's has loaded stays in step 2.
        wizard->cmdNext_Click();
        QCOMPARE(wizard->Step(), 1);
        QVERIFY(closed.isEmpty());
        if (browserClosed) {
            QSignalSpy quit(page, &WebBrowser::OnQuit);
            QVERIFY(page->ClosePage());
            QVERIFY(quit.wait(kLoadTimeoutMs));
            QTRY_VERIFY_WITH_TIMEOUT(!wizard->Browser(), kLoadTimeoutMs);
            mTab.clear();
            wizard->cmdNext_Click();
        } else {
            QVERIFY(BrowserFixture::Load(*page, kShop, kLoadTimeoutMs));
            QTRY_VERIFY_WITH_TIMEOUT(wizard->PageLoaded(), kLoadTimeoutMs);
            wizard->cmdNext_Click();
            QCOMPARE(wizard->Step(), 2);
            // The settings file's folder is gone: nothing can be written.
            QVERIFY(App().gSession->Settings().OpenFile(mRun.Path() + u"/gone/Data1.ini"_s));
            wizard->cmdFinish_Click();
            QCOMPARE(TakeMessage(wizard), u"ERROR: Error in adding the page"_s);
        }
        QVERIFY(ClosedAddingNothing(closed));
    }

    void tabInFrontIsRecorded()
    {
        const auto [wizard, page] = NameAndGo(u"Courier X"_s);
        QVERIFY(page);
        // The person opens the page in a new tab of the wizard's window; the wizard's own tab stays blank.
        const auto& session = BrowserFixture::Instance().Session();
        const auto window = session->Call("Browser.getWindowForTarget", {{"targetId", mTab}}, {}, kLoadTimeoutMs);
        QVERIFY(window);
        const auto created = session->Call(
            "Target.createTarget", {{"url", "about:blank"}, {"windowId", (*window)["windowId"]}}, {}, kLoadTimeoutMs);
        QVERIFY(created);
        const std::string newTab = (*created)["targetId"].get<std::string>();
        ChromiumBrowser tab(session);
        tab.SetDomTimeout(kLoadTimeoutMs);
        QVERIFY(tab.AttachTo(newTab));
        // Served offline like every page of the tests.
        const nlohmann::json patterns
            = nlohmann::json::array({{{"urlPattern", "https://*"}, {"requestStage", "Request"}}});
        QVERIFY(session->Call("Fetch.enable", {{"patterns", patterns}}, tab.SessionId(), kLoadTimeoutMs));
        QVERIFY(BrowserFixture::Load(tab, kShop + u"?tab=2"_s, kLoadTimeoutMs));
        QVERIFY(session->Call("Target.activateTarget", {{"targetId", newTab}}, {}, kLoadTimeoutMs));
        QTRY_VERIFY_WITH_TIMEOUT((wizard->cmdNext_Click(), wizard->Step() == 2), kLoadTimeoutMs);
        wizard->cmdFinish_Click();
        QVERIFY(wizard->PageAdded());
        QCOMPARE(mRun.Stored(u"Courier X"_s, u"_WGX_ADDRESS"_s), kShop + u"?tab=2"_s);
        QCOMPARE(mRun.Stored(u"Courier X"_s, u"_WGX_RADIO"_s), u"speed,speed,speed"_s);
        CloseTab(newTab);
    }

    void hugePageIsRecordedAndReplayed()
    {
        // 5,000 fields, the last one the weight field: the recording and the replay go through whole.
        constexpr int count = 5000;
        QByteArray html = "<!DOCTYPE html><html><body><form>";
        for (int i = 0; i < count - 1; ++i)
            html += "<input name=f" + QByteArray::number(i) + " value=v" + QByteArray::number(i) + ">";
        html += "<input name=w value=LB></form></body></html>";
        BrowserFixture& fixture = BrowserFixture::Instance();
        fixture.ServeBody(u"https://huge.example.test/"_s, html);
        auto page = fixture.NewPage(kLoadTimeoutMs);
        QVERIFY(page && BrowserFixture::Load(*page, u"https://huge.example.test/"_s, 60000));
        QTemporaryDir dir;
        IniFile ini;
        QVERIFY(ini.OpenFile(dir.filePath(u"Data1.ini"_s)));
        QString codes;
        QVERIFY(frmAddWeb::RecordPageFields(ini, page->Document().get(), u"Huge"_s, &codes));
        QCOMPARE(codes, u"LB"_s);
        QCOMPARE(ini.Section(u"Huge"_s).Key(u"0_wgx_f4998"_s).Value(), u"v4998"_s);

        QVERIFY(BrowserFixture::Load(*page, u"https://huge.example.test/"_s, 60000));
        ini.Section(u"Huge"_s).Key(u"0_wgx_f5"_s).SetValue(u"replayed"_s);
        CWebUserAdd filler(ini);
        filler.Create(u"Huge"_s, u"https://huge.example.test/"_s);
        filler.EnglishUnits = 4;
        // The list of 5,000 keys is read back whole: the weight field at its very end is written too.
        filler.FillContent(page->Document().get());
        filler.FillWeight(page->Document().get(), 0.5);
        QVERIFY(filler.IsFilled());
        QCOMPARE(PageProbe::Mismatches(page->Document().get(), u"0_wgx_f5=replayed;0_wgx_f4998=v4998;0_wgx_w=1.102"_s),
                 QStringList());
        // One field more is refused whole, with a message, and nothing of it is written.
        html.replace("<input name=w value=LB>", "<input name=w value=LB><input name=more>");
        fixture.ServeBody(u"https://huge.example.test/"_s, html);
        QVERIFY(BrowserFixture::Load(*page, u"https://huge.example.test/"_s, 60000));
        IniFile refused;
        QVERIFY(refused.OpenFile(dir.filePath(u"Refused.ini"_s)));
        QString why;
        QVERIFY(!frmAddWeb::RecordPageFields(refused, page->Document().get(), u"Huge"_s, &codes, nullptr, &why));
        QVERIFY2(why.contains(u"5,000 fields"_s), qPrintable(why));
        QVERIFY(!QFile::exists(dir.filePath(u"Refused.ini"_s)));

        page->ClosePage();
    }

    // A page that lies to its own script about where it is and which frames it has, and nests frames of
    // itself ten deep: the recording takes the real address, and stops at four levels of frames.
    void pageScriptCannotMisleadTheRecording_data()
    {
        QTest::addColumn<QByteArray>("trick");
        QTest::newRow("endless frame count") << QByteArray("window.frames = {length: 2147483647};");
        QTest::newRow("frames that hold their own window") << QByteArray("window.frames = [window, window];");
    }
    void pageScriptCannotMisleadTheRecording()
    {
        QFETCH(QByteArray, trick);
        BrowserFixture& fixture = BrowserFixture::Instance();
        fixture.ServeBody(u"https://liar.example.test/"_s,
                          "<!DOCTYPE html><html><body><form><input name=zip value=10115></form><script>"
                          "Object.defineProperty(document, 'URL', {get: () => 'javascript:void(0)'});"
                              + trick
                              + "const d = +(new URLSearchParams(location.search).get('d') || 0);"
                                "if (d < 10) { const f = document.createElement('iframe');"
                                "  f.src = '/?d=' + (d + 1); document.body.appendChild(f); } else top.deepest = true;"
                                "</script></body></html>");
        auto page = fixture.NewPage(kLoadTimeoutMs);
        QVERIFY(page && BrowserFixture::Load(*page, u"https://liar.example.test/"_s));
        const auto deepest = [&page] {
            const auto reply = page->Session()->Call("Runtime.evaluate", {{"expression", "window.deepest === true"}},
                                                     page->SessionId(), kLoadTimeoutMs);
            return reply && reply->value("result", nlohmann::json::object()).value("value", false);
        };
        QVERIFY(QTest::qWaitFor(deepest, 20000));
        const auto document = page->Document();
        QVERIFY(document);
        QCOMPARE(document->URL(), std::optional<QString>(u"https://liar.example.test/"_s));

        QTemporaryDir dir;
        IniFile ini;
        QVERIFY(ini.OpenFile(dir.filePath(u"Data1.ini"_s)));
        QString codes;
        QVERIFY(frmAddWeb::RecordPageFields(ini, document.get(), u"Liar"_s, &codes));
        QString section = u"Liar"_s;
        for (int depth = 0; depth <= 4; ++depth, section += u"_FRAME0"_s) {
            QCOMPARE(ini.Section(section).Key(u"_WGX_ORIGIN"_s).Value(), u"https://liar.example.test:443"_s);
            QCOMPARE(ini.Section(section).Key(u"0_wgx_zip"_s).Value(), u"10115"_s);
        }
        QVERIFY(!ReadBytes(dir.filePath(u"Data1.ini"_s)).contains(section.toUtf8()));
        page->ClosePage();
    }

    void weightTypes_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("types");
        QTest::newRow("OZ and kg") << u"OZkg"_s << u",kg,oz"_s;
        QTest::newRow("KG alone is not also g") << u"KG"_s << u",kg"_s;
        QTest::newRow("every unit") << u"glbKgOz"_s << u",kg,g,lb,oz"_s;
        QTest::newRow("none") << QString() << QString();
    }

    void weightTypes()
    {
        QFETCH(QString, codes);
        QFETCH(QString, types);
        QCOMPARE(frmAddWeb::WeightTypes(codes), types);
    }

    void teachAndLaunch()
    {
        const auto [wizard, page] = NameAndGo(u"  Courier X "_s);
        QVERIFY(page);
        QSignalSpy closed(wizard.data(), &frmAddWeb::Closed);

        // The person goes to the shop and fills it, the weight fields with codes.
        QVERIFY(BrowserFixture::Load(*page, kShop, kLoadTimeoutMs));
        QTRY_VERIFY_WITH_TIMEOUT(wizard->PageLoaded(), kLoadTimeoutMs);
        auto document = page->Document();
        QVERIFY(document);
        QVERIFY(Type(*page, document.get(), u"0_wgx_fullName"_s, kOddName));
        QVERIFY(Type(*page, document.get(), u"0_wgx_email"_s, u"a@b.test"_s));
        QVERIFY(Type(*page, document.get(), u"0_wgx_password"_s, kPassword));
        // By frame (-1 the page itself): the frames are of the shop's origin, a courier's and a sibling host's.
        const std::tuple<int, QString, QString> texts[] = {
            {-1, u"0_wgx_zip"_s, u"10115"_s},
            {-1, u"0_wgx_weight"_s, u"OZ"_s},
            {-1, u"0_wgx_pieces"_s, u"7"_s},
            {-1, u"0_wgx_shipDate"_s, u"2026-12-24"_s},
            {-1, u"1_wgx_qty"_s, u"3"_s},
            {-1, u"2_wgx_qty"_s, u"4"_s},
            {-1, u"0_wgx_note"_s, u"line one\nline two, and then a great deal more than forty characters"_s},
            {0, u"0_wgx_parcelWeight"_s, u"oz"_s},
            {1, u"0_wgx_reference"_s, u"X-1"_s},
            {1, u"0_wgx_parcelWeight"_s, u"kg"_s},
            {2, u"0_wgx_reference"_s, u"L-2"_s},
        };
        for (const auto& [frame, key, text] : texts) {
            const auto inFrame = frame < 0 ? nullptr : document->Frame(frame);
            HtmlDocument* in = frame < 0 ? document.get() : inFrame.get();
            QVERIFY2(in && MFieldKey::ElementByKey(in, key) && MFieldKey::ElementByKey(in, key)->SetValue(text),
                     qPrintable(key));
        }
        QVERIFY(MFieldKey::ElementByKey(document.get(), u"0_wgx_insured"_s)->SetChecked(true));
        QVERIFY(MFieldKey::ElementByKey(document.get(), u"0_wgx_signature"_s)->SetChecked(false));
        QVERIFY(MFieldKey::ElementByKey(document.get(), u"0_wgx_box"_s)->SetSelectedIndex(2));
        QVERIFY(MFieldKey::ElementByKey(document.get(), u"0_wgx_extras"_s)->SetOptionSelected(1, true));
        QVERIFY(MFieldKey::ElementByKey(document.get(), u"0_wgx_extras"_s)->SetOptionSelected(3, true));
        const auto other = document->Frame(1);
        QVERIFY(other && MFieldKey::ElementByKey(other.get(), u"0_wgx_unit"_s)->SetSelectedIndex(1));

        wizard->cmdNext_Click();
        QCOMPARE(wizard->Step(), 2);
        wizard->cmdFinish_Click();
        QCOMPARE(closed.size(), 1);
        QCOMPARE(closed.at(0).at(0).toBool(), true);

        // Read back from disk: the page, its frames as sections, and no hidden token. Which field lists hold
        // what shows in the launch below, which replays every value recorded.
        QCOMPARE(mRun.Stored(u"_WGX_WEB"_s, u"CNT"_s), u"2"_s);
        QCOMPARE(mRun.Stored(u"_WGX_WEB"_s, u"_WGX_NAME2"_s), u"Courier X"_s);
        const QString x = u"Courier X"_s;
        QCOMPARE(mRun.Stored(x, u"_WGX_TITLE"_s), u"Shop \"Checkout\" & Co"_s);
        QVERIFY(!FileText().contains(u"token"_s));
        // The password is in the keyring, under the shop's origin; the file only names its field.
        QVERIFY(!FileText().contains(kPassword));
        QCOMPARE(mRun.Stored(x, u"_WGX_KEYRING"_s), u"0_wgx_password"_s);
        QCOMPARE(mRun.Stored(x, u"_WGX_ORIGIN"_s), u"https://shop.example.test:443"_s);
        // The window's own section aside.
        QCOMPARE(FileText().split(u'\n').filter(QRegularExpression(u"^\\[(?!_WGX_GENERAL\\])"_s)),
                 QStringList({u"[_WGX_WEB]"_s, u"[Courier Y]"_s, u"[Courier X]"_s, u"[Courier X_FRAME0]"_s,
                              u"[Courier X_FRAME1]"_s, u"[Courier X_FRAME2]"_s}));

        // The main window has the page without a restart; launching it fills a fresh copy of the page.
        frmScale* scale = MMain::Windows().scale;
        QVERIFY(scale);
        QCOMPARE(App().gSession->Pages(), QStringList({u"Courier Y"_s, u"Courier X"_s}));
        QCOMPARE(scale->cboWeb()->itemText(scale->cboWeb()->count() - 1), x);
        QAction* item = scale->AutoLaunchMenu()->actions().last();
        QCOMPARE(item->text(), x);
        CloseTab(mTab);
        mTab.clear();
        item->trigger();
        ProgramRun::Weigh(*mFeed, 0.5);
        scale->LaunchWebPage();
        CPageLauncher* launcher = App().gSession->Launcher();
        QVERIFY(launcher);
        QTRY_VERIFY_WITH_TIMEOUT(scale->IsBrowserExist() && launcher->WebHelper()->CurrentFiller()->IsFilled(),
                                 kLoadTimeoutMs);
        auto* launched = static_cast<ChromiumBrowser*>(launcher->WebHelper()->Browser());
        // The page's own re-render of its controlled fields has run: a value not in its state would be gone.
        QVERIFY(BrowserFixture::RunPageTimers(*launched, 50));
        const auto filled = launched->Document();
        const QStringList wrong = PageProbe::Mismatches(
            filled.get(),
            u"0_wgx_fullName="_s + kOddName + u";0_wgx_email=a@b.test;0_wgx_password="_s + kPassword
                + u";0_wgx_zip=10115;0_wgx_weight=17.6;0_wgx_pieces=7;"
                  "0_wgx_shipDate=2026-12-24;1_wgx_qty=3;2_wgx_qty=4;2_wgx_speed?=true;"
                  "0_wgx_insured?=true;0_wgx_signature?=false;0_wgx_box#=2;0_wgx_extras@=0,1,3;"
                  "0_wgx_note=line one\nline two, and then a great deal;"
                  "0:0_wgx_parcelWeight=17.6;1:0_wgx_reference=X-1;1:0_wgx_parcelWeight=0.5;"
                  "1:0_wgx_unit#=1;2:0_wgx_reference=L-2"_s);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
        launched->ClosePage();
    }
};

QTEST_MAIN(TestAddWeb)
#include "tst_addweb.moc"
