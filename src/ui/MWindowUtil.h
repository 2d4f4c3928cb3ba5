#pragma once

#include <QStringList>

class QMessageBox;

class QComboBox;
class QEvent;
class QRegion;
class QString;
class QWidget;

// Small window procedures shared by the windows: dialogs above the display
// window, giving the windows back, list removal by text, window outlines and the
// picture buttons' release test.
namespace MWindowUtil {

// Shows a window owned by the display window. keepOnTop gives it (and the progress
// window) the always-on-top state of the display; disableOthers makes it the only
// window the user can use until EnableForms.
void ShowModal(QWidget* window, bool keepOnTop, bool disableOthers);
// Undoes ShowModal's disabling when a dialog closes.
void EnableForms();
// The window's outline becomes the union of its direct child widgets.
void ShapeWindow(QWidget* window);
// The release point (in the control's own coordinates) lies inside the control;
// the right and bottom edges count as inside.
bool IsPointInButton(int x, int y, const QWidget* control);
// For a frameless window's drag handle: a press there is consumed (true) and a left press lets the
// window manager move the window.
bool DragByHandle(QWidget* window, QEvent* event);
// The program's warning box: an exclamation icon and OK, owned by `owner` (the display window) so that it
// stays above it and goes with it; modal where nothing behind it may be used before it is read. Shown
// without blocking the caller; deleted when closed.
QMessageBox* ShowWarning(QWidget* owner, const QString& title, const QString& text, const QString& objectName,
                         bool modal = true);
// The platform to ask the toolkit for before it starts, empty for its own choice: X11 in a Wayland session
// that has XWayland, where the window's shape, its on-top state and the places given to windows hold; what
// the user chose (QT_QPA_PLATFORM, a -platform switch) wins.
QString PreferredPlatform(const QStringList& arguments, const QString& qpaPlatform, const QString& waylandDisplay,
                          const QString& x11Display);
// The windows are native Wayland surfaces: a mask there only limits the clicks, the compositor keeps the
// stacking and the places, and a minimised window cannot be brought back by the program.
bool IsWayland();
// Gives a window an outline: the mask, and where a mask does not cut the picture (a window with a
// transparent background), its controls cut to the outline too.
void SetOutline(QWidget* window, const QRegion& outline);
// A shaped window's preparation before it is first shown: on Wayland a transparent background.
void PrepareShapedWindow(QWidget* window);
// The widgets a modal dialog disables: every window of the program; pop-up lists and menus stay usable.
void SetAllWindowsEnabled(bool enabled);

} // namespace MWindowUtil
