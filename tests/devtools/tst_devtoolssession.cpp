#include "DevToolsPipe.h"
#include "DevToolsSession.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {
using Json = nlohmann::json;

// One end of a socket pair plays the browser: it holds recorded messages for the session to read.
class RecordedPeer
{
public:
    RecordedPeer()
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, mFds) == 0)
            ::fcntl(mFds[0], F_SETFL, ::fcntl(mFds[0], F_GETFL) | O_NONBLOCK);
    }
    ~RecordedPeer() { CloseOurEnd(); }
    // The session's end, handed over once.
    std::unique_ptr<DevToolsPipe> Pipe() { return std::make_unique<DevToolsPipe>(mFds[1], mFds[1]); }
    // False, for the caller's QVERIFY, when the bytes did not all go out.
    bool Write(const std::string& raw) { return ::write(mFds[0], raw.data(), raw.size()) == ssize_t(raw.size()); }
    bool Message(const std::string& json) { return Write(json + '\0'); }
    bool Messages(const QStringList& recorded)
    {
        return std::all_of(recorded.begin(), recorded.end(),
                           [this](const QString& m) { return Message(m.toStdString()); });
    }
    // Writes that many bytes with no end of message, until told to stop.
    void Flood(size_t bytes, const std::atomic<bool>& stop)
    {
        const std::string chunk(size_t(1) << 20, 'x');
        while (bytes > 0 && !stop) {
            pollfd fd {mFds[0], POLLOUT, 0};
            if (::poll(&fd, 1, 100) <= 0)
                continue;
            const ssize_t n = ::send(mFds[0], chunk.data(), std::min(bytes, chunk.size()), MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return;
            bytes -= n > 0 ? size_t(n) : 0;
        }
    }
    // Closing -1 again is harmless.
    void CloseOurEnd() { ::close(std::exchange(mFds[0], -1)); }

private:
    int mFds[2] = {-1, -1};
};

QString Methods(const QSignalSpy& spy)
{
    QStringList methods;
    for (const QList<QVariant>& args : spy)
        methods << QString::fromStdString(args.at(0).value<Json>()["method"].get<std::string>());
    return methods.join(u',');
}
} // namespace

Q_DECLARE_METATYPE(nlohmann::json)

