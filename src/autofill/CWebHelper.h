#pragma once

#include "CCarrierPages.h"
#include "IAutoFillWeb.h"

#include <QObject>
#include <QString>

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

public Q_SLOTS:
    void mobjIE_ProgressChange(int Progress, int ProgressMax);
    void mobjIE_OnQuit();

private:
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
};
