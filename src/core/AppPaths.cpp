#include "AppPaths.h"

#include "Utility.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace {

QString executableDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

bool writableFolder(const QString& dir)
{
    return QFileInfo(dir).isDir() && ::access(QFile::encodeName(dir).constData(), W_OK) == 0;
}

} // namespace

AppPaths::AppPaths(const QString& programDir, const QString& configHome)
{
    mProgramDir = Utility::AddPathSep(programDir.isEmpty() ? executableDir() : programDir);
    const QString installedData = QDir::cleanPath(mProgramDir + QStringLiteral("../share/pesavo")) + u'/';
    const bool installed = QFileInfo(installedData).isDir();

    mPortable = !installed && writableFolder(mProgramDir);
    if (mPortable) {
        mSettingsDir = mProgramDir;
    } else {
        mSettingsDir
            = Utility::AddPathSep(configHome.isEmpty() ? DefaultConfigHome() : configHome) + QStringLiteral("pesavo/");
        // Settings hold addresses and what was typed into pages; only the user reads them. The folder is
        // ours alone, so it is made private at every start, also when an older version left it open. A
        // portable program folder is left as it is: it is the user's own, shared with the program and
        // maybe others, and the files in it are private by themselves.
        const QFileDevice::Permissions owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
        if (!QFileInfo(mSettingsDir).isDir() && !QDir().mkpath(mSettingsDir)) {
            mError = QStringLiteral("cannot create the settings folder %1").arg(mSettingsDir);
            qWarning().noquote() << mError;
        } else if (QFileInfo(mSettingsDir).ownerId() == ::geteuid() && !QFile::setPermissions(mSettingsDir, owner)) {
            qWarning().noquote() << "cannot make the settings folder" << mSettingsDir << "private";
        }
    }

    const QString beside = mProgramDir + QStringLiteral("conversion.html");
    mConvPagePath = QFileInfo::exists(beside) ? beside : installedData + QStringLiteral("conversion.html");
}

QString AppPaths::DefaultConfigHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}
