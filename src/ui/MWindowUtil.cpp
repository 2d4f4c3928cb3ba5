#include "MWindowUtil.h"

#include "AppState.h"
#include "MMain.h"
#include "frmProgressBar.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainterPath>
#include <QRegion>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace MWindowUtil {

namespace {

// Ownership between top-level windows is the transient-parent link: the owned window
// stays above its owner and the window manager keeps them together.
void ShowOwned(QWidget* window, QWidget* owner)
{
    if (owner && owner != window) {
        window->winId();
        owner->winId();
        if (window->windowHandle() && owner->windowHandle())
            window->windowHandle()->setTransientParent(owner->windowHandle());
    }
    window->show();
}

bool IsPopUp(const QWidget* window)
{
    return window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip;
}

} // namespace

QString PreferredPlatform(const QStringList& arguments, const QString& qpaPlatform, const QString& waylandDisplay,
                          const QString& x11Display)
{
    const bool chosen
        = !qpaPlatform.isEmpty() || std::any_of(arguments.begin(), arguments.end(), [](const QString& arg) {
              return arg == QLatin1String("-platform") || arg == QLatin1String("--platform")
                  || arg.startsWith(QLatin1String("-platform=")) || arg.startsWith(QLatin1String("--platform="));
          });
    return !chosen && !waylandDisplay.isEmpty() && !x11Display.isEmpty() ? QStringLiteral("xcb") : QString();
}

bool IsWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void PrepareShapedWindow(QWidget* window)
{
    if (IsWayland())
        window->setAttribute(Qt::WA_TranslucentBackground);
}

void SetOutline(QWidget* window, const QRegion& outline)
{
    window->setMask(outline);
    if (window->testAttribute(Qt::WA_TranslucentBackground)) {
        const auto children = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        for (QWidget* child : children) {
            if (!child->isWindow())
                child->setMask(outline.translated(-child->pos()));
        }
    }
    window->update();
}

void SetAllWindowsEnabled(bool enabled)
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (!IsPopUp(w))
            w->setEnabled(enabled);
    }
    if (enabled)
        return;
    // A pop-up (a list's drop-down, a menu) only opens when the user asks for it from something usable.
    // Disabling its owner disables it too, and a disabled list opens greyed and closes at the release of
    // the button: give every pop-up back its own enabled state, which a window keeps whatever its owner's.
    for (QWidget* w : windows) {
        if (IsPopUp(w))
            w->setEnabled(true);
    }
}

void ShowModal(QWidget* window, bool keepOnTop, bool disableOthers)
{
    if (!window)
        return;
    const AppState& app = App();
    const DisplayWindows& windows = MMain::Windows();
    QWidget* progress = static_cast<QWidget*>(windows.progress);
    if (disableOthers) {
        SetAllWindowsEnabled(false);
        window->setEnabled(true);
    }
    if (keepOnTop) {
        // Before the window is shown, so that the window manager has the state from the start.
        MMain::SetTopMost(window, app.General().alwaysOnTop);
        ShowOwned(window, windows.shown);
        MMain::SetTopMost(progress, app.General().alwaysOnTop);
    } else {
        MMain::SetTopMost(windows.shown, false);
        MMain::SetTopMost(progress, false);
        ShowOwned(window, windows.shown);
    }
}

void EnableForms()
{
    const AppState& app = App();
    const DisplayWindows& windows = MMain::Windows();
    if (!windows.shown)
        return;
    SetAllWindowsEnabled(true);
    windows.shown->setEnabled(true);
    MMain::SetTopMost(windows.shown, app.General().alwaysOnTop);
    MMain::SetTopMost(static_cast<QWidget*>(windows.progress), app.General().alwaysOnTop);
}

void ShapeWindow(QWidget* window)
{
    if (!window || window->isMinimized())
        return;
    // A frameless window: border and caption are both 0, so child geometry is
    // already in the window's own coordinates.
    QRegion outline;
    const auto children = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (const QWidget* child : children) {
        if (child->isWindow())
            continue;
        outline += child->geometry();
    }
    SetOutline(window, outline);
}

QMessageBox* ShowWarning(QWidget* owner, const QString& title, const QString& text, const QString& objectName,
                         bool modal)
{
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, owner);
    box->setObjectName(objectName);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    box->show();
    box->raise();
    return box;
}

bool IsPointInButton(int x, int y, const QWidget* control)
{
    if (!control)
        return false;
    return x >= 0 && y >= 0 && x <= control->width() && y <= control->height();
}

bool DragByHandle(QWidget* window, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && window->windowHandle())
        window->windowHandle()->startSystemMove();
    return true;
}

} // namespace MWindowUtil
