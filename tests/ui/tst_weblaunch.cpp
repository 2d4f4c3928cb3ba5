// The main window's web commands: page selection in the submenu and the list, launching by button,
// menu and settled weight, the missing browser, and the unit converter. A recording browser stands
// in for the window's logic; the last test has the launcher and the converter share a real browser.
#include "AppState.h"
#include "BrowserFixture.h"
#include "BrowserLocator.h"
#include "CBrowserSource.h"
#include "CCarrierPages.h"
#include "CPageLauncher.h"
#include "CPictureButton.h"
#include "CUnitConverter.h"
#include "CWebHelper.h"
#include "ChromiumBrowser.h"
#include "DevToolsSession.h"
#include "IniFile.h"
#include "ProgramRun.h"
#include "RecordingBrowser.h"
#include "ScopedEnv.h"
#include "TestFiles.h"
#include "WebBrowser.h"
#include "frmScale.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMessageBox>
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

class tst_WebLaunch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup()
    {
        mRun.CleanUp();
        mMade = {};
        mUses.clear();
    }

    void selectionIsSavedAndRestored_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<int>("chosen"); // menu item or list index
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("checkedItem");
        QTest::newRow("menu item 5: international envelope") << true << 5 << 4 << 5;
        QTest::newRow("menu item 0: none") << true << 0 << 0 << 0;
        QTest::newRow("menu item 10: the user page") << true << 10 << 9 << 10;
        QTest::newRow("list index 9: the user page") << false << 9 << 9 << 10;
        QTest::newRow("list index 1: UPS") << false << 1 << 1 << 2;
    }

    void selectionIsSavedAndRestored()
    {
        QFETCH(bool, byMenu);
        QFETCH(int, chosen);
        QFETCH(int, page);
        QFETCH(int, checkedItem);
        QVERIFY(Start(u"[_WGX_GENERAL]\nAUTO_LAUNCH=7\n"_s + UserPageIni));
        QMenu* menu = Scale()->AutoLaunchMenu();
        QVERIFY(menu->actions().at(8)->isChecked());

        if (byMenu) {
            menu->actions().at(chosen)->trigger();
        } else {
            Scale()->cboWeb()->setCurrentIndex(chosen);
            Q_EMIT Scale()->cboWeb()->activated(chosen);
        }
        for (int restart = 0; restart < 2; ++restart) {
            QCOMPARE(int(App().General().autoLaunch), page);
            QCOMPARE(Scale()->cboWeb()->currentIndex(), page);
            QCOMPARE(std::ranges::count_if(menu->actions(), &QAction::isChecked), 1);
            QVERIFY(menu->actions().at(checkedItem)->isChecked());
            QCOMPARE(mRun.Stored(u"_WGX_GENERAL"_s, u"AUTO_LAUNCH"_s), QString::number(page));
            ProgramRun::Exit();
            QVERIFY(Start());
            menu = Scale()->AutoLaunchMenu();
        }
        QVERIFY2(mMade.navigations.isEmpty(), "choosing a page must not open it");
    }

    void commandsLaunchTheSelectedPage_data()
    {
        QTest::addColumn<QString>("autoLaunch");
        QTest::addColumn<bool>("byButton");
        QTest::addColumn<QString>("address");
        // Which page a stored number names, the launcher's own test goes through; here the window's part.
        QTest::newRow("UPS, button") << u"1"_s << true << CCarrierPages::UpsAddress();
        QTest::newRow("international package, menu") << u"5"_s << false << CCarrierPages::UspsIntPackageAddress();
        QTest::newRow("user page by its menu caption") << u"9"_s << true << u"https://shop.example/rates"_s;
    }

    void commandsLaunchTheSelectedPage()
    {
        QFETCH(QString, autoLaunch);
        QFETCH(bool, byButton);
        QFETCH(QString, address);
        QVERIFY(Start(UserPageIni));
        // The stored key counts, not the window's copy: the options dialog writes only the file.
        QVERIFY(App().gSession->Settings().Section(u"_WGX_GENERAL"_s).Key(u"AUTO_LAUNCH"_s).SetValue(autoLaunch));
        Weigh(0.75);
        if (byButton) {
            QTest::mouseClick(Scale()->Button(u"picWeb"_s), Qt::LeftButton, {}, QPoint(5, 5));
        } else {
            for (QAction* item : Scale()->PopupMenu()->actions())
                if (item->text() == u"Go to Selected Web Page"_s)
                    item->trigger();
        }
        QCOMPARE(mMade.navigations, QStringList {address});
        QCOMPARE(mUses, QList<WebPageUse> {WebPageUse::Launcher});
        QVERIFY(LastBrowser()->visible);
        QCOMPARE(App().gSession->Launcher()->WebHelper()->Weight(), 0.75);
        QVERIFY(Scale()->IsBrowserExist());
        QVERIFY(!Scale()->BrowserMessage());
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
        App().gSession->SetBrowserPreparer([&calls](QString*) {
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
        std::int32_t settled = 2;
        Scale()->m_objScaleCalc_StatusChange(settled);
        QCOMPARE(mMade.made.size(), 1);
        RecordingBrowser* first = LastBrowser();
        first->page->Add(u"weightType"_s);
        first->page->Add(u"weight"_s);
        Q_EMIT first->ProgressChange(0, 0);
        QCOMPARE(first->page->Field(u"weight"_s)->value, u"1.102"_s); // 0.5 kg in pounds

        // Open: a settled weight leaves it alone, an explicit command refills it in place.
        Weigh(1.0);
        Scale()->m_objScaleCalc_StatusChange(settled);
        QCOMPARE(mMade.navigations.size(), 1);
        QTest::mouseClick(Scale()->Button(u"picWeb"_s), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(mMade.made.size(), 1);
        QCOMPARE(first->page->Field(u"weight"_s)->value, u"2.205"_s);

        // Closed by the user: the next settled weight opens the page again.
        first->Close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Scale()->IsBrowserExist());
        std::int32_t ready = 1;
        Scale()->m_objScaleCalc_StatusChange(ready);
        QCOMPARE(mMade.made.size(), 1);
        Scale()->m_objScaleCalc_StatusChange(settled);
        QCOMPARE(mMade.made.size(), 2);
        QCOMPARE(mMade.navigations, QStringList(2, CCarrierPages::UpsAddress()));
    }

    void missingBrowserIsExplained_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("realLocator"); // the program's own browser search, on an empty PATH
        QTest::newRow("settled weight, twice: one box") << u"settle"_s << false;
        QTest::newRow("converter") << u"converter"_s << false;
        QTest::newRow("web button, real search finds nothing") << u"button"_s << true;
    }

    void missingBrowserIsExplained()
    {
        QFETCH(QString, command);
        QFETCH(bool, realLocator);
        mMade.refusal = u"No browser here. Install Chromium: sudo apt install chromium"_s;
        QVERIFY(Start(u"[_WGX_GENERAL]\nAUTO_LAUNCH=2\n"_s));
        QVERIFY(WriteFile(App().gSession->ConverterPage(), u"<html></html>"_s));
        QTemporaryDir emptyBin;
        std::optional<ScopedEnv> path;
        std::optional<ScopedEnv> browser;
        if (realLocator) {
            path.emplace("PATH", QFile::encodeName(emptyBin.path()));
            browser.emplace("PESAVO_BROWSER", QByteArray(), true);
            auto source = std::make_shared<CBrowserSource>(BrowserLocator::Defaults());
            App().gBrowserFactory = [source](WebPageUse use, QString* error) {
                return source->OpenPage(use, error);
            };
        }
        std::int32_t settled = 2;
        for (int i = 0; i < (command == u"settle"_s ? 2 : 1); ++i) {
            if (command == u"converter"_s)
                QTest::mouseClick(Scale()->Button(u"picConv"_s), Qt::LeftButton, {}, QPoint(5, 5));
            else if (command == u"settle"_s)
                Scale()->m_objScaleCalc_StatusChange(settled);
            else
                QTest::mouseClick(Scale()->Button(u"picWeb"_s), Qt::LeftButton, {}, QPoint(5, 5));
        }

        QList<QMessageBox*> boxes;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                boxes << box;
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.first()->icon(), QMessageBox::Warning);
        QVERIFY2(boxes.first()->text().contains(u"Install Chromium: sudo apt install chromium"_s),
                 qPrintable(boxes.first()->text()));
        // The program goes on: the box closes, the scale and the settings are untouched.
        boxes.first()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Scale()->BrowserMessage());
        QVERIFY(!Scale()->IsBrowserExist());
        QCOMPARE(mRun.Stored(u"_WGX_GENERAL"_s, u"AUTO_LAUNCH"_s), u"2"_s);
    }

    void converterOpensItsPage()
    {
        QVERIFY(Start());
        QFile::remove(App().gSession->ConverterPage());
        QTest::mouseClick(Scale()->Button(u"picConv"_s), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(Scale()->BrowserMessage());
        QVERIFY(Scale()->BrowserMessage()->text().contains(App().gSession->ConverterPage()));
        QVERIFY(mMade.made.isEmpty());

        QVERIFY(WriteFile(App().gSession->ConverterPage(), u"<html></html>"_s));
        for (int click = 0; click < 2; ++click) // the second before the page has loaded
            QTest::mouseClick(Scale()->Button(u"picConv"_s), Qt::LeftButton, {}, QPoint(5, 5));
        const QString url = QUrl::fromLocalFile(App().gSession->ConverterPage()).toString();
        QCOMPARE(mMade.navigations, QStringList {url});
        QCOMPARE(mUses, QList<WebPageUse> {WebPageUse::Converter});
        QVERIFY(LastBrowser()->visible);

        // Loaded: the weight goes in, in the display unit.
        App().General().unit = 1;
        Weigh(0.5);
        RecordingBrowser* page = LastBrowser();
        page->page->Add(u"unit"_s);
        page->page->Add(u"InUnit"_s);
        Q_EMIT page->ProgressChange(0, 0);
        QCOMPARE(page->writes.mid(0, 2), (QStringList {u"unit.value=LB"_s, u"InUnit.value=1.102"_s}));
        QVERIFY(!App().gSession->Converter()->Pending());
    }

    void launcherAndConverterShareTheBrowser()
    {
        // The keeper serves one client: a second connection would close the first page behind our back.
        const BrowserLaunchOptions options = BrowserFixture::LaunchOptions(mRun.Path(), 2000);
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
    bool Start(const QString& ini = QString())
    {
        // Browsers are made on first use, so the recording one can come after the start.
        const bool started = mRun.Start(ini, {}, false, [this]() -> std::unique_ptr<UsbDevice> {
            auto device = std::make_unique<FeedUsbDevice>();
            mFeed = device.get();
            return device;
        });
        App().gBrowserFactory = [this](WebPageUse use, QString* error) {
            auto browser = mMade.Make(error);
            if (browser)
                mUses << use; // what each page was opened for
            return browser;
        };
        return started;
    }

    frmScale* Scale() const { return App().gScaleForm; }
    void Weigh(double kilograms)
    {
        ProgramRun::Weigh(*mFeed, kilograms);
        QCOMPARE(App().gSession->Weight(), kilograms);
    }
    RecordingBrowser* LastBrowser() const { return mMade.Last(); }

    ProgramRun::Folder mRun;
    FeedUsbDevice* mFeed = nullptr;
    RecordingBrowsers mMade;
    QList<WebPageUse> mUses;
};

QTEST_MAIN(tst_WebLaunch)
#include "tst_weblaunch.moc"
