#pragma once

#include "AppState.h"
#include "CScaleCalc.h"
#include "FeedUsbDevice.h"
#include "IniFile.h"
#include "MMain.h"
#include "ProgramAssembly.h"
#include "ScopedEnv.h"
#include "TestFiles.h"
#include "UsbDevice.h"

#include <QApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>

// The program as main() starts it, on a settings folder of the test's own: no tray unless asked
// for and the scale the test hands in (none by default). Header-only, for the tests that link
// the windows.
namespace ProgramRun {

inline bool Start(const QString& folder, const QStringList& args = {}, bool tray = false,
                  std::function<std::unique_ptr<UsbDevice>()> device = {})
{
    AppState::Reset();
    App().gTrayAvailable = [tray] {
        return tray;
    };
    App().gDeviceFactory = std::move(device);
    ProgramAssembly::Install();
    return MMain::Main(args, folder);
}

// Puts `kilograms` on the scale the test feeds; the first weighing begins with the start-up calibration at
// zero. Six reports bring the filters to the new weight.
inline void Weigh(FeedUsbDevice& scale, double kilograms)
{
    if (App().gSession->InitCount() < CScaleCalc::InitCntNeeded)
        scale.FeedGrams(0, CScaleCalc::InitCntNeeded);
    scale.FeedGrams(kilograms * 1000.0, 6);
}

// Ends the program as its menu does, and lets the windows it closed go.
inline void Exit()
{
    if (MMain::Windows().scale)
        MMain::ExitApp();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// After each test: the program ended and every window it left behind (message boxes, dialogs)
// deleted, so nothing a test painted or opened reaches the next one.
inline void CleanUp()
{
    Exit();
    // Deleting one window may take owned ones with it.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows << w;
    for (const QPointer<QWidget>& w : windows)
        delete w.data();
    AppState::Reset();
}

// A settings folder of the test's own, fresh for every test, and the start-with-the-session entries
// kept out of the user's configuration. A test class holds one and calls CleanUp() after each test.
class Folder final
{
public:
    QString Data1() const { return mDir->filePath(QStringLiteral("Data1.ini")); }
    QString Path() const { return mDir->path(); }
    // Read back from disk, as the next start would.
    QString Stored(const QString& section, const QString& key) const
    {
        IniFile ini;
        return ini.OpenFile(Data1()) ? ini.Section(section).Key(key).Value() : QStringLiteral("<unreadable>");
    }
    // Data1.ini holds the text first, unless it is null.
    bool Start(const QString& ini, const QStringList& args = {}, bool tray = false,
               std::function<std::unique_ptr<UsbDevice>()> device = {})
    {
        return (ini.isNull() || WriteFile(Data1(), ini)) && ProgramRun::Start(Path(), args, tray, std::move(device));
    }
    void CleanUp()
    {
        ProgramRun::CleanUp();
        mDir = std::make_unique<QTemporaryDir>();
    }

private:
    QTemporaryDir mConfig;
    ScopedEnv mConfigHome {"XDG_CONFIG_HOME", QFile::encodeName(mConfig.path())};
    std::unique_ptr<QTemporaryDir> mDir = std::make_unique<QTemporaryDir>();
};

} // namespace ProgramRun
