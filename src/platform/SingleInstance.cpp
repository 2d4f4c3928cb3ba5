#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QByteArray kPing = QByteArrayLiteral("ping\n");

QString exePath(qint64 pid)
{
    QString target = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    // An executable replaced by an update still names the old file.
    if (target.endsWith(QStringLiteral(" (deleted)")))
        target.chop(10);
    return target;
}

bool processGone(qint64 pid)
{
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return true;
    // A zombie waits only for its parent; it holds nothing of ours any more.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && line.size() > close + 2 && line.at(close + 2) == 'Z';
}

bool waitGone(qint64 pid, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!processGone(pid)) {
        if (deadline.hasExpired())
            return false;
        ::usleep(10 * 1000);
    }
    return true;
}

// Serialises the check of two instances started at the same moment, so the second
// does not remove the socket the first has just made. Taken with a deadline: a
// stopped process that holds it must not hang every later start, which then goes on
// without it (the worst case is the race the lock is there for, not a hang).
class StartLock
{
public:
    StartLock(const QString& path, int timeoutMs)
    {
        mFd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (mFd < 0)
            return;
        const QDeadlineTimer deadline(timeoutMs);
        while (::flock(mFd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                break;
            if (deadline.hasExpired()) {
                ::close(mFd);
                mFd = -1;
                return;
            }
            ::usleep(10 * 1000);
        }
    }
    ~StartLock()
    {
        if (mFd >= 0)
            ::close(mFd);
    }
    StartLock(const StartLock&) = delete;
    StartLock& operator=(const StartLock&) = delete;
    bool Held() const { return mFd >= 0; }

private:
    int mFd = -1;
};

QString Join(const QString& a, const QString& b)
{
    return a.isEmpty() ? b : a + QStringLiteral("; ") + b;
}

} // namespace

SingleInstance::SingleInstance(QObject* parent)
    : SingleInstance(DefaultSocketPath(), parent)
{ }

SingleInstance::SingleInstance(const QString& socketPath, QObject* parent)
    : QObject(parent)
    , mSocketPath(socketPath)
{ }

SingleInstance::~SingleInstance()
{
    // close() removes the socket file, so the next start finds no listener.
    if (mServer)
        mServer->close();
}

QString SingleInstance::DefaultSocketPath()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return dir + QStringLiteral("/Pesavo") + QString::number(::getuid());
}

bool SingleInstance::IsListening() const
{
    return mServer && mServer->isListening();
}

SingleInstance::Probe SingleInstance::Ask(qint64* peerPid) const
{
    const QDeadlineTimer deadline(kAnswerTimeoutMs);
    QLocalSocket socket;
    socket.connectToServer(mSocketPath);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return Probe::NoListener;

    struct ucred cred
    {
    };
    socklen_t length = sizeof cred;
    if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &cred, &length) == 0
        && cred.uid == ::getuid() && cred.pid > 1 && cred.pid != ::getpid())
        *peerPid = cred.pid;

    socket.write(kPing);
    socket.waitForBytesWritten(int(deadline.remainingTime()));
    QByteArray reply;
    while (!reply.contains('\n')) {
        if (socket.bytesAvailable() == 0) {
            if (deadline.hasExpired() || socket.state() != QLocalSocket::ConnectedState)
                break;
            if (!socket.waitForReadyRead(int(deadline.remainingTime())))
                continue;
        }
        reply += socket.readAll();
        if (reply.size() > 64)
            break;
    }
    if (reply.trimmed() == QByteArray::number(kMarker))
        return Probe::Ours;
    if (reply.isEmpty() && deadline.hasExpired() && socket.state() == QLocalSocket::ConnectedState)
        return Probe::Hung;
    return Probe::Foreign;
}

SingleInstance::Result SingleInstance::Acquire(QString* message)
{
    const StartLock lock(mSocketPath + QStringLiteral(".lock"), kLockTimeoutMs);
    QString note;
    if (!lock.Held())
        note = QStringLiteral("the start lock is held by a process that does not let go; going on without it");
    qint64 peer = 0;
    const Probe probe = Ask(&peer);
    switch (probe) {
    case Probe::Ours:
        if (message)
            *message = QStringLiteral("another instance is running");
        return Result::AlreadyRunning;
    case Probe::NoListener:
        break;
    case Probe::Hung:
        if (peer > 0 && !exePath(peer).isEmpty() && exePath(peer) == exePath(::getpid())) {
            ::kill(pid_t(peer), SIGTERM);
            // A stopped process only acts on SIGTERM once continued.
            ::kill(pid_t(peer), SIGCONT);
            if (!waitGone(peer, 500)) {
                ::kill(pid_t(peer), SIGKILL);
                waitGone(peer, 2000);
            }
            note = Join(note, QStringLiteral("ended an instance that did not answer (pid %1)").arg(peer));
        } else {
            note = Join(note,
                        QStringLiteral("a silent listener that is not this program holds the name; taking it over"));
        }
        break;
    case Probe::Foreign:
        note = Join(note,
                    QStringLiteral("a listener that does not answer as this program holds the name; taking it over"));
        break;
    }
    if (!note.isEmpty())
        qWarning().noquote() << "single instance:" << note;
    QString listenError;
    if (!Listen(&listenError)) {
        qWarning().noquote() << "single instance:" << listenError;
        note = Join(note, listenError);
    }
    if (message)
        *message = note;
    return Result::Primary;
}

bool SingleInstance::Listen(QString* message)
{
    QLocalServer::removeServer(mSocketPath);
    if (!mServer) {
        mServer = new QLocalServer(this);
        connect(mServer, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = mServer->nextPendingConnection()) {
                connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Answer(socket); });
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                Answer(socket);
            }
        });
    }
    if (mServer->listen(mSocketPath))
        return true;
    *message = QStringLiteral("cannot listen on %1: %2; later starts will not find this one")
                   .arg(mSocketPath, mServer->errorString());
    return false;
}

void SingleInstance::Answer(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        // Nobody sends more than a ping; drop talkers that do.
        if (socket->bytesAvailable() > 64)
            socket->abort();
        return;
    }
    const QByteArray line = socket->readLine(65);
    if (line != kPing) {
        socket->disconnectFromServer();
        return;
    }
    socket->write(QByteArray::number(kMarker) + '\n');
    socket->flush();
    socket->disconnectFromServer();
}
