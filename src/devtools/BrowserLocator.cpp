#include "BrowserLocator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

QString BrowserLocator::FindBrowser()
{
    const QString fromEnv = qEnvironmentVariable("PESAVO_BROWSER");
    if (!fromEnv.isEmpty()) {
        const QFileInfo info(fromEnv);
        if (info.isAbsolute())
            return info.isExecutable() ? fromEnv : QString();
        return QStandardPaths::findExecutable(fromEnv);
    }
    const QStringList names
        = {QStringLiteral("chromium"),      QStringLiteral("chromium-browser"), QStringLiteral("google-chrome-stable"),
           QStringLiteral("google-chrome"), QStringLiteral("microsoft-edge"),   QStringLiteral("brave-browser")};
    for (const QString& name : names) {
        const QString found = QStandardPaths::findExecutable(name);
        if (found.isEmpty())
            continue;
        // Debian's wrapper script prints its own notices on every start; the real binary does not.
        const QString real = QStringLiteral("/usr/lib/chromium/chromium");
        if (QFileInfo(found).canonicalFilePath() == QStringLiteral("/usr/bin/chromium")
            && QFileInfo(real).isExecutable())
            return real;
        return found;
    }
    return {};
}

QString BrowserLocator::FindKeeper()
{
    const QString name = QStringLiteral("pesavo-browser-keeper");
    const QString fromEnv = qEnvironmentVariable("PESAVO_BROWSER_KEEPER");
    if (!fromEnv.isEmpty())
        return fromEnv;
    if (QCoreApplication::instance()) {
        const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
        if (QFileInfo(beside).isExecutable())
            return beside;
    }
    return QStandardPaths::findExecutable(name);
}

QString BrowserLocator::DefaultProfileDir()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::home().filePath(QStringLiteral(".local/share"));
    return QDir(base).filePath(QStringLiteral("pesavo/browser"));
}

QString BrowserLocator::DefaultSocketPath()
{
    // $XDG_RUNTIME_DIR, or without one a private 0700 folder of ours that Qt checks for its owner: never a
    // shared folder, where another user could sit on the name and receive what we send to the browser.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(QStringLiteral("pesavo-browser.sock"));
}

BrowserLaunchOptions BrowserLocator::Defaults()
{
    BrowserLaunchOptions options;
    options.browserPath = FindBrowser();
    options.keeperPath = FindKeeper();
    options.profileDir = DefaultProfileDir();
    options.socketPath = DefaultSocketPath();
    return options;
}

QStringList BrowserLocator::BrowserArguments(const BrowserLaunchOptions& options)
{
    // Carriers refuse browsers that announce automation: no --enable-automation, and the blink feature
    // that sets navigator.webdriver stays off. The background services would only phone home.
    QStringList args = {QStringLiteral("--remote-debugging-pipe"),
                        QStringLiteral("--user-data-dir=") + options.profileDir,
                        QStringLiteral("--no-first-run"),
                        QStringLiteral("--no-default-browser-check"),
                        QStringLiteral("--disable-blink-features=AutomationControlled"),
                        QStringLiteral("--disable-background-networking"),
                        QStringLiteral("--disable-component-update"),
                        QStringLiteral("--disable-sync")};
    // Nothing of these is seen by the user; each saves start-up work on a machine without a desktop session.
    args << QStringLiteral("--disable-breakpad") << QStringLiteral("--disable-default-apps")
         << QStringLiteral("--disable-dev-shm-usage");
    if (options.headless) // the tests' browser: no keyring to ask, no extensions to load
        args << QStringLiteral("--headless=new") << QStringLiteral("--disable-gpu")
             << QStringLiteral("--password-store=basic") << QStringLiteral("--disable-extensions");
    if (::geteuid() == 0) // the sandbox refuses to run as root
        args << QStringLiteral("--no-sandbox") << QStringLiteral("--test-type");
    args << options.extraArguments;
    if (options.windowless)
        args << QStringLiteral("--no-startup-window");
    else // the first tab becomes our page: a blank one is ready at once, the new-tab page takes most of a second
        args << QStringLiteral("about:blank");
    return args;
}

QString BrowserLocator::InstallHint()
{
    return QStringLiteral("No Chromium-family web browser was found. Install Chromium: sudo apt install chromium");
}
