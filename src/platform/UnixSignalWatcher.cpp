#include "UnixSignalWatcher.h"

#include <QDebug>
#include <QPointer>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// [0] is written by the handler, [1] read on the event loop.
volatile sig_atomic_t gWriteFd = -1;
volatile sig_atomic_t gReceived = 0;
int gReadFd = -1;

} // namespace

UnixSignalWatcher::UnixSignalWatcher(QObject* parent)
    : UnixSignalWatcher({SIGTERM, SIGINT, SIGHUP}, parent)
{ }

UnixSignalWatcher::UnixSignalWatcher(std::initializer_list<int> signalNumbers, QObject* parent)
    : QObject(parent)
{
    if (gReadFd >= 0) {
        qWarning() << "UnixSignalWatcher: only one watcher at a time";
        return;
    }
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) {
        qWarning() << "UnixSignalWatcher: socketpair failed:" << strerror(errno);
        return;
    }
    gReceived = 0;
    gWriteFd = fds[0];
    gReadFd = fds[1];
    mNotifier = new QSocketNotifier(gReadFd, QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &UnixSignalWatcher::ReadPending);

    for (const int number : signalNumbers) {
        struct sigaction action
        {
        };
        action.sa_handler = &UnixSignalWatcher::Handler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        struct sigaction previous
        {
        };
        if (::sigaction(number, &action, &previous) == 0)
            mPrevious.emplace_back(number, previous);
    }
}

UnixSignalWatcher::~UnixSignalWatcher()
{
    for (auto& [number, previous] : mPrevious)
        ::sigaction(number, &previous, nullptr);
    if (!mNotifier)
        return;
    delete mNotifier;
    const int writeFd = gWriteFd;
    gWriteFd = -1;
    ::close(writeFd);
    ::close(gReadFd);
    gReadFd = -1;
}

void UnixSignalWatcher::Handler(int signalNumber)
{
    const int savedErrno = errno;
    gReceived = 1;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (gWriteFd >= 0) {
        // A full pipe drops the signal; the ones already queued still end the program.
        [[maybe_unused]] const ssize_t written = ::write(gWriteFd, &byte, 1);
    }
    errno = savedErrno;
}

bool UnixSignalWatcher::Received()
{
    return gReceived != 0;
}

void UnixSignalWatcher::ReadPending()
{
    unsigned char buffer[64];
    for (;;) {
        const ssize_t n = ::read(gReadFd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        // A receiver may delete us (quitting); stop reading then.
        const QPointer<UnixSignalWatcher> self(this);
        for (ssize_t i = 0; i < n; ++i) {
            Q_EMIT signalReceived(buffer[i]);
            if (!self)
                return;
        }
    }
}
