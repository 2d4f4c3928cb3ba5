#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The [Desktop Entry] group of a freedesktop.org desktop entry file, as the menu,
// the autostart folder and the calculator lookup read it. Localised keys
// ("Name[de]") are kept under their full names; values are unescaped.
class DesktopEntry final
{
public:
    // An entry that says nothing; also what a missing or unreadable file gives.
    DesktopEntry() = default;
    static DesktopEntry Load(const QString& path);

    bool IsValid() const { return !mValues.isEmpty(); }
    QString Value(const QString& key) const { return mValues.value(key); }
    // A list value ("Office;Utility;") split at its unescaped semicolons.
    QStringList List(const QString& key) const;
    bool Flag(const QString& key) const { return mValues.value(key) == QLatin1String("true"); }

    // The Exec value as a program and its arguments: quotes and their escapes
    // undone, field codes (%f, %U, ...) dropped and "%%" read as "%".
    static QStringList SplitExec(const QString& exec);

private:
    QHash<QString, QString> mValues;
};
