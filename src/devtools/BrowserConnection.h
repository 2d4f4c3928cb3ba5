#pragma once

#include "BrowserLaunchOptions.h"

#include <QElapsedTimer>
#include <QString>

#include <memory>

class DevToolsSession;

// Reaches the browser through its keeper: connects to the keeper's socket, or starts the keeper (which
// starts the browser) when nobody listens there.
class BrowserConnection
{
public:
    struct Result
    {
        std::shared_ptr<DevToolsSession> session; // nullptr on failure
        bool freshBrowser = false; // we started it just now
        bool reusedKeeper = false; // we found a keeper running
        bool connectionClosed = false; // the keeper closed the connection before the browser answered
        QString error;
        // Milliseconds from Open until the keeper took our connection and until the browser first answered.
        qint64 keeperMs = -1;
        qint64 browserMs = -1;
    };
    static Result Open(const BrowserLaunchOptions& options);
    // Starts a keeper with the browser and returns without connecting; false with the reason in *error.
    static bool StartKeeper(const BrowserLaunchOptions& options, QString* error);
    // Whether a keeper serves the socket (it then takes the probe for a client that left at once).
    static bool IsListening(const QString& socketPath);
    // A session that is deleted safely even from inside one of its own signals.
    static std::shared_ptr<DevToolsSession> Share(DevToolsSession* session);

private:
    static Result OpenOnce(const BrowserLaunchOptions& options, const QElapsedTimer& clock);
};
