#pragma once

#include <QString>

// Start with the session: an XDG autostart entry ($XDG_CONFIG_HOME/autostart, by
// default ~/.config/autostart) that runs the program hidden in the tray ("/s").
class Autostart final
{
public:
    // Adds (flag true) or removes (false) the entry named after `name` ("Pesavo"
    // gives pesavo.desktop). `program` is the executable's path alone; the entry
    // adds the "/s" switch. The file is replaced atomically. Removing an entry that
    // does not exist succeeds.
    static bool RegisterStartup(bool flag, const QString& name, const QString& program, QString* error = nullptr);
    // Points an enabled entry whose program is no longer there (the program was
    // moved, or a build folder removed) at `program`, the one running now. An
    // entry whose program is still there, a hidden entry and a missing entry are
    // left alone. True when the entry was rewritten.
    static bool RepairEntry(const QString& program, const QString& name = QStringLiteral("Pesavo"));
    // True when the entry exists and is not hidden.
    static bool IsRegistered(const QString& name = QStringLiteral("Pesavo"));
    static QString EntryPath(const QString& name = QStringLiteral("Pesavo"));
    // The Exec value for the program with "/s", quoted as desktop entries want.
    static QString ExecLine(const QString& program);
};
