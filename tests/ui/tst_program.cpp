// The real program as a process: how it ends, and what a second start does.
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class tst_Program : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        mDir = std::make_unique<QTemporaryDir>();
        QVERIFY(mDir->isValid());
        QVERIFY(QDir(mDir->path()).mkdir(QStringLiteral("app")));
        QVERIFY(QDir(mDir->path()).mkdir(QStringLiteral("runtime")));
        mRuntime = mDir->filePath(QStringLiteral("runtime"));
        QFile::setPermissions(mRuntime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        mProgram = mDir->filePath(QStringLiteral("app/pesavo"));
        QVERIFY(QFile::copy(QStringLiteral(PESAVO_BINARY_DIR "/src/pesavo"), mProgram));
        QVERIFY(WriteFile(mDir->filePath(QStringLiteral("app/Data1.ini")),
                          QStringLiteral("[_WGX_GENERAL]\nUNIT=2\nTOP=-1\nSKIN=5\n[_WGX_UPS]\nAUTO_FILL=1\n")));
    }

    void endsThroughExitOnSignal_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void endsThroughExitOnSignal()
    {
        QFETCH(int, signalNumber);
        QProcess program;
        QVERIFY(StartFirst(program, {QStringLiteral("--simulate")}));
        // The signal is handled by the event loop whenever it comes.
        QTRY_VERIFY_WITH_TIMEOUT(Listening(), 10000);
        ::kill(pid_t(program.processId()), signalNumber);
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        const QString text = SettingsText();
        for (const char* line : {"UNIT=1\n", "TOP=1\n", "SKIN=5\n", "DISPLAY=0\n", "[_WGX_UPS]\nAUTO_FILL=1"})
            QVERIFY2(text.contains(QLatin1String(line)), qPrintable(text));
    }

    void secondStartEndsAtOnce()
    {
        QProcess first;
        QVERIFY(StartFirst(first, {QStringLiteral("--simulate")}));
        QTRY_VERIFY_WITH_TIMEOUT(Listening(), 10000);
        // The first start is done once it has stored its page selection.
        QTRY_VERIFY_WITH_TIMEOUT(SettingsText().contains(QLatin1String("AUTO_LAUNCH=")), 10000);
        const QString before = SettingsText();

        QProcess second;
        QVERIFY(StartFirst(second, {QStringLiteral("/s")}));
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(SettingsText(), before); // the second start touched nothing
        QCOMPARE(first.state(), QProcess::Running);

        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitCode(), 0);
    }

private:
    // A copy of the program in a folder of its own keeps its settings beside it.
    bool StartFirst(QProcess& process, const QStringList& args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), mRuntime);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(mProgram, args);
        return process.waitForStarted(5000);
    }

    // Listening for later starts means the start-up is under way.
    bool Listening() const { return !QDir(mRuntime).entryList(QDir::System | QDir::Files).isEmpty(); }

    QString SettingsText() const
    {
        return QString::fromUtf8(ReadBytes(mDir->filePath(QStringLiteral("app/Data1.ini"))));
    }

    std::unique_ptr<QTemporaryDir> mDir;
    QString mProgram;
    QString mRuntime;
};

QTEST_GUILESS_MAIN(tst_Program)
#include "tst_program.moc"
