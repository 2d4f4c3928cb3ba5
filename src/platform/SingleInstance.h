#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// One responsive instance per user. The running instance listens on a local
// socket named after the instance marker and answers "ping" with the marker value
// 4369. A later start asks it:
//  - the marker comes back within 1000 ms: another instance runs; the caller ends
//    at once, touching nothing;
//  - nobody listens (none running, or a crashed one left its socket file): the
//    stale file is removed and this start becomes the instance;
//  - the listener does not answer in time: it is taken for a hung instance of
//    ours when the socket's peer credentials (SO_PEERCRED) name a process of the
//    same user running the same executable; that process gets SIGTERM, then
//    SIGKILL after a short grace, and this start becomes the instance;
//  - anything else (a listener that answers something else, closes, or is silent
//    but is not our program) is not ours: it is left running, and since the name
//    in our private runtime folder belongs to us, this start takes it over.
// A later start is answered and nothing else: the running instance does not come
// forward, and the later one ends silently.
// The check blocks with deadlines on the socket; it runs before the event loop.
class SingleInstance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)

public:
    enum class Result
    {
        Primary,
        AlreadyRunning
    };
    static constexpr int kMarker = 4369;
    static constexpr int kAnswerTimeoutMs = 1000;
    static constexpr int kLockTimeoutMs = 3000;

    explicit SingleInstance(QObject* parent = nullptr);
    SingleInstance(const QString& socketPath, QObject* parent);
    ~SingleInstance() override;

    // `message` tells what happened (another instance, a hung one ended, ...).
    Result Acquire(QString* message = nullptr);
    QString SocketPath() const { return mSocketPath; }
    bool IsListening() const;

    // $XDG_RUNTIME_DIR (or Qt's fallback runtime folder)/Pesavo<uid>.
    static QString DefaultSocketPath();

private:
    enum class Probe
    {
        NoListener,
        Ours,
        Hung,
        Foreign
    };
    Probe Ask(qint64* peerPid) const;
    bool Listen(QString* message);
    void Answer(QLocalSocket* socket);

    QString mSocketPath;
    QLocalServer* mServer = nullptr;
};
