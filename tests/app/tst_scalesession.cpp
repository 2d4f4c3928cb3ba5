// The session without its windows: the settings it reads and writes, the scale's arrival, calibration and
// removal, hold and tare, and the pages a weight is taken to. A scale fed by hand and a recording browser
// stand in for the hardware; the settings are real files in a folder of the test's own.
#include "BrowserFixture.h"
#include "BrowserLocator.h"
#include "CBrowserSource.h"
#include "CCarrierPages.h"
#include "CPageLauncher.h"
#include "CScaleCalc.h"
#include "CUnitConverter.h"
#include "ChromiumBrowser.h"
#include "DevToolsSession.h"
#include "FeedUsbDevice.h"
#include "IniFile.h"
#include "RecordingBrowser.h"
#include "ScaleSession.h"
#include "ScopedEnv.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString UserPageIni = u"[_WGX_WEB]\nCNT=1\n_WGX_NAME1=Corner Shop\n"
                            u"[Corner Shop]\n_WGX_ADDRESS=https://shop.example/rates\n"_s;

} // namespace

class tst_ScaleSession : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        mSession.reset();
        mDir = std::make_unique<QTemporaryDir>();
        mMade = {};
        mUses.clear();
        mLog.clear();
    }

    // What a start reads: "unit page skin" then "small" and "top" when set.
    void settingsAreRead_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("read");
        QTest::newRow("no file: defaults") << QString() << u"0 0 0"_s;
        QTest::newRow("UNIT 2 reads as pounds, DISPLAY -1 as true")
            << u"[_WGX_GENERAL]\nUNIT=2\nAUTO_LAUNCH=3\nDISPLAY=-1\nTOP=1\nSKIN=4\n"_s << u"1 3 4 small top"_s;
        QTest::newRow("AUTO_LAUNCH out of range stops the reading")
            << u"[_WGX_GENERAL]\nUNIT=1\nAUTO_LAUNCH=40000\nDISPLAY=1\nTOP=1\nSKIN=2\n"_s << u"1 0 0"_s;
        QTest::newRow("SKIN out of range keeps skin 0") << u"[_WGX_GENERAL]\nTOP=1\nSKIN=-40000\n"_s << u"0 0 0 top"_s;
        QTest::newRow("leading number of the text")
            << u"[_WGX_GENERAL]\nAUTO_LAUNCH=2.5abc\nSKIN=3.5\n"_s << u"0 2 4"_s;
    }
    void settingsAreRead()
    {
        QFETCH(QString, ini);
        QVERIFY(Start(ini));
        const GeneralSettings& g = mSession->General();
        QString read = u"%1 %2 %3"_s.arg(g.unit).arg(g.autoLaunch).arg(g.skin);
        read += QLatin1String(g.smallDisplay ? " small" : "") + QLatin1String(g.alwaysOnTop ? " top" : "");
        QTEST(read, "read");
    }

    // The general choices are written over the file's other keys and sections, which stay.
    void generalChoicesKeepTheRest()
    {
        QVERIFY(Start(u"[_WGX_GENERAL]\nUNIT=2\nAUTO_LAUNCH=3\nDISPLAY=-1\nTOP=0\nSKIN=4\nSTARTUP=1\n"
                      "[_WGX_FEDEX]\nAUTO_FILL=1\n"_s));
        mSession->General().alwaysOnTop = true;
        mSession->SaveGeneral();
        const QString text = QString::fromUtf8(ReadBytes(Data1()));
        for (const char* line : {"UNIT=1\n", "AUTO_LAUNCH=3\n", "DISPLAY=1\n", "TOP=1\n", "SKIN=4\n", "STARTUP=1\n",
                                 "[_WGX_FEDEX]\nAUTO_FILL=1"})
            QVERIFY2(text.contains(QLatin1String(line)), line);
    }

    // The scale comes and goes; an arrival the device does not confirm changes nothing. Sixteen reports
    // calibrate, the sixteenth tares; unplugged half-way through a new calibration, it starts again.
    void arrivalCalibrationRemoval()
    {
        QVERIFY(Start(QString(), false));
        QCOMPARE(mFeed->mOpenedWith, u"6323:2233:SCALE"_s);
        QVERIFY(mFeed->mEnabled && !mSession->IsAttached());
        mFeed->mFindAnswer = false;
        mFeed->FeedGrams(0, 1);
        const int initCnt = mSession->InitCount();
        mFeed->SetAttached(true);
        QCOMPARE(mSession->InitCount(), initCnt);
        QCOMPARE(mLog, QStringList {u"calibrating"_s});
        mFeed->mFindAnswer = true;
        mFeed->SetAttached(true);
        mFeed->FeedGrams(250, 8);
        QCOMPARE(mSession->InitCount(), 8);
        mFeed->FeedGrams(250, 8);
        // The arrival starts the calibration again.
        QCOMPARE(mLog, (QStringList {u"calibrating"_s, u"attached"_s, u"calibrating"_s, u"calibrated"_s}));
        mFeed->FeedGrams(500, 8);
        QCOMPARE(mSession->Weight(), 0.25);

        mLog.clear();
        mFeed->SetAttached(true);
        QCOMPARE(mSession->InitCount(), 0);
        mFeed->FeedGrams(500, 1);
        mFeed->SetAttached(false);
        QCOMPARE(mLog, (QStringList {u"attached"_s, u"calibrating"_s, u"detached"_s}));
        QCOMPARE(mSession->InitCount(), 0);
    }

    // Hold freezes the weight only once the scale is ready; tare zeroes what lies on it.
    void holdAndTare()
    {
        QVERIFY(Start());
        mSession->SetHeld(true);
        QVERIFY(!mSession->IsHeld());
        Weigh(0.3);
        mSession->SetHeld(true);
        QVERIFY(mSession->IsHeld());
        mFeed->FeedGrams(800, 6);
        QCOMPARE(mSession->Weight(), 0.3);
        mSession->SetHeld(false);
        mFeed->FeedGrams(800, 1);
        QCOMPARE(mSession->Weight(), 0.8);
        mSession->Tare();
        mFeed->FeedGrams(800, 6);
        QCOMPARE(mSession->Weight(), 0.0);
        mFeed->FeedGrams(2300, 6);
        QCOMPARE(mSession->Weight(), 1.5);
    }

    void launchOpensTheStoredPage_data()
    {
        QTest::addColumn<QString>("autoLaunch");
        QTest::addColumn<QString>("address");
        // Which page a stored number names, the launcher's own test goes through; here the session's part.
        QTest::newRow("UPS") << u"1"_s << CCarrierPages::UpsAddress();
        QTest::newRow("international package") << u"5"_s << CCarrierPages::UspsIntPackageAddress();
        QTest::newRow("user page by its menu caption") << u"9"_s << u"https://shop.example/rates"_s;
    }
    void launchOpensTheStoredPage()
    {
        QFETCH(QString, autoLaunch);
        QFETCH(QString, address);
        QVERIFY(Start(UserPageIni));
        // The stored key counts, not the session's copy: the options dialog writes only the file.
        QVERIFY(mSession->Settings().Section(u"_WGX_GENERAL"_s).Key(u"AUTO_LAUNCH"_s).SetValue(autoLaunch));
        Weigh(0.75);
        QVERIFY(mSession->LaunchWebPage());
        QCOMPARE(mMade.navigations, QStringList {address});
        QCOMPARE(mUses, QList<WebPageUse> {WebPageUse::Launcher});
        QVERIFY(mMade.Last()->visible);
        QCOMPARE(mSession->Launcher()->WebHelper()->Weight(), 0.75);
        QVERIFY(mSession->IsBrowserExist());
    }

    void loadOnTheScalePreparesTheBrowser_data()
    {
        QTest::addColumn<QString>("general");
        QTest::addColumn<int>("prepared"); // browsers started ahead over two loads put on
        QTest::newRow("a page chosen, preparing on by default") << u"AUTO_LAUNCH=1"_s << 2;
        QTest::newRow("preparing turned off") << u"AUTO_LAUNCH=1\nPREPARE_BROWSER=0"_s << 0;
        QTest::newRow("no page chosen") << u"AUTO_LAUNCH=0"_s << 0;
    }
    void loadOnTheScalePreparesTheBrowser()
    {
        QFETCH(QString, general);
        QFETCH(int, prepared);
        QVERIFY(Start(u"[_WGX_GENERAL]\n"_s + general + u"\n"_s));
        int calls = 0;
        mSession->SetBrowserPreparer([&calls](QString*) {
            ++calls;
            return true;
        });
        Weigh(0.5);
        QCOMPARE(calls, qMin(prepared, 1));
        // Only leaving zero starts one: a changed load is the same parcel.
        Weigh(1.0);
        QCOMPARE(calls, qMin(prepared, 1));
        Weigh(0.0);
        Weigh(0.25);
        QCOMPARE(calls, prepared);
        QVERIFY2(mMade.made.isEmpty(), "preparing shows no page");
    }

    void settleLaunchesOnlyWithoutBrowser()
    {
        QVERIFY(Start(u"[_WGX_GENERAL]\nAUTO_LAUNCH=1\n[_WGX_UPS]\nAUTO_FILL=0\n"_s));
        Weigh(0.5);
        mSession->StatusChange(2);
        QCOMPARE(mMade.made.size(), 1);
        RecordingBrowser* first = mMade.Last();
        first->page->Add(u"weightType"_s);
        first->page->Add(u"weight"_s);
        Q_EMIT first->ProgressChange(0, 0);
        QCOMPARE(first->page->Field(u"weight"_s)->value, u"1.102"_s); // 0.5 kg in pounds

        // Open: a settled weight leaves it alone, an explicit command refills it in place.
        Weigh(1.0);
        mSession->StatusChange(2);
        QCOMPARE(mMade.navigations.size(), 1);
        mSession->LaunchWebPage();
        QCOMPARE(mMade.made.size(), 1);
        QCOMPARE(first->page->Field(u"weight"_s)->value, u"2.205"_s);

        // Closed by the user: the next settled weight opens the page again.
        first->Close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!mSession->IsBrowserExist());
        mSession->StatusChange(1);
        QCOMPARE(mMade.made.size(), 1);
        mSession->StatusChange(2);
        QCOMPARE(mMade.made.size(), 2);
        QCOMPARE(mMade.navigations, QStringList(2, CCarrierPages::UpsAddress()));
    }

    void missingBrowserIsTold_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("realLocator"); // the program's own browser search, on an empty PATH
        QTest::newRow("settled weight") << u"settle"_s << false;
        QTest::newRow("converter") << u"converter"_s << false;
        QTest::newRow("launch, real search finds nothing") << u"launch"_s << true;
    }
    void missingBrowserIsTold()
    {
        QFETCH(QString, command);
        QFETCH(bool, realLocator);
        mMade.refusal = u"No browser here. Install Chromium: sudo apt install chromium"_s;
        QTemporaryDir emptyBin;
        std::optional<ScopedEnv> path;
        std::optional<ScopedEnv> browser;
        std::shared_ptr<CBrowserSource> source;
        if (realLocator) {
            path.emplace("PATH", QFile::encodeName(emptyBin.path()));
            browser.emplace("PESAVO_BROWSER", QByteArray(), true);
            source = std::make_shared<CBrowserSource>(BrowserLocator::Defaults());
        }
        QVERIFY(Start(u"[_WGX_GENERAL]\nAUTO_LAUNCH=2\n"_s, true, source));
        QVERIFY(WriteFile(mSession->ConverterPage(), u"<html></html>"_s));
        QSignalSpy told(mSession.get(), &ScaleSession::BrowserFailed);
        if (command == u"converter"_s)
            QVERIFY(!mSession->OpenConverter());
        else if (command == u"settle"_s)
            mSession->StatusChange(2);
        else
            QVERIFY(!mSession->LaunchWebPage());
        QCOMPARE(told.size(), 1);
        const QString text = told.first().first().toString();
        QVERIFY2(text.contains(u"Install Chromium: sudo apt install chromium"_s), qPrintable(text));
        // The program goes on: the scale and the settings are untouched.
        QVERIFY(!mSession->IsBrowserExist());
        QVERIFY(ReadBytes(Data1()).contains("AUTO_LAUNCH=2"));
    }

    void converterOpensItsPage()
    {
        QVERIFY(Start());
        QSignalSpy told(mSession.get(), &ScaleSession::BrowserFailed);
        QVERIFY(WriteFile(mSession->ConverterPage(), u"<html></html>"_s));
        for (int call = 0; call < 2; ++call) // the second before the page has loaded
            mSession->OpenConverter();
        const QString url = QUrl::fromLocalFile(mSession->ConverterPage()).toString();
        QCOMPARE(mMade.navigations, QStringList {url});
        QCOMPARE(mUses, QList<WebPageUse> {WebPageUse::Converter});
        QVERIFY(mMade.Last()->visible);

        // Loaded: the weight goes in, in the display unit.
        mSession->General().unit = 1;
        Weigh(0.5);
        RecordingBrowser* page = mMade.Last();
        page->page->Add(u"unit"_s);
        page->page->Add(u"InUnit"_s);
        Q_EMIT page->ProgressChange(0, 0);
        QCOMPARE(page->writes.mid(0, 2), (QStringList {u"unit.value=LB"_s, u"InUnit.value=1.102"_s}));
        QVERIFY(!mSession->Converter()->Pending());
        QVERIFY(told.isEmpty());
    }

    void launcherAndConverterShareTheBrowser()
    {
        // The keeper serves one client: a second connection would close the first page behind our back.
        const BrowserLaunchOptions options = BrowserFixture::LaunchOptions(mDir->path(), 2000);
        if (options.browserPath.isEmpty())
            QSKIP("no Chromium-family browser installed");
        CBrowserSource source(options);
        QString error;
        // Whatever opens a browser that is not running (here the wizard), its own first window is the one used.
        std::unique_ptr<WebBrowser> launcher = source.OpenPage(WebPageUse::AddPage, &error);
        QVERIFY2(launcher, qPrintable(error));
        auto* first = qobject_cast<ChromiumBrowser*>(launcher.get());
        QVERIFY(first);
        const auto targets = first->Session()->Call("Target.getTargets", nlohmann::json::object(), {}, 5000);
        QVERIFY(targets);
        const auto pages = std::count_if((*targets)["targetInfos"].begin(), (*targets)["targetInfos"].end(),
                                         [](const nlohmann::json& info) { return info.value("type", "") == "page"; });
        QCOMPARE(pages, 1);
        std::unique_ptr<WebBrowser> converter = source.OpenPage(WebPageUse::Converter, &error);
        QVERIFY2(converter, qPrintable(error));
        QVERIFY(converter->Navigate(u"about:blank#converter"_s));
        QVERIFY(launcher->Navigate(u"about:blank#launcher"_s));
        // Each check is a round trip to the browser, so a dropped connection shows at once.
        QVERIFY(launcher->IsAlive());
        QVERIFY(converter->IsAlive());
        QVERIFY(source.IsConnected());
    }

