#pragma once

#include "BrowserLaunchOptions.h"

#include <QString>
#include <QStringList>

// Finds the Chromium-family browser and the keeper, and builds the browser's command line.
class BrowserLocator
{
public:
    // $PESAVO_BROWSER, else the first known browser on PATH; empty when there is none.
    static QString FindBrowser();
    // $PESAVO_BROWSER_KEEPER, else beside the running program, else on PATH.
    static QString FindKeeper();
    static QString DefaultProfileDir();
    static QString DefaultSocketPath();
    // The options for the user's visible browser.
    static BrowserLaunchOptions Defaults();
    static QStringList BrowserArguments(const BrowserLaunchOptions& options);
    static QString InstallHint();
};
