#pragma once

#include "DisplayWindows.h"
#include "ScaleSession.h"

#include <QStringList>

class QWidget;

// Start-up, the display window's show/hide/switch procedures and the orderly end
// of the program.
namespace MMain {

// The desktop program: single instance, signals, then Main and the event loop, reading the scale `devices`
// makes. args are the program's own arguments ("/s"). Returns the process exit code.
int Run(int argc, char** argv, const QStringList& args, ScaleSession::DeviceFactory devices);

// The start-up sequence inside a running QApplication. args are the program's
// arguments without the program name; dataDir, when not empty, replaces the folder
// of the settings files (tests). Always returns true: an unreadable settings file, a missing scale or
// browser is logged or shown, and the program starts all the same.
bool Main(const QStringList& args, const QString& dataDir = QString());

// The windows Main made; all empty before it and after ExitApp.
DisplayWindows& Windows();

// Reads the user's pages again; the main window's page menu and list follow.
void LoadWebPages();

void ShowDisplay();
// Hides the display window to the tray; where the desktop has no tray, minimises it instead.
void HideDisplay();
// Whether there is a tray to hide the display window to.
bool TrayAvailable();
// Sets or clears the always-on-top state of a window, shown or not (a hidden one has it when next shown).
void SetTopMost(QWidget* window, bool topMost);
void ApplyDisplayMode();
void ExitApp();

// The command line means "start hidden in the tray".
bool IsStartHidden(const QStringList& args);

} // namespace MMain
