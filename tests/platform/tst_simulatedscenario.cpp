#include "SimulatedScenario.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using Step = SimulatedScenario::Step;
using Action = SimulatedScenario::Action;

class TestSimulatedScenario final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QString>("errorStart"); // empty: the text is valid

        QTest::newRow("only comments") << u"# nothing yet\n\n   # indented\n"_s << QList<Step> {} << QString();
        QTest::newRow("loads and cable") << u"0 0\n2000 1250.5\n6000 unplug\n7000 plug\n"_s
                                         << QList<Step> {{0, Action::Load, 0.0},
                                                         {2000, Action::Load, 1250.5},
                                                         {6000, Action::Unplug, 0.0},
                                                         {7000, Action::Plug, 0.0}}
                                         << QString();
        QTest::newRow("comments, blanks, tabs, trailing notes")
            << u"# header\n\n  100\t50   # a letter\n\t\n200 unplug#gone\n"_s
            << QList<Step> {{100, Action::Load, 50.0}, {200, Action::Unplug, 0.0}} << QString();
        QTest::newRow("CRLF line endings, no final newline")
            << u"0 10\r\n100 20"_s << QList<Step> {{0, Action::Load, 10.0}, {100, Action::Load, 20.0}} << QString();
        QTest::newRow("keywords in any case")
            << u"5 UNPLUG\n5 Plug\n"_s << QList<Step> {{5, Action::Unplug, 0.0}, {5, Action::Plug, 0.0}} << QString();
        QTest::newRow("negative and exponent loads")
            << u"0 -20\n1 2.5e3\n"_s << QList<Step> {{0, Action::Load, -20.0}, {1, Action::Load, 2500.0}} << QString();
        QTest::newRow("time without load") << u"0 10\n100\n"_s << QList<Step> {} << u"line 2: "_s;
        QTest::newRow("negative time") << u"-5 20\n"_s << QList<Step> {} << u"line 1: "_s;
        QTest::newRow("fractional time") << u"1.5 20\n"_s << QList<Step> {} << u"line 1: "_s;
        QTest::newRow("infinite load") << u"100 inf\n"_s << QList<Step> {} << u"line 1: "_s;
        QTest::newRow("not-a-number load") << u"100 nan\n"_s << QList<Step> {} << u"line 1: "_s;
        QTest::newRow("time goes back") << u"200 10\n100 20\n"_s << QList<Step> {} << u"line 2: "_s;
        QTest::newRow("comment lines still count") << u"# a\n# b\n\n100 x\n"_s << QList<Step> {} << u"line 4: "_s;
        QTest::newRow("misspelt keyword") << u"100 unplugged\n"_s << QList<Step> {} << u"line 1: "_s;
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QList<Step>, steps);
        QFETCH(QString, errorStart);

        QString error;
        const auto scenario = SimulatedScenario::Parse(text, &error);
        QVERIFY2(scenario.has_value() == errorStart.isEmpty(), qPrintable(error));
        if (scenario)
            QCOMPARE(scenario->Steps(), steps);
        else
            QVERIFY2(error.startsWith(errorStart), qPrintable(error));
    }

    // The file's name leads the message; a good file is the shipped demo below.
    void loadFile_data()
    {
        QTest::addColumn<QString>("content"); // null: no file at all
        QTest::addColumn<QString>("errorPart");
        QTest::newRow("bad line") << u"0 0\n100 lots\n"_s << u"scenario.txt: line 2: "_s;
        QTest::newRow("missing file") << QString() << u"scenario.txt: "_s;
    }

    void loadFile()
    {
        QFETCH(QString, content);
        QFETCH(QString, errorPart);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"scenario.txt"_s);
        if (!content.isNull())
            QVERIFY(WriteFile(path, content));
        QString error;
        QVERIFY(!SimulatedScenario::Load(path, &error));
        QVERIFY2(error.contains(errorPart), qPrintable(error));
    }

    void shippedDemoParses()
    {
        QString error;
        const auto scenario
            = SimulatedScenario::Load(QStringLiteral(PESAVO_RESOURCES "/simulate/demo.scenario"), &error);
        QVERIFY2(scenario.has_value(), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestSimulatedScenario)
#include "tst_simulatedscenario.moc"
