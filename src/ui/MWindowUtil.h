#pragma once

class QComboBox;
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
void RemoveComboItem(QComboBox* list, const QString& text);
// Rounded rectangle from (10, 10) to (w - 10, h - 10) with 40 x 40 corners.
void SetRoundRegion(QWidget* window);
// The window's outline becomes the union of its direct child widgets.
void ShapeWindow(QWidget* window);
// The release point (in the control's own coordinates) lies inside the control;
// the right and bottom edges count as inside.
bool IsPointInButton(int x, int y, const QWidget* control);
// The widgets a modal dialog disables: every top-level window of the program except menus.
void SetAllWindowsEnabled(bool enabled);

} // namespace MWindowUtil
