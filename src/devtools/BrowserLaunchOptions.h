#pragma once

#include <QString>
#include <QStringList>

// Where the browser, its keeper, profile and socket are, and how the browser is started.
struct BrowserLaunchOptions
{
    QString browserPath; // empty: not found
    QString keeperPath;
    QString profileDir;
    QString socketPath;
    bool headless = false;
    // The keeper closes the browser after this long without a client; 0 keeps it for the user.
    int idleExitMs = 0;
    // Started ahead of a launch: no window until a page is opened, and closed by its keeper once it has
    // shown none for windowlessExitMs.
    bool windowless = false;
    int windowlessExitMs = 0;
    QStringList extraArguments;
};
