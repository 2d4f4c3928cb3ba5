#pragma once

#include <string>
#include <vector>

// The small process that owns the browser's DevTools pipe, so the browser window outlives Pesavo.
// It relays whole NUL-terminated messages between the pipe and one client on a private Unix socket;
// a new client replaces the old one. It leaves when the browser does.
class BrowserKeeper final
{
public:
    BrowserKeeper(std::string socketPath, int idleExitMs, std::vector<std::string> browserCommand);
    ~BrowserKeeper();
    BrowserKeeper(const BrowserKeeper&) = delete;
    BrowserKeeper& operator=(const BrowserKeeper&) = delete;

    int Run(); // the process exit code

private:
    bool Listen();
    bool StartBrowser();
    void AcceptClient();
    void DropClient();
    bool FromBrowser(); // false once the browser closed its end
    void FromClient();
    static bool WriteAll(int fd, const char* data, size_t size);

    std::string mSocketPath;
    int mIdleExitMs;
    std::vector<std::string> mCommand;
    int mListenFd = -1;
    int mClientFd = -1;
    int mToBrowser = -1;
    int mFromBrowser = -1;
    int mBrowserPid = -1;
    std::string mBrowserBuffer;
    std::string mClientBuffer;
};
