#pragma once

#include "BrowserLaunchOptions.h"
#include "WebBrowser.h"

#include <QString>

#include <memory>

class DevToolsSession;

// Opens the pages the main window drives in the user's Chromium. The keeper that holds the browser
// serves one client at a time, so every page, the launcher's and the converter's, goes over one
// connection: a second connection would cut off the first and close its pages for us.
class CBrowserSource final
{
public:
    explicit CBrowserSource(BrowserLaunchOptions options);
    ~CBrowserSource();
    CBrowserSource(const CBrowserSource&) = delete;
    CBrowserSource& operator=(const CBrowserSource&) = delete;

    // nullptr with the reason in *error when the browser cannot be reached or started.
    std::unique_ptr<WebBrowser> OpenPage(WebPageUse use, QString* error);
    bool IsConnected() const;

    // A browser that opened no window this long after it was prepared (or after its last window closed)
    // is closed by its keeper.
    static constexpr int kPreparedIdleMs = 10 * 60 * 1000;
    // Starts the browser ahead of a launch, with our profile and flags but no window, and returns at once
    // without waiting for it: the next OpenPage then only opens a window on it. Nothing to do when a
    // browser is already running (ours, or one an earlier run left). False with the reason in *error when
    // it could not be started; OpenPage will then try again and say so.
    bool PrepareBrowser(QString* error);
    // Milliseconds the keeper is left before it closes a prepared browser; for tests and the bench.
    void SetPreparedIdleMs(int ms) { mPreparedIdleMs = ms; }

private:
    BrowserLaunchOptions mOptions;
    int mPreparedIdleMs = kPreparedIdleMs;
    std::shared_ptr<DevToolsSession> mSession;
};
