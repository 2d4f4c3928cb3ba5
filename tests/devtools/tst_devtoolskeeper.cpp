#include "BrowserFixture.h"
#include "ChromiumBrowser.h"
#include "DevToolsSession.h"
#include "ScopedEnv.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kPage = u"data:text/html,<input name=w><input name=x>"_s;

// The keeper removes its socket when it ends.
bool WaitGone(const QString& path, int timeoutMs)
{
    return QTest::qWaitFor([&path] { return !QFileInfo::exists(path); }, timeoutMs);
}
} // namespace

// The keeper process: the browser survives our program, a later run finds it again, and a launch that
// cannot work says why instead of hanging.
class TestDevToolsKeeper : public QObject
{
    Q_OBJECT
    // The keeper's idle end is a safety net should the test die; far longer than our reconnect gap.
    static constexpr int kIdleExitMs = 20000;

private Q_SLOTS:
    void browserOutlivesClientAndIsFoundAgain()
    {
        QTemporaryDir dir(u"/tmp/pk-XXXXXX"_s);
        const BrowserLaunchOptions options = BrowserFixture::LaunchOptions(dir.path(), kIdleExitMs);
        QVERIFY2(!options.browserPath.isEmpty(), "a Chromium-family browser is needed for this test");
        // A socket file left by a keeper that crashed must not stop the launch.
        QVERIFY(WriteBytes(options.socketPath, {}));

        std::string targetId;
        {
            auto first = ChromiumBrowser::Launch(options);
            QVERIFY2(first->IsAlive(), qPrintable(first->LastError()));
            struct stat info
            {
            };
            QCOMPARE(::stat(options.socketPath.toLocal8Bit().constData(), &info), 0);
            QVERIFY(S_ISSOCK(info.st_mode));
            QCOMPARE(info.st_mode & 0777, mode_t(0600));
            targetId = first->TargetId();
        } // our side goes away, as when Pesavo exits

        QThread::msleep(500);
        QVERIFY(QFileInfo::exists(options.socketPath));
        // A later run opens a window of its own and leaves the one the user may still be reading alone.
        auto second = ChromiumBrowser::Launch(options);
        QVERIFY2(second->IsAlive(), qPrintable(second->LastError()));
        QVERIFY(second->TargetId() != targetId);
        const auto pages = second->Session()->Call("Target.getTargets");
        QVERIFY(pages);
        bool oldPageKept = false;
        for (const auto& info : (*pages)["targetInfos"])
            oldPageKept = oldPageKept || info.value("targetId", std::string()) == targetId;
        QVERIFY(oldPageKept);

        // Closing the browser takes the keeper with it; we hear of it. The driver lets go of the browser
        // object in its quit handler, which drops the last reference to the connection while the
        // connection is still delivering the event.
        bool aliveAtQuit = true;
        bool quit = false;
        QObject guard;
        connect(second.get(), &WebBrowser::OnQuit, &guard, [&] {
            quit = true;
            aliveAtQuit = second->IsAlive() || second->Document();
            second.reset();
        });
        second->Session()->Call("Browser.close");
        QVERIFY(WaitGone(options.socketPath, 10000));
        QTRY_VERIFY_WITH_TIMEOUT(quit, 10000);
        QVERIFY(!aliveAtQuit);
    }

    // The browser as the user's PESAVO_BROWSER names it: an absolute path that is not there is no browser,
    // however many others are installed.
    void launchFailures_data()
    {
        QTest::addColumn<QString>("browser");
        QTest::addColumn<QString>("keeper");
        QTest::addColumn<QString>("message");
        const QString keeper = BrowserFixture::KeeperPath();
        QTest::newRow("no browser there") << u"/nonexistent/chromium"_s << keeper << u"sudo apt install chromium"_s;
        QTest::newRow("browser exits at once")
            << u"/bin/false"_s << keeper << u"/bin/false quit as soon as it started"_s;
        QTest::newRow("keeper missing") << u"/bin/false"_s << u"/nonexistent/keeper"_s << u"pesavo-browser-keeper"_s;
    }
    void launchFailures()
    {
        QFETCH(QString, browser);
        QFETCH(QString, keeper);
        QFETCH(QString, message);
        const ScopedEnv override("PESAVO_BROWSER", browser.toLocal8Bit());
        QTemporaryDir dir(u"/tmp/pk-XXXXXX"_s);
        BrowserLaunchOptions options = BrowserFixture::LaunchOptions(dir.path(), kIdleExitMs);
        options.keeperPath = keeper;
        auto browserObject = ChromiumBrowser::Launch(options);
        QSignalSpy quit(browserObject.get(), &WebBrowser::OnQuit);
        QVERIFY2(browserObject->LastError().contains(message), qPrintable(browserObject->LastError()));
        QVERIFY(!browserObject->IsAlive());
        QVERIFY(!browserObject->Navigate(kPage));
        QVERIFY(!browserObject->Document());
        QCoreApplication::processEvents();
        QCOMPARE(quit.count(), 0); // it never was open
        QVERIFY(WaitGone(options.socketPath, 5000)); // no keeper left behind
    }
};

QTEST_GUILESS_MAIN(TestDevToolsKeeper)
#include "tst_devtoolskeeper.moc"
