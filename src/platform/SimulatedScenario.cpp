#include "SimulatedScenario.h"

#include <QFile>
#include <QStringList>

#include <cmath>

namespace {

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

std::optional<SimulatedScenario> SimulatedScenario::Parse(const QString& text, QString* error)
{
    const auto fail = [error](int lineNumber, const QString& why) -> std::optional<SimulatedScenario> {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(lineNumber).arg(why);
        return std::nullopt;
    };

    SimulatedScenario scenario;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i + 1);
        QString line = lines.at(i);
        const qsizetype hash = line.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            line.truncate(hash);
        const QStringList fields = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.isEmpty())
            continue;
        if (fields.size() != 2)
            return fail(lineNumber,
                        QStringLiteral("expected \"<ms> <grams>\", \"<ms> unplug\" or \"<ms> plug\", got %1")
                            .arg(Quoted(line.trimmed())));

        bool ok = false;
        Step step;
        step.atMs = fields.at(0).toLongLong(&ok);
        if (!ok || step.atMs < 0)
            return fail(lineNumber,
                        QStringLiteral("the time %1 is not a whole number of milliseconds (0 or more)")
                            .arg(Quoted(fields.at(0))));
        if (!scenario.mSteps.isEmpty() && step.atMs < scenario.mSteps.constLast().atMs)
            return fail(lineNumber,
                        QStringLiteral("the time %1 is earlier than the line before (%2)")
                            .arg(step.atMs)
                            .arg(scenario.mSteps.constLast().atMs));

        const QString& what = fields.at(1);
        if (what.compare(QLatin1String("unplug"), Qt::CaseInsensitive) == 0) {
            step.action = Action::Unplug;
        } else if (what.compare(QLatin1String("plug"), Qt::CaseInsensitive) == 0) {
            step.action = Action::Plug;
        } else {
            step.action = Action::Load;
            step.grams = what.toDouble(&ok);
            if (!ok || !std::isfinite(step.grams))
                return fail(
                    lineNumber,
                    QStringLiteral("%1 is neither a load in grams nor \"unplug\" or \"plug\"").arg(Quoted(what)));
        }
        scenario.mSteps.append(step);
    }
    return scenario;
}

std::optional<SimulatedScenario> SimulatedScenario::Load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QString parseError;
    auto scenario = Parse(QString::fromUtf8(file.readAll()), &parseError);
    if (!scenario && error)
        *error = QStringLiteral("%1: %2").arg(path, parseError);
    return scenario;
}
