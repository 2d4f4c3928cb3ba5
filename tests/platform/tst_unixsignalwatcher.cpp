#include "UnixSignalWatcher.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

class TestUnixSignalWatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void delivered_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void delivered()
    {
        QFETCH(int, signalNumber);
        UnixSignalWatcher watcher;
        QVERIFY(watcher.IsValid());
        QSignalSpy spy(&watcher, &UnixSignalWatcher::signalReceived);
        QCOMPARE(::raise(signalNumber), 0);
        // Not inside the handler: only once the event loop runs.
        QCOMPARE(spy.count(), 0);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
    }

    void severalInOrder()
    {
        UnixSignalWatcher watcher;
        QSignalSpy spy(&watcher, &UnixSignalWatcher::signalReceived);
        ::raise(SIGHUP);
        ::raise(SIGTERM);
        ::raise(SIGHUP);
        QTRY_COMPARE(spy.count(), 3);
        QCOMPARE(spy.at(0).at(0).toInt(), SIGHUP);
        QCOMPARE(spy.at(1).at(0).toInt(), SIGTERM);
        QCOMPARE(spy.at(2).at(0).toInt(), SIGHUP);
    }

    void onlyOneWatcher()
    {
        UnixSignalWatcher first;
        QTest::ignoreMessage(QtWarningMsg, "UnixSignalWatcher: only one watcher at a time");
        UnixSignalWatcher second;
        QVERIFY(first.IsValid());
        QVERIFY(!second.IsValid());
    }

    // The handlers in place before come back, so a stale handler never writes to
    // a closed socket.
    void previousHandlersRestored()
    {
        struct sigaction ignore
        {
        };
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        struct sigaction saved
        {
        };
        QCOMPARE(::sigaction(SIGHUP, &ignore, &saved), 0);
        {
            UnixSignalWatcher watcher;
            struct sigaction during
            {
            };
            ::sigaction(SIGHUP, nullptr, &during);
            QVERIFY(during.sa_handler != SIG_IGN);
        }
        struct sigaction after
        {
        };
        ::sigaction(SIGHUP, nullptr, &after);
        QVERIFY(after.sa_handler == SIG_IGN);
        // Ignored now: raising it must not end the test.
        QCOMPARE(::raise(SIGHUP), 0);
        ::sigaction(SIGHUP, &saved, nullptr);

        // A new watcher works after the first is gone.
        UnixSignalWatcher again;
        QVERIFY(again.IsValid());
        QSignalSpy spy(&again, &UnixSignalWatcher::signalReceived);
        ::raise(SIGINT);
        QTRY_COMPARE(spy.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestUnixSignalWatcher)
#include "tst_unixsignalwatcher.moc"
