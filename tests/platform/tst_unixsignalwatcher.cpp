#include "UnixSignalWatcher.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

namespace {
sighandler_t HandlerOf(int number)
{
    struct sigaction current = {};
    ::sigaction(number, nullptr, &current);
    return current.sa_handler;
}
} // namespace

class TestUnixSignalWatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Signals arrive on the event loop, never inside the handler, in the order raised. One watcher at a
    // time: a second is refused without disturbing the first. The handlers in place before come back, so
    // a stale handler never writes to a closed socket.
    void deliveredInOrder()
    {
        const auto saved = std::signal(SIGHUP, SIG_IGN);
        {
            UnixSignalWatcher watcher;
            QVERIFY(watcher.IsValid());
            QTest::ignoreMessage(QtWarningMsg, "UnixSignalWatcher: only one watcher at a time");
            QVERIFY(!UnixSignalWatcher().IsValid());
            QSignalSpy spy(&watcher, &UnixSignalWatcher::signalReceived);
            for (const int number : {SIGHUP, SIGTERM, SIGINT, SIGHUP})
                QCOMPARE(::raise(number), 0);
            QCOMPARE(spy.count(), 0);
            QTRY_COMPARE(spy.count(), 4);
            for (const int number : {SIGHUP, SIGTERM, SIGINT, SIGHUP})
                QCOMPARE(spy.takeFirst().at(0).toInt(), number);
        }
        QVERIFY(HandlerOf(SIGHUP) == SIG_IGN);
        std::signal(SIGHUP, saved);
    }
};

QTEST_GUILESS_MAIN(TestUnixSignalWatcher)
#include "tst_unixsignalwatcher.moc"
