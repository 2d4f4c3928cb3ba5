#pragma once

#include "BrowserLaunchOptions.h"

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
    };
    static Result Open(const BrowserLaunchOptions& options);
    // A session that is deleted safely even from inside one of its own signals.
    static std::shared_ptr<DevToolsSession> Share(DevToolsSession* session);

private:
    static Result OpenOnce(const BrowserLaunchOptions& options);
};
