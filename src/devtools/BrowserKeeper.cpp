#include "BrowserKeeper.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string_view>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr size_t kMaxMessageBytes = size_t(64) << 20;
// The keeper's own question to the browser. Clients number their calls from 1 up, so a negative id
// never meets one of theirs, and its answer is taken out before it could reach them.
constexpr std::string_view kTabsQuestion = "{\"id\":-1,\"method\":\"Target.getTargets\"}";
constexpr std::string_view kTabsReply = "{\"id\":-1,";
constexpr int kMaxQuestionGapMs = 10000;
} // namespace

BrowserKeeper::BrowserKeeper(std::string socketPath, int idleExitMs, std::vector<std::string> browserCommand,
                             int windowlessExitMs)
    : mSocketPath(std::move(socketPath))
    , mIdleExitMs(idleExitMs)
    , mWindowlessExitMs(windowlessExitMs)
    , mCommand(std::move(browserCommand))
{ }

BrowserKeeper::~BrowserKeeper()
{
    // The name goes first: by the time our client reads the end of its connection, a new start finds no
    // socket of ours and starts a keeper of its own instead of talking to one that is leaving.
    if (mListenFd >= 0) {
        ::close(mListenFd);
        ::unlink(mSocketPath.c_str());
    }
    DropClient();
    if (mToBrowser >= 0)
        ::close(mToBrowser); // the browser quits when its pipe closes
    if (mFromBrowser >= 0)
        ::close(mFromBrowser);
    if (mBrowserPid > 0)
        ::waitpid(mBrowserPid, nullptr, 0);
    if (mLockFd >= 0)
        ::close(mLockFd); // last: the socket is gone before another keeper may take the name
}

namespace {
// How long a keeper whose browser quit at once waits for the program that started it. That program
// connects within milliseconds; the limit only matters when nobody comes.
constexpr int kFirstClientWaitMs = 10000;
constexpr int kLockWaitMs = 1500;
// How long a browser started without a window may take to answer at all before it counts as unused.
constexpr int kFirstAnswerWaitMs = 60000;

bool SameUser(int fd)
{
    ucred cred {};
    socklen_t length = sizeof cred;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) == 0 && cred.uid == ::geteuid();
}
} // namespace

int BrowserKeeper::Run()
{
    ::signal(SIGPIPE, SIG_IGN);
    if (mCommand.empty())
        return kBadArguments;
    if (!Lock())
        return kAnotherKeeper;
    if (!Listen())
        return kBadArguments;
    if (!StartBrowser()) {
        ServeFirstClient(kFirstClientWaitMs);
        return kBrowserNotStarted;
    }
    using std::chrono::milliseconds;
    auto idleSince = std::chrono::steady_clock::now();
    mLastTabSeen = idleSince;
    mNextQuestion = idleSince;
    for (;;) {
        pollfd fds[3] = {{mFromBrowser, POLLIN, 0}, {mListenFd, POLLIN, 0}, {mClientFd, POLLIN, 0}};
        const nfds_t count = mClientFd >= 0 ? 3 : 2;
        int timeout = -1;
        const auto now = std::chrono::steady_clock::now();
        if (mIdleExitMs > 0 && mClientFd < 0) {
            const auto idle = std::chrono::duration_cast<milliseconds>(now - idleSince).count();
            if (idle >= mIdleExitMs)
                return 0; // the destructor closes the pipe and the browser follows
            timeout = int(mIdleExitMs - idle);
        }
        if (mWindowlessExitMs > 0) {
            // The allowance runs from the browser's first answer: a start slowed by a busy machine is not
            // counted against it, though a browser that never answers is still closed in the end.
            const milliseconds allowance = mBrowserAnswered
                ? milliseconds(mWindowlessExitMs)
                : std::max(milliseconds(mWindowlessExitMs), milliseconds(kFirstAnswerWaitMs));
            if (now - mLastTabSeen >= allowance)
                return 0;
            if (now >= mNextQuestion)
                AskForTabs();
            const auto untilQuestion = std::chrono::duration_cast<milliseconds>(mNextQuestion - now).count();
            timeout = timeout < 0 ? int(std::max<long long>(untilQuestion, 0))
                                  : std::min(timeout, int(std::max<long long>(untilQuestion, 0)));
        }
        if (::poll(fds, count, timeout) < 0) {
            if (errno == EINTR)
                continue;
            return kPollFailed;
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            if (!FromBrowser()) {
                ServeFirstClient(kFirstClientWaitMs);
                return 0;
            }
        }
        if (count == 3 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR)))
            FromClient();
        if (fds[1].revents & POLLIN)
            AcceptClient();
        if (mClientFd < 0 && count == 3)
            idleSince = std::chrono::steady_clock::now();
    }
}

