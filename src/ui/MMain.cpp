#include "MMain.h"

#include "AppPaths.h"
#include "AppState.h"
#include "Autostart.h"
#include "BrowserLocator.h"
#include "CBrowserSource.h"
#include "CTrayIcon.h"
#include "DevToolsSession.h"
#include "HidrawUsbDevice.h"
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
#include "frmOption.h"
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

const QString GeneralSection = QStringLiteral("_WGX_GENERAL");
const QString WebSection = QStringLiteral("_WGX_WEB");

void ShowLoadError(const QString& text)
{
    MWindowUtil::ShowWarning(App().gMainWindow, QStringLiteral("ERROR"), text, QStringLiteral("msgLoadWebPages"));
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

bool IsStartHidden(const QStringList& args)
{
    return args.join(QLatin1Char(' ')) == QLatin1String("/s");
}

void LoadGeneralSettings()
{
    AppState& app = App();
    if (!app.gSettings)
        return;
    IniSection section = app.gSettings->Section(GeneralSection);
    app.gUnit = IniValue::ToNumber(section.Key(QStringLiteral("UNIT")).Value()) != 0 ? 1 : 0;
    // A value outside 16 bits ends the reading here; the rest keep their defaults.
    const auto autoLaunch = IniValue::ToInt16(section.Key(QStringLiteral("AUTO_LAUNCH")).Value());
    if (!autoLaunch)
        return;
    app.gAutoLaunch = *autoLaunch;
    app.gAutoLaunchItem = app.gAutoLaunch != 0 ? qint16(app.gAutoLaunch + 1) : qint16(0);
    app.gSmallDisplay = IniValue::ToFlag(section.Key(QStringLiteral("DISPLAY")).Value());
    app.gAlwaysOnTop = IniValue::ToFlag(section.Key(QStringLiteral("TOP")).Value());
    const auto skin = IniValue::ToInt16(section.Key(QStringLiteral("SKIN")).Value());
    if (!skin)
        return;
    app.gSkin = *skin;
}

void SaveGeneralSettings()
{
    AppState& app = App();
    if (!app.gSettings)
        return;
    IniSection section = app.gSettings->Section(GeneralSection);
    section.Key(QStringLiteral("UNIT")).SetValue(int(app.gUnit));
    section.Key(QStringLiteral("AUTO_LAUNCH")).SetValue(int(app.gAutoLaunch));
    section.Key(QStringLiteral("DISPLAY")).SetValue(IniValue::FromFlag(app.gSmallDisplay));
    section.Key(QStringLiteral("TOP")).SetValue(IniValue::FromFlag(app.gAlwaysOnTop));
    section.Key(QStringLiteral("SKIN")).SetValue(int(app.gSkin));
}

void LoadWebPages()
{
    AppState& app = App();
    frmScale* scale = app.gScaleForm;
    app.gWebPages.clear();
    // The window shows whatever was read, also when reading stopped at a bad entry.
    const auto show = [&app, scale] {
        if (scale)
            scale->SetUserPages(app.gWebPages);
    };
    if (!app.gSettings) {
        show();
        return;
    }

    IniSection section = app.gSettings->Section(WebSection);
    const auto count = IniValue::ToInt16(section.Key(QStringLiteral("CNT")).Value());
    if (!count) {
        show();
        ShowLoadError(QStringLiteral("The number of web pages is out of range."));
        return;
    }
    QSet<QString> keys;
    for (int i = 1; i <= *count; ++i) {
        const QString name = section.Key(QStringLiteral("_WGX_NAME") + QString::number(i)).Value();
        if (name.isEmpty())
            continue;
        const QString key = name.toLower();
        if (keys.contains(key)) {
            show();
            ShowLoadError(QStringLiteral("The web page \"%1\" is listed twice.").arg(name));
            return;
        }
        keys.insert(key);
        app.gWebPages.append(name);
    }
    show();
    if (scale)
        scale->WebSelect_Click();
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
    AppState& app = App();
    QWidget* display = app.gMainWindow;
    if (!display || !display->isEnabled())
        return;
    // Before the window is shown, so that the window manager has it from the start.
    SetTopMost(display, app.gAlwaysOnTop);
    display->show();
    display->raise();
    display->setWindowState(display->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    if (app.gScaleForm)
        app.gScaleForm->PopupItem(0)->setText(QStringLiteral("Minimize Pesavo"));
    if (app.gProgressForm && app.gProgressForm->Tag == QLatin1String("INIT"))
        MWindowUtil::ShowModal(app.gProgressForm, true, false);
}

bool TrayAvailable()
{
    const AppState& app = App();
    if (app.gTrayAvailable)
        return app.gTrayAvailable();
    return app.gScaleForm && app.gScaleForm->Tray() ? app.gScaleForm->Tray()->IsShown() : CTrayIcon::Available();
}

void HideDisplay()
{
    AppState& app = App();
    // Without a tray a hidden window could never be brought back: it goes to the taskbar instead. On Wayland
    // not even that: the program cannot bring a minimised window back, and a desktop without a taskbar has
    // nowhere to show it. There it stays.
    if (!TrayAvailable()) {
        if (app.gMainWindow && !MWindowUtil::IsWayland())
            app.gMainWindow->showMinimized();
        return;
    }
    if (app.gMainWindow) {
        app.gMainWindow->hide();
        app.gMainWindow->setWindowState(app.gMainWindow->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    }
    if (app.gScaleForm)
        app.gScaleForm->PopupItem(0)->setText(QStringLiteral("Launch Pesavo"));
    if (app.gProgressForm)
        app.gProgressForm->hide();
}

void ApplyDisplayMode()
{
    AppState& app = App();
    QWidget* current = app.gMainWindow;
    if (!current)
        return;
    const bool visible = current->isVisible();
    QWidget* next = nullptr;
    if (app.gSmallDisplay && current->objectName() == QLatin1String("frmScale"))
        next = app.gLcdForm;
    else if (!app.gSmallDisplay && current->objectName() == QLatin1String("frmLCDDisplay"))
        next = app.gScaleForm;
    if (!next)
        return;
    if (visible)
        current->hide();
    app.gMainWindow = next;
    MReadout::DrawWeight(app.gCurWeight);
    if (visible)
        ShowDisplay();
}

void ExitApp()
{
    AppState& app = App();
    if (app.gMainWindow)
        SaveGeneralSettings();
    app.gMainWindow = nullptr;

    // Dialogs and message boxes made on the fly go with the four windows.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w->parentWidget() == nullptr && w != app.gScaleForm && w != app.gLcdForm && w != app.gProgressForm
            && w != app.gOptionForm && (w->testAttribute(Qt::WA_DeleteOnClose)))
            Unload(w);
    }
    // The windows are deleted from the event loop, but the settings go now: nothing that holds them (the page
    // launcher) and nothing that may fire before the deletion (device, settle and menu timers) may outlive
    // this point.
    if (app.gScaleForm)
        app.gScaleForm->Release();
    Unload(app.gOptionForm);
    Unload(app.gProgressForm);
    Unload(app.gLcdForm);
    Unload(app.gScaleForm);
    app.gOptionForm = nullptr;
    app.gProgressForm = nullptr;
    app.gLcdForm = nullptr;
    app.gScaleForm = nullptr;

    app.gWebPages.clear();
    app.gSettings.reset();
    QCoreApplication::quit();
}

bool Main(const QStringList& args, const QString& dataDir)
{
    AppState& app = App();
    if (dataDir.isEmpty()) {
        const AppPaths paths;
        if (!paths.Error().isEmpty())
            qWarning().noquote() << "settings folder:" << paths.Error();
        app.gData1Path = paths.Data1Path();
        app.gData2Path = paths.Data2Path();
        app.gConvPagePath = paths.ConvPagePath();
    } else {
        const QString folder = Utility::AddPathSep(dataDir);
        app.gData1Path = folder + QStringLiteral("Data1.ini");
        app.gData2Path = folder + QStringLiteral("Data2.ini");
        app.gConvPagePath = folder + QStringLiteral("conversion.html");
    }

    if (!app.gSettings)
        app.gSettings = std::make_unique<IniFile>();
    if (!app.gSettings->OpenFile(app.gData1Path))
        qWarning().noquote() << "settings:" << app.gSettings->LastError();

    LoadGeneralSettings();
    MReadout::InitSkinLayout();

    app.gOptionForm = new frmOption();
    app.gScaleForm = new frmScale();
    app.gLcdForm = new frmLCDDisplay();
    app.gProgressForm = new frmProgressBar();
    app.gMainWindow = app.gSmallDisplay ? static_cast<QWidget*>(app.gLcdForm) : app.gScaleForm;

    app.gScaleForm->Form_Load();
    app.gLcdForm->Form_Load();

    LoadWebPages();
    MReadout::DrawWeight(0.0);
    // Hidden in the tray only where there is a tray to come back from.
    if (!IsStartHidden(args) || !TrayAvailable())
        ShowDisplay();
    return true;
}

int Run(int argc, char** argv)
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

    bool simulate = false;
    QString scenarioFile;
    QStringList args;
    const QStringList all = QCoreApplication::arguments().mid(1);
    for (const QString& arg : all) {
        if (arg == QLatin1String("--simulate")) {
            simulate = true;
        } else if (arg.startsWith(QLatin1String("--simulate="))) {
            simulate = true;
            scenarioFile = arg.mid(int(qstrlen("--simulate=")));
        } else {
            args << arg;
        }
    }

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
        if (App().gMainWindow)
            SaveGeneralSettings();
    });
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &application, [] {
        if (App().gMainWindow)
            ExitApp();
    });

    QPointer<SimulatedUsbDevice> simulated;
    App().gDeviceFactory = [simulate, scenarioFile, &simulated]() -> std::unique_ptr<UsbDevice> {
        if (!simulate)
            return std::make_unique<HidrawUsbDevice>();
        auto device = std::make_unique<SimulatedUsbDevice>();
        if (scenarioFile == QLatin1String("hidpos"))
            device->SetPointOfSale(true);
        else if (!scenarioFile.isEmpty() && !device->LoadScenarioFile(scenarioFile))
            qWarning().noquote() << "simulated scale:" << device->LastError();
        simulated = device.get();
        return device;
    };

    // Every page the program drives goes through one connection to the user's browser.
    auto browsers = std::make_shared<CBrowserSource>(BrowserLocator::Defaults());
    App().gBrowserFactory = [browsers](WebPageUse use, QString* error) {
        return browsers->OpenPage(use, error);
    };

    if (!Main(args))
        return 1;
    // Started with the session from a place the program has left: point the entry here.
    if (Autostart::RepairEntry(QCoreApplication::applicationFilePath()))
        qInfo().noquote() << "Start with the session now runs" << QCoreApplication::applicationFilePath();
    if (simulated) {
        auto* control = new frmSimulator(simulated);
        control->setAttribute(Qt::WA_DeleteOnClose);
        // Beside the scale window rather than over it, so both stay usable on a first try.
        if (QWidget* display = App().gMainWindow)
            control->move(display->frameGeometry().topRight() + QPoint(12, 0));
        control->show();
    }

    const int code = QApplication::exec();
    if (App().gMainWindow)
        ExitApp();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    AppState::Reset();
    return code;
}

} // namespace MMain
