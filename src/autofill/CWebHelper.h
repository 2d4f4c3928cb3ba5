#pragma once

#include "CCarrierPages.h"
#include "IAutoFillWeb.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class CWebUserAdd;
class IniFile;
class WebBrowser;

// Drives one browser window: picks the filler for the page the user wants, navigates there and,
// at each completed load, lets the filler write into the page until the weight is in.
// The browser window outlives this object: releasing it never closes the window.
class CWebHelper final : public QObject
{
    Q_OBJECT
public:
    // Makes a new browser window; nullptr (with a reason in *error) when none can be started.
    using BrowserFactory = std::function<std::unique_ptr<WebBrowser>(QString* error)>;
    // A new window from `makeBrowser` for the launcher and the converter alike; when none can be started,
    // nullptr with the reason in *error (the factory's, or that there is no browser), logged as `what` not
    // opened.
    static std::unique_ptr<WebBrowser> AcquireBrowser(const BrowserFactory& makeBrowser, const QString& what,
                                                      QString* error);

    // Starts a browser ahead of a launch, with no window, without waiting for it; false (the reason in
    // *error) when it cannot be started.
    using BrowserPreparer = std::function<bool(QString* error)>;

    struct Accessors
    {
        BrowserFactory makeBrowser;
        std::function<double()> currentWeight; // the last weight, kilograms
        std::function<int()> displayUnit; // 0 kilograms, 1 pounds and ounces
        BrowserPreparer prepareBrowser = {}; // may be empty: every launch is then a cold one
    };

    // How long after a load, or a route change of a single-page app, the page is watched for the fields
    // it renders late (apps draw their forms once their data has come).
    static constexpr int WatchWindowMs = 15000;

    CWebHelper(IniFile& settings, Accessors accessors, QObject* parent = nullptr);
    ~CWebHelper() override;
    Q_DISABLE_COPY_MOVE(CWebHelper)

    // True while our browser window exists.
    bool IsBrowserExist();
    // Chooses the filler: a built-in page by exact name and address, otherwise the user page `Name`.
    void Create(const QString& Name, const QString& Address);
    // Fills the page at once when the browser shows it, otherwise navigates (creating the browser
    // if there is none). False when no browser could be started; LastError() then says why.
    bool GotoPage();
    QString LastError() const { return mLastError; }

    // For the window and the tests: the table and the launch in progress.
    IAutoFillWeb* Filler(int index) const;
    IAutoFillWeb* CurrentFiller() const { return mobjCurWeb; }
    CWebUserAdd* UserPageFiller() const;
    double Weight() const { return mdblWeight; }
    WebBrowser* Browser() const { return mobjIE.get(); }
    // For the tests: a watch shorter than WatchWindowMs.
    void SetWatchWindow(int ms) { mWatchWindowMs = ms; }

Q_SIGNALS:
    // A built-in carrier page showed none of its filler's fields, after its load and the watch: the carrier
    // has changed its page. Once per launch, with the text for the user; the fields missing are logged.
    void PageChanged(const QString& message);

public Q_SLOTS:
    void mobjIE_ProgressChange(int Progress, int ProgressMax);
    void mobjIE_OnQuit();

private:
    // A completed load or a route change of the launch's page: fills it, then watches it for what comes late.
    void OnNewDocument();
    void FillPage();
    void WatchPage();
    void OnPageChange(quint64 watch, bool changed);
    void OnWatchEnded();
    void mobjIE_RouteChanged(const QString& url);
    void ReleaseBrowser();
    // Whether the current carrier filler may write into this document: only on its carrier's site.
    bool OnCarrierSite(HtmlDocument* document) const;

    IniFile& mSettings;
    Accessors mAccessors;
    std::unique_ptr<WebBrowser> mobjIE;
    std::array<std::unique_ptr<IAutoFillWeb>, CCarrierPages::FillerCount> mobjWebs;
    IAutoFillWeb* mobjCurWeb = nullptr;
    double mdblWeight = 0.0;
    QString mLastError;
    // The watch of the page shown: its window, the number of the one armed (answers to older ones are
    // dropped) and the document it watches.
    QTimer mWatchWindow;
    int mWatchWindowMs = WatchWindowMs;
    quint64 mWatch = 0;
    // A page that keeps changing gets its next pass no sooner than this after the last one ended, so the
    // window stays responsive.
    static constexpr int kMinPassIntervalMs = 200;
    QElapsedTimer mLastPass;
    std::shared_ptr<HtmlDocument> mWatched;
    bool mChangeReported = false;
};
