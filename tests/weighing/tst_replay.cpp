#include "CReplay.h"

#include <QProcess>
#include <QTest>

#include <sstream>

using namespace Qt::StringLiterals;

namespace {

QString reportLine(int ms, int adc)
{
    const int a = adc & 0xFFFF;
    return QStringLiteral("%1 report 00 AB 00 13 88 4E 20 %2 %3\n")
        .arg(ms)
        .arg(a >> 8, 2, 16, QLatin1Char('0'))
        .arg(a & 0xFF, 2, 16, QLatin1Char('0'));
}

// 16 reports to get ready, then `adc` from 1600 ms on, one report every 100 ms up to `until`.
QString session(int adc, int until)
{
    QString s;
    for (int t = 0; t < 1600; t += 100)
        s += reportLine(t, 0);
    for (int t = 1600; t <= until; t += 100)
        s += reportLine(t, adc);
    return s;
}

struct Result
{
    int status;
    QStringList out;
    QString err;
};

Result run(const QString& input)
{
    std::istringstream in(input.toStdString());
    std::ostringstream out;
    std::ostringstream err;
    const int status = CReplay::Run(in, out, err);
    return {status, QString::fromStdString(out.str()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
            QString::fromStdString(err.str())};
}

} // namespace

class TestReplay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void settleFiresAtDueTimeBeforeLaterLine()
    {
        // The weight becomes stable a few reports after the jump and arms the timer;
        // a single tick far later must report the settle at its due time.
        const auto r = run(session(1000, 2200) + QStringLiteral("9000 tick\n"));
        QCOMPARE(r.status, 0);
        const QString settled = r.out.filter(QStringLiteral("status 2")).value(0);
        QVERIFY2(!settled.isEmpty(), qPrintable(r.out.join(QLatin1Char('|'))));
        const qint64 due = settled.section(QLatin1Char(' '), 0, 0).toLongLong();
        QVERIFY(due > 3600 && due <= 4200);
        QCOMPARE(r.out.last(), settled);
        // Without the tick nothing fires: the clock only moves with input lines.
        QVERIFY(run(session(1000, 2200)).out.filter(QStringLiteral("status 2")).isEmpty());
    }

    void readyWeightsAndCommands()
    {
        const auto r = run(u"# recorded session\n\n"_s + session(1000, 2000) + u"2000 hold 1\n"_s
                           + reportLine(2100, 2000) + u"2100 hold 0\n2200 tare\n"_s + reportLine(2300, 2000)
                           + u"2300 restart\n"_s + reportLine(2400, 2000) + u"2400 hold 1\n"_s);
        QCOMPARE(r.status, 0);
        // One weight line per report, the status when it changes.
        QCOMPARE(r.out.size(), 30);
        QCOMPARE(r.out.mid(0, 2), (QStringList {u"0 status 0"_s, u"0 weight 0.000"_s}));
        // Ready with the sixteenth report; held at 2100, tared at 2300, restarted at 2400, where the hold is
        // refused.
        QCOMPARE(r.out.mid(16),
                 (QStringList {u"1500 status 1"_s, u"1500 weight 0.000"_s, u"1600 weight 0.250"_s,
                               u"1700 weight 0.250"_s, u"1800 weight 0.250"_s, u"1900 weight 0.250"_s,
                               u"2000 weight 0.250"_s, u"2000 hold 1"_s, u"2100 weight 0.250"_s, u"2100 hold 0"_s,
                               u"2300 weight 0.000"_s, u"2400 status 0"_s, u"2400 weight 0.000"_s, u"2400 hold 0"_s}));
    }

    void badInput_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("linesBefore");
        QTest::newRow("unknown word") << QStringLiteral("0 tick\n# c\n10 weigh\n") << 3 << 0;
        QTest::newRow("bad hex") << QStringLiteral("0 report 00 AB 0G\n") << 1 << 0;
        QTest::newRow("no time") << QStringLiteral("report 00\n") << 1 << 0;
        QTest::newRow("negative time") << QStringLiteral("-5 tick\n") << 1 << 0;
        QTest::newRow("hold 2") << QStringLiteral("0 hold 2\n") << 1 << 0;
        QTest::newRow("time goes back") << QStringLiteral("0 report 00 AB\n100 tick\n50 tick\n") << 3 << 1;
    }

    void badInput()
    {
        QFETCH(QString, input);
        QFETCH(int, line);
        QFETCH(int, linesBefore);
        const auto r = run(input);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(QStringLiteral("line %1:").arg(line)), qPrintable(r.err));
        QCOMPARE(r.out.size(), linesBefore); // what came before the bad line was still printed
    }

    void processReadsStandardInput()
    {
        QProcess p;
        p.start(QStringLiteral(PESAVO_BINARY_DIR "/src/pesavo"), {QStringLiteral("--replay"), QStringLiteral("-")});
        QVERIFY(p.waitForStarted());
        p.write(session(1000, 1700).toUtf8());
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(p.readAllStandardError().isEmpty());
        QVERIFY(p.readAllStandardOutput().endsWith("\n1700 weight 0.250\n"));
    }
};

QTEST_GUILESS_MAIN(TestReplay)
#include "tst_replay.moc"
