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

private:
    BrowserLaunchOptions mOptions;
    std::shared_ptr<DevToolsSession> mSession;
};
