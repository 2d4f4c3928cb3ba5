#pragma once

#include "BrowserLaunchOptions.h"
#include "ChromiumBrowser.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <map>
#include <memory>

class DevToolsSession;

// One headless browser per test binary, a fresh page per test, and the carriers' https addresses served
// offline from tests/fixtures through request interception. Every request the pages make is answered by
// us: a known prefix with its file, anything else with 404, so no test depends on the network.
class BrowserFixture final : public QObject
{
    Q_OBJECT
public:
    // Started on first use; stopped when the application object goes.
    static BrowserFixture& Instance();
    ~BrowserFixture() override;

    // The keeper built with the tests.
    static QString KeeperPath() { return QStringLiteral(PESAVO_KEEPER_PATH); }
    // A headless browser of the test's own, its profile and socket in the folder (socket paths are
    // limited to 107 bytes: keep the folder short). The keeper ends it after idleExitMs without a client.
    static BrowserLaunchOptions LaunchOptions(const QString& folder, int idleExitMs);
    const BrowserLaunchOptions& Options() const { return mOptions; }
    // A new page of the shared browser, or nullptr and why: what the program's browser factory gives.
    static std::unique_ptr<WebBrowser> OpenPage(QString* error);
    // The same, its calls waiting up to PatientMs instead of the program's deadline: for tests that judge
    // what a page holds, not how soon it answers, so that a loaded machine cannot fail them.
    static std::unique_ptr<WebBrowser> OpenPatientPage(QString* error);
    static constexpr int PatientMs = 20000;
    // Lets the page's own timers due within `ms` run (a timeout of that length, awaited in the page): what
    // its script does on a timer, such as re-rendering fields from its state, is done when this returns.
    static bool RunPageTimers(ChromiumBrowser& page, int ms);

    bool IsReady() const { return mSession != nullptr; }
    QString LastError() const { return mLastError; }
    const std::shared_ptr<DevToolsSession>& Session() const { return mSession; }

    // Requests whose URL starts with the prefix get the file (a path relative to tests/fixtures, or
    // absolute); the longest matching prefix wins.
    void Serve(const QString& urlPrefix, const QString& fixtureFile);
    // A folder: the file at the rest of the URL's path (below the folder only), typed by its extension.
    void ServeFolder(const QString& urlPrefix, const QString& folder);
    // The shop a user teaches: its form page and the frame page on the shop's own host, another host of
    // the same site and another site.
    void ServeTaughtShop();
    void ServeBody(const QString& urlPrefix, const QByteArray& body,
                   const QByteArray& contentType = QByteArrayLiteral("text/html; charset=utf-8"))
    {
        mServed[urlPrefix] = Reply {{}, body, contentType, false};
    }
    // Requests with this prefix are never answered: a page that never finishes loading.
    void Hold(const QString& urlPrefix) { mServed[urlPrefix] = Reply {{}, {}, {}, true}; }
    void ClearServed() { mServed.clear(); }

    // A new page (tab) with interception on; nullptr when the browser is not running. Its calls wait up to
    // domTimeoutMs; 0 keeps the program's own deadline.
    std::unique_ptr<ChromiumBrowser> NewPage(int domTimeoutMs = 0);
    // Navigates and waits (event loop) for ProgressChange(0, 0). False on timeout.
    static bool Load(ChromiumBrowser& page, const QString& url, int timeoutMs = 15000);

private:
    BrowserFixture();
    bool OnRequestPaused(const nlohmann::json& event);

    struct Reply
    {
        QString file;
        QByteArray body;
        QByteArray contentType;
        bool hold = false;
        bool folder = false;
    };
    QTemporaryDir mDir;
    BrowserLaunchOptions mOptions;
    std::shared_ptr<DevToolsSession> mSession;
    std::map<QString, Reply> mServed;
    QString mLastError;
    int mInterceptor = 0;
};
