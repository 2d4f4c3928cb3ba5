// The browser prepared as the weight leaves zero: a real Chromium (headed when there is a display) that
// shows no window until the launch, then opens one on the page and fills it; a prepared browser that is
// gone by then gives way to a cold launch without a word; the browser left without a window is closed.
#include "BrowserConnection.h"
#include "BrowserFixture.h"
#include "CBrowserSource.h"
#include "CPageLauncher.h"
#include "CWebHelper.h"
#include "DevToolsPipe.h"
#include "DevToolsSession.h"
#include "IniFile.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
constexpr int kBrowserMs = 30000;
// How long the keeper leaves a browser without a window here; in use it is ten minutes. It runs from the
// browser's first answer and from the client's last message, so a slow start or launch is not cut short.
constexpr int kWindowlessMs = 3000;

// The keeper holds its lock until its browser has exited.
bool KeeperGone(const QString& socketPath)
{
    const int fd = ::open(QFile::encodeName(socketPath + u".lock"_s).constData(), O_RDWR | O_CLOEXEC);
    const bool free = fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (fd >= 0)
        ::close(fd);
    return free;
}

int PageCount(const std::shared_ptr<DevToolsSession>& session)
{
    const auto targets = session->Call("Target.getTargets", nlohmann::json::object(), {}, kBrowserMs);
    if (!targets) {
        qWarning().noquote() << "Target.getTargets:" << session->LastError();
        return -1;
    }
    int pages = 0;
    for (const auto& info : (*targets)["targetInfos"])
        pages += info.value("type", std::string()) == "page" ? 1 : 0;
    return pages;
}
} // namespace

class TestPreparedBrowser : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void launchOpensTheOnlyWindow_data()
    {
        QTest::addColumn<bool>("goneBeforeLaunch");
        QTest::newRow("prepared") << false;
        QTest::newRow("prepared browser gone: cold launch") << true;
    }
    void launchOpensTheOnlyWindow()
    {
        QFETCH(bool, goneBeforeLaunch);
        QTemporaryDir dir(u"/tmp/pp-XXXXXX"_s);
        BrowserLaunchOptions options = BrowserFixture::LaunchOptions(dir.path(), 0);
        if (options.browserPath.isEmpty())
            QSKIP("no Chromium-family browser installed");
        options.headless = qEnvironmentVariableIsEmpty("DISPLAY");
        const QString page = QUrl::fromLocalFile(QStringLiteral(PESAVO_TEST_FIXTURES "/browser/form.html")).toString();
        IniFile ini;
        QVERIFY(WriteFile(dir.filePath(u"Data1.ini"_s),
                          u"[_WGX_GENERAL]\nAUTO_LAUNCH=9\n[Shop]\n_WGX_ADDRESS="_s + page
                              + u"\n_WGX_WGT_TYPE=,kg\n_WGX_TEXT=0_wgx_weight\n0_wgx_weight=kg\n"_s));
        QVERIFY(ini.OpenFile(dir.filePath(u"Data1.ini"_s)));

        CBrowserSource source(options);
        source.SetPreparedIdleMs(kWindowlessMs);
        CWebHelper::Accessors accessors;
        accessors.makeBrowser = [&source](QString* error) {
            return source.OpenPage(WebPageUse::Launcher, error);
        };
        accessors.currentWeight = [] {
            return 0.5;
        };
        accessors.displayUnit = [] {
            return 0;
        };
        accessors.prepareBrowser = [&source](QString* error) {
            return source.PrepareBrowser(error);
        };
        CPageLauncher launcher(ini, accessors,
                               [](int item) { return item == 10 ? std::optional<QString>(u"Shop"_s) : std::nullopt; });

        QVERIFY(launcher.PrepareBrowser());
        QVERIFY(!source.IsConnected()); // started, not waited for
        {
            // A look from outside, as the keeper's next client; the launch's connection replaces it.
            QString error;
            std::unique_ptr<DevToolsPipe> pipe;
            QTRY_VERIFY_WITH_TIMEOUT((pipe = DevToolsPipe::ConnectUnix(options.socketPath, &error)), kBrowserMs);
            const auto look = BrowserConnection::Share(new DevToolsSession(std::move(pipe)));
            QCOMPARE(PageCount(look), 0);
            if (goneBeforeLaunch)
                look->Call("Browser.close", nlohmann::json::object(), {}, kBrowserMs);
            look->Close();
        }
        if (goneBeforeLaunch)
            QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(options.socketPath), kBrowserMs);

        QVERIFY2(launcher.LaunchWebPage(), qPrintable(launcher.LastError()));
        QVERIFY(launcher.LastError().isEmpty());
        CWebHelper* helper = launcher.WebHelper();
        QTRY_VERIFY_WITH_TIMEOUT(helper->CurrentFiller()->IsFilled(), kBrowserMs);
        auto* window = qobject_cast<ChromiumBrowser*>(helper->Browser());
        QVERIFY(window);
        const auto document = window->Document();
        QVERIFY(document);
        QCOMPARE(document->All(u"weight"_s)->Value(), std::optional<QString>(u"0.5"_s));
        QCOMPARE(PageCount(window->Session()), 1);

        // The user closes the window: a browser started without one is left with none and its keeper closes
        // it; one started cold quits with its last window.
        QVERIFY(window->ClosePage());
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(options.socketPath), kWindowlessMs + kBrowserMs);
        QTRY_VERIFY_WITH_TIMEOUT(KeeperGone(options.socketPath), kBrowserMs); // the profile is free again
    }
};

QTEST_GUILESS_MAIN(TestPreparedBrowser)
#include "tst_preparedbrowser.moc"
