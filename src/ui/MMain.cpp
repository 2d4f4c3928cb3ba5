#include "MMain.h"

#include "AppPaths.h"
#include "AppState.h"
#include "Autostart.h"
#include "BrowserLocator.h"
#include "CArtwork.h"
#include "CBrowserSource.h"
#include "CTrayIcon.h"
#include "DevToolsSession.h"
#include "IniFile.h"
#include "IniValue.h"
#include "MReadout.h"
#include "MWindowUtil.h"
#include "SimulatedUsbDevice.h"
#include "SingleInstance.h"
#include "UnixSignalWatcher.h"
#include "Utility.h"
#include "WebBrowser.h"
#include "frmLCDDisplay.h"
#include "frmProgressBar.h"
#include "frmScale.h"
#include "frmSimulator.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QSessionManager>
#include <QSet>
#include <QWindow>

namespace MMain {

namespace {

void ShowLoadError(const QString& text)
{
    MWindowUtil::ShowWarning(Windows().shown, QStringLiteral("ERROR"), text, QStringLiteral("msgLoadWebPages"));
}

// Hides a window and frees it once the current event has been handled: ExitApp is
// often called from inside a handler of the very window it unloads.
void Unload(QWidget* window)
{
    if (!window)
        return;
    window->hide();
    window->deleteLater();
}

} // namespace

DisplayWindows& Windows()
{
    static DisplayWindows windows;
    return windows;
}

bool IsStartHidden(const QStringList& args)
{
    return args.join(QLatin1Char(' ')) == QLatin1String("/s");
}

void LoadWebPages()
{
    if (ScaleSession* session = App().gSession.get())
        session->ReloadPages();
}

void ShowPages(const QStringList& pages, const QString& error)
{
    const DisplayWindows& windows = Windows();
    // The window shows whatever was read, also when reading stopped at a bad entry.
    if (windows.scale)
        windows.scale->SetUserPages(pages);
    if (!error.isEmpty()) {
        ShowLoadError(error);
        return;
    }
    if (windows.scale)
        windows.scale->WebSelect_Click();
}

void SetTopMost(QWidget* window, bool topMost)
{
    if (!window)
        return;
    const Qt::WindowFlags flags = window->windowFlags().setFlag(Qt::WindowStaysOnTopHint, topMost);
    if (flags == window->windowFlags())
        return;
    // Told to the native window in place: a widget's new flags would recreate it, shown anew at the screen's
    // corner instead of where the window manager put it. A hidden window keeps the state for its next showing.
    window->overrideWindowFlags(flags);
    if (QWindow* handle = window->windowHandle())
        handle->setFlags(flags);
}

void ShowDisplay()
{
    const AppState& app = App();
    const DisplayWindows& windows = Windows();
    QWidget* display = windows.shown;
    if (!display || !display->isEnabled())
        return;
    // Before the window is shown, so that the window manager has it from the start.
    SetTopMost(display, app.General().alwaysOnTop);
    display->show();
    display->raise();
    display->setWindowState(display->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    if (windows.scale)
        windows.scale->PopupItem(0)->setText(QStringLiteral("Minimize Pesavo"));
    if (windows.progress && windows.progress->Tag == QLatin1String("INIT"))
        MWindowUtil::ShowModal(windows.progress, true, false);
}

bool TrayAvailable()
{
    const AppState& app = App();
    if (app.gTrayAvailable)
        return app.gTrayAvailable();
    const frmScale* scale = Windows().scale;
    return scale && scale->Tray() ? scale->Tray()->IsShown() : CTrayIcon::Available();
}

void HideDisplay()
{
    const DisplayWindows& windows = Windows();
    // Without a tray a hidden window could never be brought back: it goes to the taskbar instead. On Wayland
    // not even that: the program cannot bring a minimised window back, and a desktop without a taskbar has
    // nowhere to show it. There it stays.
    if (!TrayAvailable()) {
        if (windows.shown && !MWindowUtil::IsWayland())
            windows.shown->showMinimized();
        return;
    }
    if (windows.shown) {
        windows.shown->hide();
        windows.shown->setWindowState(windows.shown->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    }
    if (windows.scale)
        windows.scale->PopupItem(0)->setText(QStringLiteral("Launch Pesavo"));
    if (windows.progress)
        windows.progress->hide();
}

void ApplyDisplayMode()
{
    const AppState& app = App();
    DisplayWindows& windows = Windows();
    QWidget* current = windows.shown;
    if (!current)
        return;
    const bool visible = current->isVisible();
    QWidget* next = nullptr;
    if (app.General().smallDisplay && current->objectName() == QLatin1String("frmScale"))
        next = windows.lcd;
    else if (!app.General().smallDisplay && current->objectName() == QLatin1String("frmLCDDisplay"))
        next = windows.scale;
    if (!next)
        return;
    if (visible)
        current->hide();
    windows.shown = next;
    MReadout::DrawWeight(app.gSession ? app.gSession->Weight() : 0.0);
    if (visible)
        ShowDisplay();
}

void ExitApp()
{
    AppState& app = App();
    DisplayWindows& windows = Windows();
    if (windows.shown && app.gSession)
        app.gSession->SaveGeneral();
    windows.shown = nullptr;

    // Dialogs and message boxes made on the fly go with the four windows.
    const auto topLevel = QApplication::topLevelWidgets();
    for (QWidget* w : topLevel) {
        if (w->parentWidget() == nullptr && w != windows.scale && w != windows.lcd && w != windows.progress
            && w != windows.options && (w->testAttribute(Qt::WA_DeleteOnClose)))
            Unload(w);
    }
    // The windows are deleted from the event loop, but the settings go now: nothing that holds them (the page
    // launcher) and nothing that may fire before the deletion (device, settle and menu timers) may outlive
    // this point.
    if (windows.scale)
        windows.scale->Release();
    if (app.gSession)
        app.gSession->Stop();
    Unload(windows.options);
    Unload(windows.progress);
    Unload(windows.lcd);
    Unload(windows.scale);
    windows = {};
    // Deleted from the event loop too: the windows go first, and they still hold connections to it.
    if (app.gSession)
        app.gSession.release()->deleteLater();
    QCoreApplication::quit();
}

bool Main(const QStringList& args, const QString& dataDir)
{
    AppState& app = App();
    QString data1;
    QString data2;
    QString converter;
    if (dataDir.isEmpty()) {
        const AppPaths paths;
        if (!paths.Error().isEmpty())
            qWarning().noquote() << "settings folder:" << paths.Error();
        data1 = paths.Data1Path();
        data2 = paths.Data2Path();
        converter = paths.ConvPagePath();
    } else {
        const QString folder = Utility::AddPathSep(dataDir);
        data1 = folder + QStringLiteral("Data1.ini");
        data2 = folder + QStringLiteral("Data2.ini");
        converter = folder + QStringLiteral("conversion.html");
    }
    // The browser factory is looked up at each use: tests hand theirs in after the start.
    app.gSession = std::make_unique<ScaleSession>(app.gDeviceFactory, [](WebPageUse use, QString* error) {
        const auto& browsers = App().gBrowserFactory;
        return browsers ? browsers(use, error) : nullptr;
    });
    ScaleSession* session = app.gSession.get();
    session->OpenSettings(data1, data2, converter);
    QGuiApplication::setWindowIcon(CArtwork::AppIcon());
    MReadout::InitSkinLayout();

    DisplayWindows& windows = Windows();
    if (app.gMakeOptions)
        windows.options = app.gMakeOptions(*session, windows);
    windows.scale = new frmScale(*session, windows);
    windows.lcd = new frmLCDDisplay(windows);
    windows.progress = new frmProgressBar();
    windows.shown = app.General().smallDisplay ? static_cast<QWidget*>(windows.lcd) : windows.scale;

    QObject::connect(session, &ScaleSession::PagesChanged, windows.scale, &ShowPages);
    windows.scale->Form_Load();
    windows.lcd->Form_Load();

    LoadWebPages();
    MReadout::DrawWeight(0.0);
    // Hidden in the tray only where there is a tray to come back from.
    if (!IsStartHidden(args) || !TrayAvailable())
        ShowDisplay();
    return true;
}

int Run(int argc, char** argv, const QStringList& args, ScaleSession::DeviceFactory devices)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString platform
        = MWindowUtil::PreferredPlatform(arguments, qEnvironmentVariable("QT_QPA_PLATFORM"),
                                         qEnvironmentVariable("WAYLAND_DISPLAY"), qEnvironmentVariable("DISPLAY"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform.toLocal8Bit());
    QApplication application(argc, argv);
    // Only this program's choice: what it starts (the calculator, a browser) chooses for itself.
    if (!platform.isEmpty())
        qunsetenv("QT_QPA_PLATFORM");
    QApplication::setApplicationName(QStringLiteral("Pesavo"));
    QApplication::setApplicationVersion(QStringLiteral(PESAVO_VERSION));
    // Docks and task bars match the window to the menu entry: by this name under
    // Wayland, by the window class (the application name) under X11.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.pesavo.Pesavo"));
    // Hiding the display to the tray closes no window for good; only ExitApp ends us.
    QApplication::setQuitOnLastWindowClosed(false);

    // A logout, Ctrl+C or kill ends the program the same way as its Exit command,
    // so the general settings are written. Watched before the instance socket is
    // made: whoever can find us by it may also signal us.
    UnixSignalWatcher signalWatcher({SIGTERM, SIGINT, SIGHUP}, nullptr);
    DevToolsSession::SetInterruptCheck(&UnixSignalWatcher::Received);
    QObject::connect(&signalWatcher, &UnixSignalWatcher::signalReceived, &application, [](int) { ExitApp(); });
    SingleInstance instance;
    QString instanceMessage;
    if (instance.Acquire(&instanceMessage) == SingleInstance::Result::AlreadyRunning)
        return 0;
    if (!instanceMessage.isEmpty())
        qInfo().noquote() << instanceMessage;

    QObject::connect(&application, &QGuiApplication::commitDataRequest, &application, [](QSessionManager&) {
        if (Windows().shown && App().gSession)
            App().gSession->SaveGeneral();
    });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &application, [] {
        if (Windows().shown)
            ExitApp();
    });

    App().gDeviceFactory = std::move(devices);

    // Every page the program drives goes through one connection to the user's browser.
    auto browsers = std::make_shared<CBrowserSource>(BrowserLocator::Defaults());
    App().gBrowserFactory = [browsers](WebPageUse use, QString* error) {
        return browsers->OpenPage(use, error);
    };

    if (!Main(args))
        return 1;
    App().gSession->SetBrowserPreparer([browsers](QString* error) { return browsers->PrepareBrowser(error); });
    // Started with the session from a place the program has left: point the entry here.
    if (Autostart::RepairEntry(QCoreApplication::applicationFilePath()))
        qInfo().noquote() << "Start with the session now runs" << QCoreApplication::applicationFilePath();
    // The simulated scale gets its control window, to put weights on it by hand.
    if (auto* simulated = qobject_cast<SimulatedUsbDevice*>(App().gSession->Device())) {
        auto* control = new frmSimulator(simulated);
        control->setAttribute(Qt::WA_DeleteOnClose);
        // Beside the scale window rather than over it, so both stay usable on a first try.
        if (QWidget* display = Windows().shown)
            control->move(display->frameGeometry().topRight() + QPoint(12, 0));
        control->show();
    }

    const int code = QApplication::exec();
    if (Windows().shown)
        ExitApp();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    AppState::Reset();
    return code;
}

} // namespace MMain
