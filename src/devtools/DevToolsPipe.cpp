#include "DevToolsPipe.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

void SetNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

int Remaining(const QElapsedTimer& timer, int timeoutMs)
{
    const qint64 left = timeoutMs - timer.elapsed();
    return left > 0 ? int(left) : 0;
}

} // namespace

DevToolsPipe::DevToolsPipe(int readFd, int writeFd, QObject* parent)
    : QObject(parent)
    , mReadFd(readFd)
    , mWriteFd(writeFd)
{
    SetNonBlocking(mReadFd);
    if (mWriteFd != mReadFd)
        SetNonBlocking(mWriteFd);
    mNotifier = std::make_unique<QSocketNotifier>(mReadFd, QSocketNotifier::Read);
    connect(mNotifier.get(), &QSocketNotifier::activated, this, [this] {
        if (!ReadAvailable()) {
            mNotifier->setEnabled(false);
        }
        Q_EMIT ReadyRead();
    });
}

DevToolsPipe::~DevToolsPipe()
{
    mNotifier.reset();
    if (mWriteFd >= 0 && mWriteFd != mReadFd)
        ::close(mWriteFd);
    if (mReadFd >= 0)
        ::close(mReadFd);
}

std::unique_ptr<DevToolsPipe> DevToolsPipe::ConnectUnix(const QString& path, QString* error)
{
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    const QByteArray encoded = path.toLocal8Bit();
    if (encoded.size() >= qsizetype(sizeof addr.sun_path)) {
        if (error)
            *error = QStringLiteral("Socket path too long: %1").arg(path);
        return nullptr;
    }
    std::memcpy(addr.sun_path, encoded.constData(), size_t(encoded.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return nullptr;
    }
    // Carrier details and the user's browser sessions go through here: talk only to our own user's keeper.
    ucred cred {};
    socklen_t length = sizeof cred;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0 || cred.uid != ::geteuid()) {
        if (error)
            *error = QStringLiteral("%1 is served by another user").arg(path);
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<DevToolsPipe>(fd, fd);
}

bool DevToolsPipe::Send(const std::string& message, int timeoutMs)
{
    if (mWriteFd < 0 || mWriteBroken)
        return false;
    std::string data = message;
    data.push_back('\0');
    size_t done = 0;
    QElapsedTimer timer;
    timer.start();
    while (done < data.size()) {
        const ssize_t n = ::send(mWriteFd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno == ENOTSOCK) {
            const ssize_t w = ::write(mWriteFd, data.data() + done, data.size() - done);
            if (w > 0) {
                done += size_t(w);
                continue;
            }
            if (w < 0 && errno != EAGAIN && errno != EINTR) {
                MarkWriteBroken();
                return false;
            }
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            MarkWriteBroken();
            return false;
        }
        const int left = Remaining(timer, timeoutMs);
        if (left == 0)
            return false; // a partial message would corrupt the stream: the caller treats us as broken
        pollfd fds[2] = {{mWriteFd, POLLOUT, 0}, {mReadFd, POLLIN, 0}};
        const int nfds = mReadFd == mWriteFd ? 1 : 2;
        if (nfds == 1)
            fds[0].events |= POLLIN;
        if (::poll(fds, nfds_t(nfds), left) < 0 && errno != EINTR)
            return false;
        const short readEvents = nfds == 1 ? fds[0].revents : fds[1].revents;
        if (readEvents & (POLLIN | POLLHUP)) {
            if (!ReadAvailable())
                return false;
        }
    }
    return true;
}

bool DevToolsPipe::Receive(std::vector<std::string>& out, int timeoutMs)
{
    if (TakeMessages(out))
        return true;
    if (mReadFd < 0 || mEof)
        return false;
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (!ReadAvailable()) {
            TakeMessages(out);
            return !out.empty();
        }
        if (TakeMessages(out))
            return true;
        const int left = Remaining(timer, timeoutMs);
        if (left == 0)
            return true;
        pollfd fd {mReadFd, POLLIN, 0};
        if (::poll(&fd, 1, left) < 0 && errno != EINTR)
            return false;
    }
}

void DevToolsPipe::Close()
{
    if (mReadFd < 0)
        return;
    mNotifier.reset();
    if (mWriteFd != mReadFd)
        ::close(mWriteFd);
    ::close(mReadFd);
    mReadFd = mWriteFd = -1;
    mEof = true;
}

bool DevToolsPipe::ReadAvailable()
{
    if (mEof || mReadFd < 0)
        return false;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(mReadFd, chunk, sizeof chunk);
        if (n > 0) {
            mBuffer.append(chunk, size_t(n));
            if (mBuffer.size() > MaxMessageBytes && mBuffer.find('\0', mScanned) == std::string::npos) {
                mCloseReason = QStringLiteral("The browser sent a message over %1 MiB; the connection was closed")
                                   .arg(MaxMessageBytes >> 20);
                qWarning().noquote() << mCloseReason;
                mBuffer.clear();
                mScanned = 0;
                MarkClosed();
                return false;
            }
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return true;
        MarkClosed();
        return false;
    }
}

bool DevToolsPipe::TakeMessages(std::vector<std::string>& out)
{
    const size_t before = out.size();
    size_t start = 0;
    for (;;) {
        const size_t end = mBuffer.find('\0', std::max(start, mScanned));
        if (end == std::string::npos)
            break;
        out.emplace_back(mBuffer, start, end - start);
        start = end + 1;
        mScanned = start;
    }
    if (start > 0) {
        mBuffer.erase(0, start);
        mScanned = 0;
    }
    mScanned = mBuffer.size();
    return out.size() > before;
}

void DevToolsPipe::MarkWriteBroken()
{
    // What the peer wrote before it went is still in the socket: the read side reports the end once
    // that is read.
    mWriteBroken = true;
    QMetaObject::invokeMethod(this, &DevToolsPipe::Closed, Qt::QueuedConnection);
}

void DevToolsPipe::MarkClosed()
{
    if (mEof)
        return;
    mEof = true;
    // Delivered from the event loop: the caller may be deep inside a blocking call.
    QMetaObject::invokeMethod(this, &DevToolsPipe::Closed, Qt::QueuedConnection);
}