bool BrowserKeeper::Lock()
{
    // Held for the keeper's whole life. Two keepers started at once would otherwise each remove the
    // other's socket as stale; the second one sees the lock taken and leaves the live one alone.
    const std::string path = mSocketPath + ".lock";
    mLockFd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (mLockFd < 0) {
        std::fprintf(stderr, "pesavo-browser-keeper: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    // A keeper on its way out lets go within milliseconds; a live one never does.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockWaitMs);
    while (::flock(mLockFd, LOCK_EX | LOCK_NB) != 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            std::fprintf(stderr, "pesavo-browser-keeper: another keeper serves %s\n", mSocketPath.c_str());
            return false;
        }
        ::usleep(10 * 1000);
    }
    return true;
}

void BrowserKeeper::ServeFirstClient(int timeoutMs)
{
    // The program that started us polls for the socket. Had we gone before it came, it would find no socket
    // and could not tell a browser that quit from a keeper that never started. Let it connect and read the
    // end of the stream instead.
    if (mServedClient || mListenFd < 0)
        return;
    pollfd fd {mListenFd, POLLIN, 0};
    int ready;
    do
        ready = ::poll(&fd, 1, timeoutMs);
    while (ready < 0 && errno == EINTR);
    if (ready > 0)
        AcceptClient();
    DropClient();
}

bool BrowserKeeper::Listen()
{
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    if (mSocketPath.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, mSocketPath.data(), mSocketPath.size());
    mListenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (mListenFd < 0)
        return false;
    ::unlink(mSocketPath.c_str()); // a stale socket of a keeper that died
    // Created 0600 from the start: nobody else may talk to a browser that holds the user's sessions.
    const mode_t old = ::umask(0177);
    const int bound = ::bind(mListenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::umask(old);
    if (bound != 0 || ::listen(mListenFd, 4) != 0) {
        std::fprintf(stderr, "pesavo-browser-keeper: cannot listen on %s: %s\n", mSocketPath.c_str(),
                     std::strerror(errno));
        ::close(mListenFd);
        mListenFd = -1;
        return false;
    }
    ::chmod(mSocketPath.c_str(), 0600);
    return true;
}

bool BrowserKeeper::StartBrowser()
{
    int toBrowser[2];
    int fromBrowser[2];
    if (::pipe2(toBrowser, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(fromBrowser, O_CLOEXEC) != 0) {
        ::close(toBrowser[0]);
        ::close(toBrowser[1]);
        return false;
    }
    std::vector<char*> argv;
    for (std::string& arg : mCommand)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls from here to exec. Move clear of 3/4 first, then dup2 (which also
        // clears close-on-exec).
        const int in = ::fcntl(toBrowser[0], F_DUPFD, 10);
        const int out = ::fcntl(fromBrowser[1], F_DUPFD, 10);
        ::dup2(in, 3);
        ::dup2(out, 4);
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(toBrowser[0]);
    ::close(fromBrowser[1]);
    if (pid < 0) {
        ::close(toBrowser[1]);
        ::close(fromBrowser[0]);
        return false;
    }
    mBrowserPid = pid;
    mToBrowser = toBrowser[1];
    mFromBrowser = fromBrowser[0];
    return true;
}

void BrowserKeeper::AcceptClient()
{
    const int fd = ::accept4(mListenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    // The socket file is 0600 in a private folder; this also holds where a folder's rights were loosened.
    if (!SameUser(fd)) {
        std::fprintf(stderr, "pesavo-browser-keeper: refused a connection from another user\n");
        ::close(fd);
        return;
    }
    mServedClient = true;
    // One client at a time: a restarted program replaces whatever connection its predecessor left.
    DropClient();
    // A client that stops reading (frozen, or stopped in a debugger) is dropped rather than stalling the
    // browser's messages to everyone after it.
    timeval timeout {5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    mClientFd = fd;
}

void BrowserKeeper::DropClient()
{
    if (mClientFd >= 0)
        ::close(mClientFd);
    mClientFd = -1;
    mClientBuffer.clear(); // a half message of a client that left must not reach the browser
}

void BrowserKeeper::AskForTabs()
{
    // A tenth of the allowance between two questions: the browser closes at most that much later than due.
    const int gap = std::clamp(mWindowlessExitMs / 10, 50, kMaxQuestionGapMs);
    mNextQuestion = std::chrono::steady_clock::now() + std::chrono::milliseconds(gap);
    std::string question(kTabsQuestion);
    question.push_back('\0');
    WriteAll(mToBrowser, question.data(), question.size());
}

bool BrowserKeeper::TookOwnReply(std::string_view message)
{
    if (mWindowlessExitMs <= 0 || message.substr(0, kTabsReply.size()) != kTabsReply)
        return false;
    // Every window holds at least one tab, and a tab is a target of type page.
    if (!mBrowserAnswered || message.find("\"type\":\"page\"") != std::string_view::npos)
        mLastTabSeen = std::chrono::steady_clock::now();
    mBrowserAnswered = true;
    return true;
}

bool BrowserKeeper::FromBrowser()
{
    char chunk[65536];
    const ssize_t n = ::read(mFromBrowser, chunk, sizeof chunk);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return true;
    if (n <= 0)
        return false;
    std::string_view read(chunk, size_t(n));
    if (mDiscarding) {
        // The rest of a message too large to pass on: dropped up to its end.
        const size_t end = read.find('\0');
        if (end == std::string_view::npos)
            return true;
        read.remove_prefix(end + 1);
        mDiscarding = false;
    }
    mBrowserBuffer.append(read);
    const size_t end = mBrowserBuffer.rfind('\0');
    if (end == std::string::npos) {
        // A page can make the browser send a message of any size: past the limit the client loses its
        // connection (it would refuse the message too) rather than the keeper its memory.
        if (mBrowserBuffer.size() > kMaxMessageBytes) {
            std::fprintf(stderr, "pesavo-browser-keeper: a message from the browser is over 64 MiB; client dropped\n");
            mBrowserBuffer.clear();
            mDiscarding = true;
            DropClient();
        }
        return true;
    }
    // Whole messages only, so a client that connects later starts on a message boundary. Without a client
    // they are dropped: nobody waits for them.
    std::string_view whole(mBrowserBuffer.data(), end + 1);
    std::string forward;
    if (mWindowlessExitMs > 0) {
        for (size_t at = 0; at < whole.size();) {
            const size_t stop = whole.find('\0', at);
            const std::string_view message = whole.substr(at, stop - at);
            if (!TookOwnReply(message))
                forward.append(message).push_back('\0');
            at = stop + 1;
        }
        whole = forward;
    }
    if (mClientFd >= 0 && !whole.empty() && !WriteAll(mClientFd, whole.data(), whole.size()))
        DropClient();
    mBrowserBuffer.erase(0, end + 1);
    return true;
}

void BrowserKeeper::FromClient()
{
    char chunk[65536];
    const ssize_t n = ::read(mClientFd, chunk, sizeof chunk);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        DropClient();
        return;
    }
    // A client at work is about to open a window, or is waiting for one: the browser is in use.
    mLastTabSeen = std::chrono::steady_clock::now();
    mClientBuffer.append(chunk, size_t(n));
    const size_t end = mClientBuffer.rfind('\0');
    if (end == std::string::npos)
        return;
    WriteAll(mToBrowser, mClientBuffer.data(), end + 1);
    mClientBuffer.erase(0, end + 1);
}

bool BrowserKeeper::WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}
