#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kPesavo = QStringLiteral(PESAVO_BINARY_DIR "/src/pesavo");

} // namespace

// The program's command line as a user meets it: help and version, the switches
// reaching their modes, and a clear one-line refusal of anything else.
class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void run_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stdoutPattern");
        QTest::addColumn<QString>("stderrPattern");

        // Every switch the README documents is explained.
        QTest::newRow("help")
            << QStringList {u"--help"_s} << 0
            << u"^Usage: pesavo \\[options\\] \\[/s\\](.|\\n)*--simulate <FILE\\|hidpos>(.|\\n)*"
               u"--replay <FILE>(.|\\n)*--print(.|\\n)*--record <FILE>(.|\\n)*--find-scale(.|\\n)*/s "_s
            << u"^$"_s;
        QTest::newRow("version") << QStringList {u"--version"_s} << 0 << u"^pesavo \\d+\\.\\d+\\.\\d+\\n$"_s << u"^$"_s;
        QTest::newRow("unknown switch") << QStringList {u"--frobnicate"_s, u"/s"_s} << 2 << u"^$"_s
                                        << u"^pesavo: Unknown option 'frobnicate'\\.[^\\n]*\\n$"_s;
        QTest::newRow("unknown short switch")
            << QStringList {u"-s"_s} << 2 << u"^$"_s << u"^pesavo: [^\\n]*'s'[^\\n]*\\n$"_s;
        QTest::newRow("value missing") << QStringList {u"--replay"_s} << 2 << u"^$"_s
                                       << u"^pesavo: Missing value after '--replay'\\.[^\\n]*\\n$"_s;
        // The parser hands the modes what they need: a bare --simulate still means the built-in scale.
        QTest::newRow("find the simulated scale")
            << QStringList {u"--find-scale"_s, u"--simulate"_s} << 0 << u"^$"_s << u"^$"_s;
        QTest::newRow("replay from a file that is not there")
            << QStringList {u"--replay"_s, u"/nonexistent/session.txt"_s} << 2 << u"^$"_s
            << u"^pesavo: cannot open /nonexistent/session.txt: [^\\n]*\\n$"_s;
        // A scenario that cannot be used stops the program before it starts, naming the file.
        QTest::newRow("scenario that is not there")
            << QStringList {u"--print"_s, u"--simulate=/nonexistent/demo.scenario"_s} << 2 << u"^$"_s
            << u"^pesavo: Cannot use the scenario /nonexistent/demo.scenario: [^\\n]*\\n$"_s;
    }

    void run()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, stdoutPattern);
        QFETCH(QString, stderrPattern);

        QProcess pesavo;
        pesavo.start(kPesavo, args);
        QVERIFY(pesavo.waitForFinished(10000));
        const QString out = QString::fromLocal8Bit(pesavo.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(pesavo.readAllStandardError());
        QCOMPARE(pesavo.exitStatus(), QProcess::NormalExit);
        QCOMPARE(pesavo.exitCode(), exitCode);
        QVERIFY2(QRegularExpression(stdoutPattern).match(out).hasMatch(), qPrintable(out));
        QVERIFY2(QRegularExpression(stderrPattern).match(err).hasMatch(), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
