#pragma once

#include <QObject>

#include <csignal>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the event loop, so that a
// logout or Ctrl+C ends the program through its normal exit path (settings saved).
// The handler only writes the signal number into a socket pair, which is all a
// signal handler may safely do. One watcher at a time; the previous handlers come
// back when it is destroyed.
class UnixSignalWatcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UnixSignalWatcher)

public:
    explicit UnixSignalWatcher(QObject* parent = nullptr);
    UnixSignalWatcher(std::initializer_list<int> signalNumbers, QObject* parent);
    ~UnixSignalWatcher() override;

    // False when the socket pair could not be made or another watcher exists.
    bool IsValid() const { return mNotifier != nullptr; }
    // True once a watched signal arrived, before the event loop has seen it: code that blocks on its own
    // deadline (a browser call) asks this to give up at once, so the program ends when asked to.
    static bool Received();

Q_SIGNALS:
    void signalReceived(int signalNumber);

private:
    static void Handler(int signalNumber);
    void ReadPending();

    QSocketNotifier* mNotifier = nullptr;
    std::vector<std::pair<int, struct sigaction>> mPrevious;
};