private:
    QString Data1() const { return mDir->filePath(u"Data1.ini"_s); }

    // A session on the folder's settings (written first unless `ini` is null) and a scale fed by hand; the
    // browsers are the recording ones, or the real search's when a source is given.
    bool Start(const QString& ini = QString(), bool attached = true, std::shared_ptr<CBrowserSource> source = {})
    {
        if (!ini.isNull() && !WriteFile(Data1(), ini))
            return false;
        mSession.reset();
        auto devices = [this, attached]() -> std::unique_ptr<UsbDevice> {
            auto device = std::make_unique<FeedUsbDevice>();
            device->mAttached = attached;
            mFeed = device.get();
            return device;
        };
        auto browsers = [this, source](WebPageUse use, QString* error) -> std::unique_ptr<WebBrowser> {
            if (source)
                return source->OpenPage(use, error);
            auto browser = mMade.Make(error);
            if (browser)
                mUses << use; // what each page was opened for
            return browser;
        };
        mSession = std::make_unique<ScaleSession>(devices, browsers);
        mSession->OpenSettings(Data1(), mDir->filePath(u"Data2.ini"_s), mDir->filePath(u"conversion.html"_s));
        ScaleSession* s = mSession.get();
        connect(s, &ScaleSession::AttachedChanged, this,
                [this](bool on) { mLog << (on ? u"attached"_s : u"detached"_s); });
        connect(s, &ScaleSession::CalibrationStarted, this, [this] { mLog << u"calibrating"_s; });
        connect(s, &ScaleSession::CalibrationFinished, this, [this] { mLog << u"calibrated"_s; });
        mSession->Start();
        return true;
    }
    // The first weighing begins with the start-up calibration at zero; six reports bring the filters to
    // the new weight.
    void Weigh(double kilograms)
    {
        if (mSession->InitCount() < CScaleCalc::InitCntNeeded)
            mFeed->FeedGrams(0, CScaleCalc::InitCntNeeded);
        mFeed->FeedGrams(kilograms * 1000.0, 6);
        QCOMPARE(mSession->Weight(), kilograms);
    }

    std::unique_ptr<QTemporaryDir> mDir = std::make_unique<QTemporaryDir>();
    std::unique_ptr<ScaleSession> mSession;
    FeedUsbDevice* mFeed = nullptr;
    RecordingBrowsers mMade;
    QList<WebPageUse> mUses;
    QStringList mLog;
};

QTEST_GUILESS_MAIN(tst_ScaleSession)
#include "tst_scalesession.moc"
