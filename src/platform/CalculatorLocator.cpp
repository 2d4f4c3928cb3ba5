#include "CalculatorLocator.h"

#include "DesktopEntry.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

namespace {

QString Resolve(const QString& program)
{
    if (program.isEmpty())
        return {};
    if (program.contains(u'/'))
        return QFileInfo(program).isExecutable() && QFileInfo(program).isFile() ? program : QString();
    return QStandardPaths::findExecutable(program);
}

bool Intersects(const QStringList& a, const QStringList& b)
{
    for (const QString& item : a) {
        if (b.contains(item, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

QStringList CalculatorLocator::KnownPrograms()
{
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),     QStringLiteral("galculator"),
            QStringLiteral("qalculate-gtk"),    QStringLiteral("mate-calc"), QStringLiteral("xcalc")};
}

QString CalculatorLocator::InstallHint()
{
    return QStringLiteral("Install a calculator such as GNOME Calculator (gnome-calculator), KCalc (kcalc), "
                          "Galculator, Qalculate! (qalculate-gtk) or MATE Calculator (mate-calc).");
}

CalculatorLocator::Command CalculatorLocator::Find()
{
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    Command preferred;
    Command other;
    // An entry in an earlier folder hides every later one with the same file name.
    QSet<QString> seen;
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString& folder : folders) {
        const QFileInfoList files
            = QDir(folder).entryInfoList({QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& file : files) {
            if (seen.contains(file.fileName()))
                continue;
            seen.insert(file.fileName());
            const DesktopEntry entry = DesktopEntry::Load(file.filePath());
            if (entry.Value(QStringLiteral("Type")) != QLatin1String("Application")
                || entry.Flag(QStringLiteral("Hidden")) || entry.Flag(QStringLiteral("NoDisplay"))
                || !entry.List(QStringLiteral("Categories")).contains(QLatin1String("Calculator")))
                continue;
            const QStringList onlyShowIn = entry.List(QStringLiteral("OnlyShowIn"));
            if ((!onlyShowIn.isEmpty() && !Intersects(onlyShowIn, desktops))
                || Intersects(entry.List(QStringLiteral("NotShowIn")), desktops))
                continue;
            const QString tryExec = entry.Value(QStringLiteral("TryExec"));
            if (!tryExec.isEmpty() && Resolve(tryExec).isEmpty())
                continue;
            QStringList exec = DesktopEntry::SplitExec(entry.Value(QStringLiteral("Exec")));
            const QString program = exec.isEmpty() ? QString() : Resolve(exec.takeFirst());
            if (program.isEmpty())
                continue;
            const bool ofThisDesktop
                = !onlyShowIn.isEmpty() || Intersects(entry.List(QStringLiteral("Categories")), desktops);
            Command& slot = ofThisDesktop ? preferred : other;
            if (slot.program.isEmpty())
                slot = Command {program, exec};
        }
    }
    if (!preferred.program.isEmpty())
        return preferred;
    if (!other.program.isEmpty())
        return other;
    for (const QString& name : KnownPrograms()) {
        const QString program = QStandardPaths::findExecutable(name);
        if (!program.isEmpty())
            return Command {program, {}};
    }
    return {};
}
