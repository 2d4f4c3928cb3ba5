#pragma once

#include "GeneralSettings.h"
#include "WebBrowser.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class CPageLauncher;
class CScaleCalc;
class CUnitConverter;
class IniFile;
class QtTickTimer;
class UsbDevice;

// The program without its windows: the settings file and the choices kept in it, the scale connection,
// the weighing engine, and the pages a weight is taken to. A report goes from the device into the engine
// here, and a settled weight goes from here to the page; the windows only show what this tells them and
// pass on what the user asks for. Everything runs on the thread of the event loop.
class ScaleSession final : public QObject
{
    Q_OBJECT
public:
    enum class Fault
    {
        None,
        OverCapacity,
        Overload,
        Unknown, // a code the engine does not raise: not shown, but a fault all the same
    };
    using DeviceFactory = std::function<std::unique_ptr<UsbDevice>()>;
    using BrowserFactory = std::function<std::unique_ptr<WebBrowser>(WebPageUse use, QString* error)>;
    // Starts a browser with no window without waiting for it; false with the reason in *error.
    using BrowserPreparer = std::function<bool(QString* error)>;

    // Either factory may be empty: no scale (the display says detached), or no browser (a launch says so).
    ScaleSession(DeviceFactory devices, BrowserFactory browsers, QObject* parent = nullptr);
    ~ScaleSession() override;
    Q_DISABLE_COPY_MOVE(ScaleSession)

    // ---- settings ----
    // Opens the settings file (a missing one is made on the first write), reads the general choices and the
    // user's pages. A file that cannot be read is logged; the program runs on with the defaults.
    void OpenSettings(const QString& data1Path, const QString& data2Path, const QString& converterPage);
    IniFile& Settings() { return *mSettings; }
    GeneralSettings& General() { return mGeneral; }
    QString Data1Path() const { return mData1Path; }
    QString Data2Path() const { return mData2Path; }
    QString ConverterPage() const { return mConverterPage; }
    // Writes the general choices; at the end, and when the desktop session asks us to save.
    void SaveGeneral();
    // The user's pages as last read; ReloadPages reads them again and tells the windows.
    const QStringList& Pages() const { return mPages; }
    void ReloadPages();
    // The page a settled weight opens (an index of the page list); the main window shows the choice and
    // stores it (StorePage).
    void ChoosePage(int page);
    void StorePage();
    // The colour of the main window, stored at once.
    void ChooseSkin(int skin);

    // ---- weighing ----
    // Makes the engine and the scale connection and starts reading. Stop() releases both, and the pages,
    // so that nothing fires once the program has begun to end; safe to call more than once.
    void Start();
    void Stop();
    double Weight() const { return mWeight; }
    bool IsAttached() const;
    Fault CurrentFault() const { return mFault; }
    bool IsHeld() const;
    void SetHeld(bool held);
    void Tare();
    // Reports counted towards the start-up calibration; the progress bar follows it.
    int InitCount() const;
    // The engine's status codes (0 initialising, 1 ready, 2 settled) and error codes (0, 1, 2), as the
    // engine raises them; the main window's handlers of the same names forward here.
    void StatusChange(std::int32_t code);
    void ScaleError(std::int32_t code);

    // ---- pages ----
    // The chosen page, in a new browser window or in ours; a browser that cannot be started is reported
    // through BrowserFailed.
    bool LaunchWebPage();
    // Whether our browser window is open; false until the first launch.
    bool IsBrowserExist() const;
    // The unit converter page with the current weight in it.
    bool OpenConverter();
    // With a preparer, a load put on the scale starts the browser unseen while the user's choice
    // (General().prepareBrowser) allows it and a page is chosen; the launch then only opens a window.
    void SetBrowserPreparer(BrowserPreparer preparer) { mPreparer = std::move(preparer); }
    // A browser page for whoever asks (the add-page wizard); nullptr with the reason in *error.
    std::unique_ptr<WebBrowser> OpenBrowser(WebPageUse use, QString* error);

    UsbDevice* Device() const { return mDevice.get(); }
    CScaleCalc* Engine() const { return mEngine.get(); }
    CPageLauncher* Launcher() const { return mLauncher.get(); }
    CUnitConverter* Converter() const { return mConverter.get(); }

Q_SIGNALS:
    void WeightChanged(double kilograms);
    void AttachedChanged(bool attached);
    void FaultChanged(ScaleSession::Fault fault);
    void CalibrationStarted();
    void CalibrationFinished();
    void Settled(double kilograms);
    // The weight left zero: a launch may follow soon.
    void LoadPlaced();
    void HoldChanged(bool held);
    void BrowserFailed(const QString& text);
    // A built-in carrier page showed none of the fields its filler knows: the text tells the user.
    void PageChanged(const QString& text);
    void PagesChanged(const QStringList& pages, const QString& error);
    void PageChosen(int page);
    void SkinChosen(int skin);

private:
    void OnArrival();
    void OnReport();
    void OnRemoval();
    CPageLauncher* EnsureLauncher();
    std::unique_ptr<WebBrowser> MakeBrowser(WebPageUse use, QString* error);

    DeviceFactory mDevices;
    BrowserFactory mBrowsers;
    BrowserPreparer mPreparer;
    std::unique_ptr<IniFile> mSettings;
    GeneralSettings mGeneral;
    QStringList mPages;
    QString mData1Path;
    QString mData2Path;
    QString mConverterPage;

    std::unique_ptr<QtTickTimer> mSettleTimer;
    std::unique_ptr<CScaleCalc> mEngine;
    std::unique_ptr<UsbDevice> mDevice;
    std::unique_ptr<CPageLauncher> mLauncher;
    std::unique_ptr<CUnitConverter> mConverter;
    double mWeight = 0.0;
    Fault mFault = Fault::None;
    // Set by a browser start that failed during the command being run.
    QString mBrowserError;
};
