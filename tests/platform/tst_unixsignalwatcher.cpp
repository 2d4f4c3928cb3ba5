#include "UnixSignalWatcher.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

namespace {
QList<int> Numbers(const QSignalSpy& spy)
{
    QList<int> numbers;
    for (const QList<QVariant>& args : spy)
        numbers << args.at(0).toInt();
    return numbers;
}

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
    // One watcher at a time: a second would take the first one's handlers.
    void deliveredInOrder()
    {
        UnixSignalWatcher watcher;
        QVERIFY(watcher.IsValid());
        QTest::ignoreMessage(QtWarningMsg, "UnixSignalWatcher: only one watcher at a time");
        QVERIFY(!UnixSignalWatcher().IsValid());
        QSignalSpy spy(&watcher, &UnixSignalWatcher::signalReceived);
        for (const int number : {SIGHUP, SIGTERM, SIGINT, SIGHUP})
            QCOMPARE(::raise(number), 0);
        // Not inside the handler: only once the event loop runs.
        QCOMPARE(spy.count(), 0);
        QTRY_COMPARE(Numbers(spy), (QList<int> {SIGHUP, SIGTERM, SIGINT, SIGHUP}));
    }

    // The handlers in place before come back, so a stale handler never writes to
    // a closed socket, and a new watcher works after the first is gone.
    void previousHandlersRestored()
    {
        const auto saved = std::signal(SIGHUP, SIG_IGN);
        {
            UnixSignalWatcher watcher;
            QVERIFY(HandlerOf(SIGHUP) != SIG_IGN);
        }
        QVERIFY(HandlerOf(SIGHUP) == SIG_IGN);
        std::signal(SIGHUP, saved);

        UnixSignalWatcher again;
        QVERIFY(again.IsValid());
        QSignalSpy spy(&again, &UnixSignalWatcher::signalReceived);
        QCOMPARE(::raise(SIGINT), 0);
        QTRY_COMPARE(Numbers(spy), QList<int> {SIGINT});
    }
};

QTEST_GUILESS_MAIN(TestUnixSignalWatcher)
#include "tst_unixsignalwatcher.moc"
