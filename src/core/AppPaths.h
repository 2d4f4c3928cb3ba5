#pragma once

#include <QString>

// Where the program keeps its files. The settings files sit beside the executable
// when its folder is writable and it is not an installed copy (a <prefix>/bin with
// <prefix>/share/pesavo beside it), so an unpacked folder stays self-contained;
// otherwise they live in $XDG_CONFIG_HOME/pesavo (made 0700 at every start when it is ours).
// conversion.html is taken from beside the executable, else from the installed
// data folder <prefix>/share/pesavo.
class AppPaths final
{
public:
    // Empty arguments mean the real ones: the executable's folder and
    // $XDG_CONFIG_HOME (or ~/.config). Tests pass folders of their own.
    explicit AppPaths(const QString& programDir = QString(), const QString& configHome = QString());

    QString ProgramDir() const { return mProgramDir; }
    // With exactly one trailing '/'.
    QString SettingsDir() const { return mSettingsDir; }
    bool Portable() const { return mPortable; }
    QString Data1Path() const { return mSettingsDir + QStringLiteral("Data1.ini"); }
    QString Data2Path() const { return mSettingsDir + QStringLiteral("Data2.ini"); }
    // The first place where the page exists; when it exists nowhere, the installed
    // place, so a message can say where it was expected.
    QString ConvPagePath() const { return mConvPagePath; }
    // Empty when the settings folder exists or was created.
    QString Error() const { return mError; }

    static QString DefaultConfigHome();

private:
    QString mProgramDir;
    QString mSettingsDir;
    QString mConvPagePath;
    QString mError;
    bool mPortable = false;
};
