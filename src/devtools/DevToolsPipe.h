#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QSocketNotifier;

// A stream of NUL-terminated DevTools messages over file descriptors: the browser's pipe pair, or one
// Unix socket to the keeper. Knows nothing of the protocol. Blocking waits use poll() with a deadline so
// the UI thread never waits longer than its caller allows.
class DevToolsPipe final : public QObject
{
    Q_OBJECT
public:
    // Takes ownership of the descriptors; readFd may equal writeFd (a socket).
    DevToolsPipe(int readFd, int writeFd, QObject* parent = nullptr);
    ~DevToolsPipe() override;

    // Connects to a listening Unix socket; nullptr (and *error) when nobody listens there.
    static std::unique_ptr<DevToolsPipe> ConnectUnix(const QString& path, QString* error);

    // Writes one message and its terminator. While the peer is not reading we keep reading its messages
    // into our buffer, so two peers writing at once cannot block each other.
    bool Send(const std::string& message, int timeoutMs);
    // Appends the complete messages that are there or arrive within timeoutMs. False once the peer is gone
    // and no buffered message is left.
    bool Receive(std::vector<std::string>& out, int timeoutMs);
    bool IsOpen() const { return mReadFd >= 0; }
    void Close();
    // A message larger than this ends the connection: a page could otherwise grow our memory without end.
    static constexpr size_t MaxMessageBytes = size_t(64) << 20;
    // Why the pipe closed itself; empty when the peer went.
    QString CloseReason() const { return mCloseReason; }

Q_SIGNALS:
    void ReadyRead();
    void Closed();

private:
    bool ReadAvailable(); // false on EOF or a hard error
    bool TakeMessages(std::vector<std::string>& out);
    void MarkClosed();
    void MarkWriteBroken();

    int mReadFd = -1;
    int mWriteFd = -1;
    std::string mBuffer;
    size_t mScanned = 0;
    std::unique_ptr<QSocketNotifier> mNotifier;
    bool mEof = false;
    bool mWriteBroken = false;
    QString mCloseReason;
};
