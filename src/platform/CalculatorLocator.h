#pragma once

#include <QString>
#include <QStringList>

// The desktop's calculator, found the way the application menu would: the
// installed application entries in the category Calculator (the user's own
// entries before the system's, those made for the running desktop first), then
// the calculators known by name on the PATH.
class CalculatorLocator final
{
public:
    struct Command
    {
        QString program; // empty when there is no calculator
        QStringList arguments;
    };

    static Command Find();
    // Known calculators, best first, for when no entry names one.
    static QStringList KnownPrograms();
    // What to tell a user who has none.
    static QString InstallHint();
};
