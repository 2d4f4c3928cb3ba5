#include "SingleInstance.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// Every process here is a real instance_helper run with its own runtime folder.
class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QProcess> start(const QString& program, const QString& mode)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_RUNTIME_DIR"_s, mRuntime->path());
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program, {mode});
        return process;
    }
    static QByteArray nextLine(QProcess& process)
    {
        while (!process.canReadLine()) {
            if (!process.waitForReadyRead(10000))
                return "<nothing>";
        }
        return process.readLine().trimmed();
    }
    QString socketPath() const { return mRuntime->path() + u"/Pesavo"_s + QString::number(::getuid()); }

    std::unique_ptr<QTemporaryDir> mRuntime;

private Q_SLOTS:
    void init()
    {
        mRuntime = std::make_unique<QTemporaryDir>();
        QVERIFY(mRuntime->isValid());
        QFile::setPermissions(mRuntime->path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // The foreign modes are another program listening on our name.
    void secondStart_data()
    {
        QTest::addColumn<QString>("firstMode");
        QTest::addColumn<QByteArray>("secondSays");
        QTest::addColumn<bool>("firstSurvives");
        QTest::addColumn<int>("starts"); // later starts, one after the other

        QTest::newRow("responsive first: second ends") << u"serve"_s << QByteArray("running") << true << 3;
        QTest::newRow("hung first: terminated, second starts") << u"hang"_s << QByteArray("primary") << false << 1;
        QTest::newRow("crashed first: stale socket removed") << u"crash"_s << QByteArray("primary") << false << 1;
        QTest::newRow("foreign listener answering something else")
            << u"foreign"_s << QByteArray("primary") << true << 1;
        QTest::newRow("silent foreign listener is not killed") << u"silent"_s << QByteArray("primary") << true << 1;
    }
    void secondStart()
    {
        QFETCH(QString, firstMode);
        QFETCH(QByteArray, secondSays);
        QFETCH(bool, firstSurvives);
        QFETCH(int, starts);

        const bool foreign = firstMode == u"foreign" || firstMode == u"silent";
        QString firstProgram = QStringLiteral(PESAVO_INSTANCE_HELPER);
        if (foreign) { // a different executable
            firstProgram = mRuntime->path() + u"/other_program"_s;
            QVERIFY(QFile::copy(QStringLiteral(PESAVO_INSTANCE_HELPER), firstProgram));
        }
        std::unique_ptr<QProcess> first = start(firstProgram, firstMode);
        QCOMPARE(nextLine(*first), foreign ? QByteArray("listening") : QByteArray("primary"));
        if (firstMode == u"crash") {
            QVERIFY(first->waitForFinished());
            QVERIFY(QFileInfo::exists(socketPath()));
        }

        // A running primary keeps answering after it has turned a start away.
        for (int i = 0; i < starts; ++i) {
            std::unique_ptr<QProcess> second = start(QStringLiteral(PESAVO_INSTANCE_HELPER), u"check"_s);
            QCOMPARE(nextLine(*second), secondSays);
            QVERIFY(second->waitForFinished());
            QCOMPARE(second->exitCode(), 0);
        }

        if (firstSurvives) {
            QCOMPARE(first->state(), QProcess::Running);
            first->kill();
            first->waitForFinished();
        } else { // ended by the second start, not by us
            QVERIFY(first->state() == QProcess::NotRunning || first->waitForFinished(5000));
            QCOMPARE(first->exitStatus(), firstMode == u"hang" ? QProcess::CrashExit : QProcess::NormalExit);
        }
    }

    // A process that holds the start lock and never lets go (stopped in a debugger, say) delays a start by
    // the lock's deadline, never for good; a primary that ends cleanly leaves no socket file behind.
    void heldStartLockDoesNotHang()
    {
        const QByteArray lockPath = QFile::encodeName(socketPath() + u".lock"_s);
        const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX), 0);
        {
            SingleInstance instance(socketPath(), nullptr);
            QString message;
            QCOMPARE(instance.Acquire(&message), SingleInstance::Result::Primary);
            ::close(fd);
            QVERIFY2(message.contains(u"start lock"_s), qPrintable(message));
            QVERIFY(instance.IsListening());
        }
        QVERIFY(!QFileInfo::exists(socketPath()));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
