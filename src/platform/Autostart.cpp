#include "Autostart.h"

#include "DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QString fileStem(const QString& name)
{
    QString stem;
    for (const QChar c : name.toLower()) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
        stem += plain ? c : u'-';
    }
    return stem.isEmpty() ? QStringLiteral("pesavo") : stem;
}

// One argument of an Exec key: quoted when it holds a reserved character, with
// '"', '`', '$' and '\' escaped inside the quotes.
QString quoteArgument(const QString& arg)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = arg.isEmpty();
    for (const QChar c : arg)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString out;
    if (needsQuotes) {
        out += u'"';
        for (const QChar c : arg) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                out += u'\\';
            out += c;
        }
        out += u'"';
    } else {
        out = arg;
    }
    // A literal '%' is written twice so it is not taken for a field code.
    out.replace(u'%', QStringLiteral("%%"));
    return out;
}

// The value of a string key escapes its backslashes once more.
QString escapeValue(const QString& value)
{
    QString out;
    for (const QChar c : value) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

} // namespace

QString Autostart::EntryPath(const QString& name)
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/autostart/") + fileStem(name) + QStringLiteral(".desktop");
}

QString Autostart::ExecLine(const QString& program)
{
    return escapeValue(quoteArgument(program) + QStringLiteral(" /s"));
}

bool Autostart::RegisterStartup(bool flag, const QString& name, const QString& program, QString* error)
{
    const QString path = EntryPath(name);
    if (!flag) {
        if (!QFileInfo::exists(path) || QFile::remove(path))
            return true;
        if (error)
            *error = QStringLiteral("cannot remove %1").arg(path);
        return false;
    }
    if (program.isEmpty()) {
        if (error)
            *error = QStringLiteral("no program to start");
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=%1\n"
                                         "Exec=%2\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(escapeValue(name), ExecLine(program));
    QSaveFile out(path);
    const QByteArray bytes = entry.toUtf8();
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, out.errorString());
        return false;
    }
    return true;
}

bool Autostart::IsRegistered(const QString& name)
{
    QFile in(EntryPath(name));
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = in.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.trimmed() == "Hidden=true")
            return false;
    }
    return true;
}

bool Autostart::RepairEntry(const QString& program, const QString& name)
{
    if (!IsRegistered(name) || program.isEmpty())
        return false;
    const QStringList exec = DesktopEntry::SplitExec(DesktopEntry::Load(EntryPath(name)).Value(QStringLiteral("Exec")));
    const QString first = exec.value(0);
    const QFileInfo target(QDir::isAbsolutePath(first) ? first : QStandardPaths::findExecutable(first));
    if (!first.isEmpty() && target.isFile() && target.isExecutable())
        return false;
    return RegisterStartup(true, name, program);
}
