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
#include <QThread>

#include <utility>

namespace {
using Json = nlohmann::json;
QByteArray ContentTypeFor(const QString& file)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QStringLiteral("js"))
        return QByteArrayLiteral("application/javascript; charset=utf-8");
    if (suffix == QStringLiteral("css"))
        return QByteArrayLiteral("text/css; charset=utf-8");
    return QByteArrayLiteral("text/html; charset=utf-8");
}

std::string Text(const Json& object, const char* key)
{
    if (!object.is_object() || !object.contains(key) || !object[key].is_string())
        return {};
    return object[key].get<std::string>();
}
} // namespace

BrowserFixture& BrowserFixture::Instance()
{
    static BrowserFixture* instance = nullptr;
    if (!instance) {
        instance = new BrowserFixture;
        qAddPostRoutine([] { delete std::exchange(instance, nullptr); });
    }
    return *instance;
}

BrowserFixture::BrowserFixture()
{
    // Socket paths are limited to 107 bytes: keep them under a short temporary folder.
    mOptions.browserPath = BrowserLocator::FindBrowser();
    mOptions.keeperPath = KeeperPath();
    mOptions.profileDir = mDir.filePath(QStringLiteral("profile"));
    mOptions.socketPath = mDir.filePath(QStringLiteral("browser.sock"));
    // PESAVO_TEST_HEADED=1 under an X server runs the same checks in a real window (what users have).
    mOptions.headless
        = qEnvironmentVariableIntValue("PESAVO_TEST_HEADED") == 0 || qEnvironmentVariableIsEmpty("DISPLAY");
    // If the test binary dies, the keeper takes the browser down soon after instead of leaving it behind.
    mOptions.idleExitMs = 3000;
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
    Shutdown();
}

void BrowserFixture::Shutdown()
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
    const QString path = QFileInfo(fixtureFile).isAbsolute()
        ? fixtureFile
        : QDir(QStringLiteral(PESAVO_TEST_FIXTURES)).filePath(fixtureFile);
    mServed[urlPrefix] = Reply {path, {}, ContentTypeFor(path), false};
}

void BrowserFixture::ServeBody(const QString& urlPrefix, const QByteArray& body, const QByteArray& contentType)
{
    mServed[urlPrefix] = Reply {{}, body, contentType, false};
}

void BrowserFixture::Hold(const QString& urlPrefix)
{
    mServed[urlPrefix] = Reply {{}, {}, {}, true};
}

void BrowserFixture::ClearServed()
{
    mServed.clear();
}

std::unique_ptr<ChromiumBrowser> BrowserFixture::NewPage()
{
    if (!mSession || !mSession->IsOpen())
        return nullptr;
    auto page = std::make_unique<ChromiumBrowser>(mSession);
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
    if (!page.Navigate(url))
        return false;
    while (loaded.wait(timeoutMs)) {
        for (const QList<QVariant>& args : loaded) {
            if (args.at(0).toInt() == 0 && args.at(1).toInt() == 0)
                return true;
        }
    }
    return false;
}

bool BrowserFixture::OnRequestPaused(const Json& event)
{
    if (Text(event, "method") != "Fetch.requestPaused" || !event.contains("params"))
        return false;
    const Json& params = event["params"];
    const std::string requestId = Text(params, "requestId");
    const QString url = QString::fromStdString(Text(params.value("request", Json::object()), "url"));
    const std::string sessionId = Text(event, "sessionId");
    const Reply* match = nullptr;
    int matchLength = -1;
    for (const auto& [prefix, reply] : mServed) {
        if (url.startsWith(prefix) && prefix.size() > matchLength) {
            match = &reply;
            matchLength = int(prefix.size());
        }
    }
    if (match && match->hold)
        return true;
    int status = 404;
    QByteArray body = QByteArrayLiteral("<html><body>Not served offline</body></html>");
    QByteArray contentType = match ? match->contentType : QByteArrayLiteral("text/html; charset=utf-8");
    QFile file(match ? match->file : QString());
    if (match && match->file.isEmpty()) {
        status = 200;
        body = match->body;
    } else if (match && file.open(QIODevice::ReadOnly)) {
        status = 200;
        body = file.readAll();
    } else if (match) {
        qWarning("Browser fixture: cannot read %s", qPrintable(match->file));
    }
    if (status == 200)
        ++mAnswered;
    const Json headers = Json::array({{{"name", "Content-Type"}, {"value", contentType.toStdString()}}});
    mSession->Send("Fetch.fulfillRequest",
                   {{"requestId", requestId},
                    {"responseCode", status},
                    {"responseHeaders", headers},
                    {"body", body.toBase64().toStdString()}},
                   sessionId);
    return true;
}
