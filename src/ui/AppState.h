#pragma once

#include "GeneralSettings.h"
#include "ScaleSession.h"

#include <QHash>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;
struct DisplayWindows;

// Positions of the readout parts (in pixels of the readout picture) and of the
// main window's controls (in pixels of their container), filled by InitSkinLayout.
struct SkinLayout
{
    QPoint digits[5];
    QPoint kgLabel;
    QPoint lbLabel;
    QPoint ozLabel;
    QPoint holdMsg;
    QPoint errorMsg;
    QPoint statusMsg;
    QPoint kgPoint;
    QPoint ozPoint;
    QPoint minusSign;
    QPoint colon;
    QPoint picTare;
    QPoint picOpt;
    QPoint picAutoHold;
    QPoint picConv;
    QPoint pickgslbs;
    QPoint picWeb;
    QPoint cboWeb;
    QPoint picMin;
    QPoint picCls;
    QPoint picBox;
};

// The hidden picture the readout is composed on before it is copied to both windows (picHiden), and what
// was last painted at each place, by picture key.
struct ReadoutCanvas
{
    QImage picture;
    QHash<QPoint, QString> painted;
};

// The one program-wide record shared by every window. Created at start and kept
// until the end; tests get a fresh one through Reset().
class AppState final
{
public:
    AppState();
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    static AppState& Instance();
    // Drops everything (windows must already be gone) and starts from the defaults.
    static void Reset();

    // Makes the options dialog, and sets how the windows open it; set by whoever assembles the program.
    std::function<QWidget*(ScaleSession& session, DisplayWindows& windows)> gMakeOptions;

    // What the windows show and command; made by MMain::Main, gone after ExitApp.
    std::unique_ptr<ScaleSession> gSession;
    // The session's general choices; the defaults while there is no session (before the start, after the end).
    GeneralSettings& General() { return gSession ? gSession->General() : mNoSession; }
    const GeneralSettings& General() const { return gSession ? gSession->General() : mNoSession; }

    SkinLayout gLayout;
    ReadoutCanvas gReadout;

    // Makes the scale connection for the session: the real hidraw device or the simulated one, chosen on the
    // command line; tests hand in their own.
    ScaleSession::DeviceFactory gDeviceFactory;
    // Whether the desktop has a tray; empty means ask the desktop.
    std::function<bool()> gTrayAvailable;
    // Opens a browser page; nullptr with the reason in *error when no browser can be started.
    // The desktop program drives the user's Chromium; empty means no browser at all.
    ScaleSession::BrowserFactory gBrowserFactory;

private:
    GeneralSettings mNoSession;
};

// Short hand used everywhere in the windows.
inline AppState& App()
{
    return AppState::Instance();
}
