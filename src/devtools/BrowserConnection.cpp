#include "BrowserConnection.h"

#include "BrowserLocator.h"
#include "DevToolsPipe.h"
#include "DevToolsSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <thread>

namespace {
constexpr int kKeeperStartMs = 5000;
// A cold browser start on a loaded machine takes a few seconds before it answers.
constexpr int kFirstReplyMs = 20000;
// A keeper that closed our connection removes its socket right after.
constexpr int kKeeperLeavesMs = 1000;
} // namespace

std::shared_ptr<DevToolsSession> BrowserConnection::Share(DevToolsSession* session)
{
    return std::shared_ptr<DevToolsSession>(session);
}

bool BrowserConnection::IsListening(const QString& socketPath)
{
    QString ignored;
    return DevToolsPipe::ConnectUnix(socketPath, &ignored) != nullptr;
}

bool BrowserConnection::StartKeeper(const BrowserLaunchOptions& options, QString* error)
{
    if (options.browserPath.isEmpty()) {
        *error = BrowserLocator::InstallHint();
        return false;
    }
    if (options.keeperPath.isEmpty() || !QFileInfo(options.keeperPath).isExecutable()) {
        *error = QStringLiteral("The browser keeper pesavo-browser-keeper is missing; reinstall Pesavo.");
        return false;
    }
    // The profile keeps the carriers' cookies and whatever the browser remembers of forms: the
    // user's alone, also when an older version left it open to others.
    QDir().mkpath(options.profileDir);
    QFile::setPermissions(options.profileDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QDir().mkpath(QFileInfo(options.socketPath).absolutePath());
    QStringList args = {QStringLiteral("--socket"), options.socketPath};
    if (options.idleExitMs > 0)
        args << QStringLiteral("--idle-exit-ms") << QString::number(options.idleExitMs);
    if (options.windowless && options.windowlessExitMs > 0)
        args << QStringLiteral("--windowless-exit-ms") << QString::number(options.windowlessExitMs);
    args << QStringLiteral("--") << options.browserPath << BrowserLocator::BrowserArguments(options);
    QProcess keeper;
    keeper.setProgram(options.keeperPath);
    keeper.setArguments(args);
    keeper.setStandardOutputFile(QProcess::nullDevice());
    keeper.setStandardErrorFile(QProcess::nullDevice());
    if (!keeper.startDetached()) {
        *error = QStringLiteral("Could not start the browser keeper %1").arg(options.keeperPath);
        return false;
    }
    return true;
}

BrowserConnection::Result BrowserConnection::Open(const BrowserLaunchOptions& options)
{
    QElapsedTimer clock;
    clock.start();
    Result result = OpenOnce(options, clock);
    // A keeper whose browser has just died (killed, crashed) may still take our connection in the instant
    // before it leaves; it then closes it unanswered, and removes its socket as it goes: start afresh, once.
    if (!result.session && result.reusedKeeper && result.connectionClosed) {
        QElapsedTimer gone;
        gone.start();
        while (QFileInfo::exists(options.socketPath) && gone.elapsed() < kKeeperLeavesMs)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        result = OpenOnce(options, clock);
    }
    return result;
}

BrowserConnection::Result BrowserConnection::OpenOnce(const BrowserLaunchOptions& options, const QElapsedTimer& clock)
{
    Result result;
    QString connectError;
    std::unique_ptr<DevToolsPipe> pipe = DevToolsPipe::ConnectUnix(options.socketPath, &connectError);
    if (!pipe) {
        if (!StartKeeper(options, &result.error))
            return result;
        // The keeper listens before it starts the browser and stays until we have connected, so this wait
        // is short and ends on a socket; what we send is queued in the pipe until the browser reads it.
        QElapsedTimer timer;
        timer.start();
        while (!pipe && timer.elapsed() < kKeeperStartMs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            pipe = DevToolsPipe::ConnectUnix(options.socketPath, &connectError);
        }
        if (!pipe) {
            result.error = QStringLiteral("The browser keeper did not answer: %1").arg(connectError);
            return result;
        }
        result.freshBrowser = true;
    }
    result.keeperMs = clock.elapsed();
    result.reusedKeeper = !result.freshBrowser;
    auto session = Share(new DevToolsSession(std::move(pipe)));
    // Target events tell us when the user closes our window.
    if (!session->Call("Target.setDiscoverTargets", {{"discover", true}}, {}, kFirstReplyMs)) {
        // A keeper whose browser is gone closes the connection once we are on it, whether the browser went
        // before or after we connected: so a browser that cannot run always gets this message.
        result.connectionClosed = !session->IsOpen();
        if (result.connectionClosed)
            result.error = QStringLiteral("The web browser %1 quit as soon as it started. Start it by hand to see why.")
                               .arg(options.browserPath);
        else
            result.error = QStringLiteral("The browser does not answer: %1").arg(session->LastError());
        return result;
    }
    result.browserMs = clock.elapsed();
    result.session = std::move(session);
    return result;
}
