#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

// The small process that owns the browser's DevTools pipe, so the browser window outlives Pesavo.
// It relays whole NUL-terminated messages between the pipe and one client on a private Unix socket;
// a new client replaces the old one. It leaves when the browser does, but not before the client that
// started it has connected: that client then reads the end of the stream, whichever of the two came first,
// and can tell the user that the browser quit at once. Only the user who runs it may connect.
// A browser started without a window stays running when its last window closes; given windowlessExitMs,
// the keeper asks it now and then for its tabs and closes it once it has shown none for that long, with
// or without a client, so that nobody is left holding an invisible browser.
class BrowserKeeper final
{
public:
    BrowserKeeper(std::string socketPath, int idleExitMs, std::vector<std::string> browserCommand,
                  int windowlessExitMs = 0);
    ~BrowserKeeper();
    BrowserKeeper(const BrowserKeeper&) = delete;
    BrowserKeeper& operator=(const BrowserKeeper&) = delete;

    int Run(); // the process exit code

    // Exit codes of Run().
    static constexpr int kBadArguments = 2;
    static constexpr int kBrowserNotStarted = 3;
    static constexpr int kPollFailed = 4;
    static constexpr int kAnotherKeeper = 5; // a live keeper already serves the socket: leave it alone
private:
    bool Lock();
    bool Listen();
    void ServeFirstClient(int timeoutMs);
    bool StartBrowser();
    void AcceptClient();
    void DropClient();
    bool FromBrowser(); // false once the browser closed its end
    void FromClient();
    static bool WriteAll(int fd, const char* data, size_t size);
    void AskForTabs();
    // Our own question's answer, taken out of the stream; false for anything meant for the client.
    bool TookOwnReply(std::string_view message);

    std::string mSocketPath;
    int mIdleExitMs;
    int mWindowlessExitMs;
    std::chrono::steady_clock::time_point mLastTabSeen;
    bool mBrowserAnswered = false;
    std::chrono::steady_clock::time_point mNextQuestion;
    std::vector<std::string> mCommand;
    int mLockFd = -1;
    int mListenFd = -1;
    bool mServedClient = false;
    int mClientFd = -1;
    int mToBrowser = -1;
    int mFromBrowser = -1;
    int mBrowserPid = -1;
    std::string mBrowserBuffer;
    std::string mClientBuffer;
    bool mDiscarding = false; // inside a message from the browser that was too large to pass on
};
