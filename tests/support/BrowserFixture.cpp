#include "BrowserFixture.h"

#include "BrowserConnection.h"
#include "BrowserLocator.h"
#include "DevToolsSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <utility>

using Json = nlohmann::json;

BrowserFixture& BrowserFixture::Instance()
{
    static BrowserFixture* instance = nullptr;
    if (!instance) {
        instance = new BrowserFixture;
        qAddPostRoutine([] { delete std::exchange(instance, nullptr); });
    }
    return *instance;
}

BrowserLaunchOptions BrowserFixture::LaunchOptions(const QString& folder, int idleExitMs)
{
    BrowserLaunchOptions options;
    options.browserPath = BrowserLocator::FindBrowser();
    options.keeperPath = KeeperPath();
    options.profileDir = folder + QStringLiteral("/profile");
    options.socketPath = folder + QStringLiteral("/browser.sock");
    options.headless = true;
    options.idleExitMs = idleExitMs;
    return options;
}

std::unique_ptr<WebBrowser> BrowserFixture::OpenPage(QString* error)
{
    auto page = Instance().NewPage();
    if (!page && error)
        *error = Instance().LastError();
    return page;
}

std::unique_ptr<WebBrowser> BrowserFixture::OpenPatientPage(QString* error)
{
    auto page = Instance().NewPage(PatientMs);
    if (!page && error)
        *error = Instance().LastError();
    return page;
}

bool BrowserFixture::RunPageTimers(ChromiumBrowser& page, int ms)
{
    // Timers run in the order they fall due: one already running with a shorter period fires first.
    const std::string wait = "new Promise(done => setTimeout(done, " + std::to_string(ms) + "))";
    return page.Session()
        ->Call("Runtime.evaluate", {{"expression", wait}, {"awaitPromise", true}}, page.SessionId(), PatientMs)
        .has_value();
}

BrowserFixture::BrowserFixture()
    // If the test binary dies, the keeper takes the browser down soon after instead of leaving it behind.
    : mOptions(LaunchOptions(mDir.path(), 3000))
{
    // PESAVO_TEST_HEADED=1 under an X server runs the same checks in a real window (what users have).
    mOptions.headless
        = qEnvironmentVariableIntValue("PESAVO_TEST_HEADED") == 0 || qEnvironmentVariableIsEmpty("DISPLAY");
    BrowserConnection::Result connection = BrowserConnection::Open(mOptions);
    if (!connection.session) {
        mLastError = connection.error;
        qWarning("Browser fixture: %s", qPrintable(mLastError));
        return;
    }
    mSession = connection.session;
    mInterceptor = mSession->AddInterceptor([this](const Json& event) { return OnRequestPaused(event); });
}

BrowserFixture::~BrowserFixture()
{
    if (!mSession)
        return;
    mSession->RemoveInterceptor(mInterceptor);
    mSession->Call("Browser.close", Json::object(), {}, 3000);
    mSession->Close();
    mSession.reset();
    // The keeper removes its socket once the browser has exited; only then is the profile free to delete.
    QElapsedTimer timer;
    timer.start();
    while (QFileInfo::exists(mOptions.socketPath) && timer.elapsed() < 5000)
        QThread::msleep(20);
}

void BrowserFixture::ServeTaughtShop()
{
    Serve(QStringLiteral("https://shop.example.test/"), QStringLiteral("userpage/shop.html"));
    for (const char* host : {"shop.example.test", "parcels.courier.test", "labels.example.test"})
        Serve(QStringLiteral("https://%1/parcel.html").arg(QLatin1String(host)),
              QStringLiteral("userpage/parcel.html"));
}

void BrowserFixture::Serve(const QString& urlPrefix, const QString& fixtureFile)
{
    // An absolute file name stays as it is.
    mServed[urlPrefix] = Reply {QDir(QStringLiteral(PESAVO_TEST_FIXTURES)).filePath(fixtureFile),
                                {},
                                QByteArrayLiteral("text/html; charset=utf-8"),
                                false};
}

void BrowserFixture::ServeFolder(const QString& urlPrefix, const QString& folder)
{
    Serve(urlPrefix, folder);
    mServed[urlPrefix].folder = true;
}

std::unique_ptr<ChromiumBrowser> BrowserFixture::NewPage(int domTimeoutMs)
{
    if (!mSession || !mSession->IsOpen())
        return nullptr;
    auto page = std::make_unique<ChromiumBrowser>(mSession);
    if (domTimeoutMs > 0)
        page->SetDomTimeout(domTimeoutMs);
    if (!page->OpenNewPage(false))
        return nullptr;
    const Json patterns = Json::array({{{"urlPattern", "http://*"}, {"requestStage", "Request"}},
                                       {{"urlPattern", "https://*"}, {"requestStage", "Request"}}});
    if (!mSession->Call("Fetch.enable", {{"patterns", patterns}}, page->SessionId()))
        return nullptr;
    return page;
}

bool BrowserFixture::Load(ChromiumBrowser& page, const QString& url, int timeoutMs)
{
    QSignalSpy loaded(&page, &WebBrowser::ProgressChange);
    return page.Navigate(url) && QTest::qWaitFor([&loaded] { return loaded.contains(QVariantList {0, 0}); }, timeoutMs);
}

bool BrowserFixture::OnRequestPaused(const Json& event)
{
    if (event.value("method", std::string()) != "Fetch.requestPaused")
        return false;
    const Json params = event.value("params", Json::object());
    const QString url = QString::fromStdString(params.value("request", Json::object()).value("url", std::string()));
    // Of the prefixes a URL starts with, the longest sorts last.
    const Reply* match = nullptr;
    QString rest;
    for (const auto& [prefix, reply] : mServed) {
        if (url.startsWith(prefix)) {
            match = &reply;
            rest = QUrl(url).path().mid(QUrl(prefix).path().size());
        }
    }
    if (match && match->hold)
        return true;
    QString path = match ? match->file : QString();
    QByteArray folderType;
    if (match && match->folder) {
        const QFileInfo info(QDir(path).filePath(rest));
        // Only files below the folder: a "../" in the address is not followed.
        path = info.canonicalFilePath().startsWith(QDir(path).canonicalPath() + u'/') ? info.canonicalFilePath()
                                                                                      : QString();
        folderType = path.endsWith(QStringLiteral(".js")) ? QByteArrayLiteral("text/javascript; charset=utf-8")
                                                          : QByteArrayLiteral("text/html; charset=utf-8");
    }
    QFile file(path);
    if (match && !match->file.isEmpty() && (path.isEmpty() || !file.open(QIODevice::ReadOnly))) {
        if (!match->folder)
            qWarning("Browser fixture: cannot read %s", qPrintable(match->file));
        match = nullptr;
    }
    QByteArray body = QByteArrayLiteral("<html><body>Not served offline</body></html>");
    if (match)
        body = match->file.isEmpty() ? match->body : file.readAll();
    const QByteArray type = !folderType.isEmpty() ? folderType
        : match                                   ? match->contentType
                                                  : QByteArrayLiteral("text/html; charset=utf-8");
    const Json headers = Json::array({{{"name", "Content-Type"}, {"value", type.toStdString()}}});
    mSession->Send("Fetch.fulfillRequest",
                   {{"requestId", params.value("requestId", std::string())},
                    {"responseCode", match ? 200 : 404},
                    {"responseHeaders", headers},
                    {"body", body.toBase64().toStdString()}},
                   event.value("sessionId", std::string()));
    return true;
}