class TestDevToolsSession : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<nlohmann::json>(); }

    void replies_data()
    {
        QTest::addColumn<QStringList>("recorded"); // what the browser says before our reply arrives
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<QString>("outcome"); // the result, or part of the error
        QTest::addColumn<QString>("events"); // events delivered afterwards, in order
        QTest::newRow("events before the reply wait their turn")
            << QStringList {uR"({"method":"Page.frameNavigated","params":{}})"_s,
                            uR"({"method":"Page.loadEventFired","params":{},"sessionId":"S"})"_s,
                            uR"({"id":1,"result":{}})"_s}
            << true << u"{}"_s << u"Page.frameNavigated,Page.loadEventFired"_s;
        QTest::newRow("late reply of another call is dropped")
            << QStringList {uR"({"id":99,"result":{"stale":true}})"_s, uR"({"id":1,"result":{"fresh":true}})"_s} << true
            << uR"({"fresh":true})"_s << QString();
        QTest::newRow("error reply")
            << QStringList {uR"({"id":1,"error":{"code":-32000,"message":"No target with given id"}})"_s} << false
            << u"No target with given id"_s << QString();
        QTest::newRow("garbage in between")
            << QStringList {u"not json at all"_s, u"[1,2]"_s, uR"({"id":"1","result":{}})"_s,
                            uR"({"id":1,"result":{"ok":true}})"_s}
            << true << uR"({"ok":true})"_s << QString();
        QTest::newRow("no reply in time") << QStringList {} << false << u"timed out"_s << QString();
    }
    void replies()
    {
        QFETCH(QStringList, recorded);
        QFETCH(bool, succeeds);
        QFETCH(QString, outcome);
        QFETCH(QString, events);
        RecordedPeer peer;
        DevToolsSession session(peer.Pipe());
        QSignalSpy delivered(&session, &DevToolsSession::EventReceived);
        QVERIFY(peer.Messages(recorded));
        const auto reply = session.Call("Target.getTargets", Json::object(), {}, 300);
        QCOMPARE(reply.has_value(), succeeds);
        if (succeeds)
            QCOMPARE(QString::fromStdString(reply->dump()), outcome);
        else
            QVERIFY2(session.LastError().contains(outcome), qPrintable(session.LastError()));
        QCOMPARE(delivered.count(), 0); // never from inside the call
        QCoreApplication::processEvents();
        QCOMPARE(Methods(delivered), events);
        QVERIFY(session.IsOpen());
    }

    // A page showing alert(), confirm() or a leave-page question answers no script until the user closes it:
    // calls into it fail at once instead of holding the window for their deadline; the browser still answers.
    void dialogsStopPageCalls_data()
    {
        QTest::addColumn<QStringList>("before"); // read while the first browser call waits for reply 1
        QTest::addColumn<QString>("error"); // of a script call into page session S ("" = it succeeds)
        const QString opening = uR"({"method":"Page.javascriptDialogOpening","sessionId":"S"})"_s;
        const QString closed = uR"({"method":"Page.javascriptDialogClosed","sessionId":"S"})"_s;
        const QString reply1 = uR"({"id":1,"result":{}})"_s;
        QTest::newRow("dialog open: fails without waiting") << QStringList {opening, reply1} << u"shows a dialog"_s;
        QTest::newRow("opened during the call") << QStringList {reply1} << u"opened a dialog"_s;
        QTest::newRow("closed again") << QStringList {opening, closed, reply1} << QString();
        QTest::newRow("another page's dialog")
            << QStringList {QString(opening).replace(u"\"S\""_s, u"\"T\""_s), reply1} << QString();
    }
    void dialogsStopPageCalls()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, error);
        RecordedPeer peer;
        DevToolsSession session(peer.Pipe());
        QVERIFY(peer.Messages(before));
        QVERIFY(session.Call("Target.getTargets", Json::object(), {}, 2000));
        QVERIFY(peer.Message(error == u"opened a dialog"_s
                                 ? R"({"method":"Page.javascriptDialogOpening","sessionId":"S"})"
                                 : R"({"id":2,"result":{"ok":true}})"));
        // Far longer than the test may take: a call that waited would fail with "timed out" instead.
        const auto reply = session.Call("Runtime.evaluate", Json::object(), "S", 20000);
        QCOMPARE(reply.has_value(), error.isEmpty());
        if (!error.isEmpty())
            QVERIFY2(session.LastError().contains(error), qPrintable(session.LastError()));
        QVERIFY(peer.Message(R"({"id":3,"result":{}})"));
        QVERIFY(session.Call("Target.getTargets", Json::object(), {}, 2000)); // the browser itself still answers
    }

    // A sent call's reply reaches its handler even while another call waits (a navigation's end, noted while
    // a page call runs); a reply nobody asked for is dropped.
    void sentCallsHearTheirReply()
    {
        RecordedPeer peer;
        DevToolsSession session(peer.Pipe());
        QList<int> heard;
        const int sent = session.Send("Page.navigate", Json::object(), "S",
                                      [&heard](const Json& reply) { heard << reply.value("id", 0); });
        QCOMPARE(sent, 1);
        QVERIFY(peer.Messages(
            {uR"({"id":7,"result":{}})"_s, uR"({"id":1,"result":{"loaderId":"L"}})"_s, uR"({"id":2,"result":{}})"_s}));
        QVERIFY(session.Call("Runtime.evaluate", Json::object(), "S", 2000));
        QCOMPARE(heard, QList<int> {1});
    }

    void lostConnectionFailsCallsAndSignals()
    {
        RecordedPeer peer;
        DevToolsSession session(peer.Pipe());
        QSignalSpy disconnected(&session, &DevToolsSession::Disconnected);
        QSignalSpy delivered(&session, &DevToolsSession::EventReceived);
        QVERIFY(peer.Message(R"({"method":"Inspector.detached","params":{"reason":"Render process gone."}})"));
        peer.CloseOurEnd();
        QVERIFY(!session.Call("Target.getTargets", Json::object(), {}, 2000));
        QVERIFY(!session.IsOpen());
        QVERIFY(!session.Call("Target.getTargets", Json::object(), {}, 2000));
        QCOMPARE(session.Send("Browser.close"), 0);
        QVERIFY(disconnected.wait(1000));
        // The last words before the end still reach the listeners, before the disconnect.
        QCOMPARE(Methods(delivered), u"Inspector.detached"_s);
        QCOMPARE(disconnected.count(), 1);
    }

    // A browser made to send one endless message (a page can do that) costs the connection, not our
    // memory; and a program told to end does not wait out a call's deadline.
    void oversizedMessageEndsTheConnection()
    {
        RecordedPeer peer;
        DevToolsSession session(peer.Pipe());
        std::atomic<bool> stop {false};
        std::thread flood([&] { peer.Flood(DevToolsPipe::MaxMessageBytes + (size_t(1) << 20), stop); });
        const auto reply = session.Call("Page.getFrameTree", Json::object(), {}, 120000);
        stop = true;
        flood.join();
        QVERIFY(!reply);
        QVERIFY2(session.LastError().contains(u"over 64 MiB"_s), qPrintable(session.LastError()));
        QVERIFY(!session.IsOpen());
    }

    void endingAbandonsTheCall()
    {
        static std::atomic<bool> ending {false};
        DevToolsSession::SetInterruptCheck([] { return ending.load(); });
        RecordedPeer peer;
        DevToolsSession session(peer.Pipe());
        // Told to end while the browser keeps silent, as a signal handler would tell it.
        std::thread signal([] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            ending = true;
        });
        const auto reply = session.Call("Runtime.evaluate", Json::object(), {}, 120000);
        signal.join();
        DevToolsSession::SetInterruptCheck(nullptr);
        QVERIFY(!reply);
        QVERIFY2(session.LastError().contains(u"ending"_s), qPrintable(session.LastError()));
    }

    void framing_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<int>>("completeAfterChunk"); // messages complete after each chunk
        const QByteArray a = QByteArrayLiteral(R"({"method":"A"})");
        const QByteArray b = QByteArrayLiteral(R"({"method":"B"})");
        const QByteArray z(1, '\0');
        QTest::newRow("two in one chunk") << QList<QByteArray> {a + z + b + z} << QList<int> {2};
        QTest::newRow("terminator arrives alone") << QList<QByteArray> {a, z + b, z} << QList<int> {0, 1, 1};
        const QByteArray big = QByteArrayLiteral(R"({"method":"Big","params":{"body":")") + QByteArray(300000, 'x')
            + QByteArrayLiteral(R"("}})");
        QTest::newRow("larger than one read")
            << QList<QByteArray> {big.left(100000), big.mid(100000, 100000), big.mid(200000) + z}
            << QList<int> {0, 0, 1};
    }
    void framing()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QList<int>, completeAfterChunk);
        RecordedPeer peer;
        const auto pipe = peer.Pipe();
        for (int i = 0; i < chunks.size(); ++i) {
            QVERIFY(peer.Write(chunks[i].toStdString()));
            std::vector<std::string> messages;
            QVERIFY(pipe->Receive(messages, 0));
            QCOMPARE(int(messages.size()), completeAfterChunk[i]);
            for (const std::string& message : messages)
                QVERIFY(Json::parse(message, nullptr, false).is_object());
        }
    }
};

QTEST_GUILESS_MAIN(TestDevToolsSession)
#include "tst_devtoolssession.moc"
