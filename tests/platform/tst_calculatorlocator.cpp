#include "CalculatorLocator.h"
#include "ScopedEnv.h"
#include "TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The calculator lookup against application folders and a PATH of its own:
// entries of the user and of the system, and programs that are or are not there.
class TestCalculatorLocator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void find_data()
    {
        QTest::addColumn<QStringList>("entries"); // "user|system <file name>\n<content>"
        QTest::addColumn<QStringList>("programs"); // in the test's PATH
        QTest::addColumn<QString>("desktop"); // XDG_CURRENT_DESKTOP
        QTest::addColumn<QStringList>("expected"); // program name, then arguments; empty for none

        const QString calc = u"[Desktop Entry]\nType=Application\nCategories=Utility;Calculator;\n"_s;
        QTest::newRow("an entry before the known programs")
            << QStringList {u"system sums.desktop\n"_s + calc + u"Exec=sums --quiet %U\n"_s}
            << QStringList {u"sums"_s, u"xcalc"_s} << u"GNOME"_s << QStringList {u"sums"_s, u"--quiet"_s};
        QTest::newRow("the running desktop's own first")
            << QStringList {u"system a.desktop\n"_s + calc + u"Exec=acalc\n"_s,
                            u"system b.desktop\n[Desktop Entry]\nType=Application\nCategories=Qt;KDE;Calculator;\n"
                            u"Exec=\"bcalc\" %f\n"_s}
            << QStringList {u"acalc"_s, u"bcalc"_s} << u"ubuntu:KDE"_s << QStringList {u"bcalc"_s};
        QTest::newRow("unusable entries passed over")
            << QStringList {u"system other-desktop.desktop\n"_s + calc + u"OnlyShowIn=XFCE;\nExec=acalc\n"_s,
                            u"system hidden.desktop\n"_s + calc + u"NoDisplay=true\nExec=acalc\n"_s,
                            u"system tryexec.desktop\n"_s + calc + u"TryExec=missing\nExec=acalc\n"_s,
                            u"system missing.desktop\n"_s + calc + u"Exec=missing\n"_s,
                            u"system editor.desktop\n[Desktop Entry]\nType=Application\nCategories=Utility;\n"
                            u"Exec=acalc\n"_s}
            << QStringList {u"acalc"_s, u"kcalc"_s, u"xcalc"_s} << u"GNOME"_s << QStringList {u"kcalc"_s};
        QTest::newRow("the user's entry hides the system's")
            << QStringList {u"user sums.desktop\n[Desktop Entry]\nType=Application\nHidden=true\n"_s,
                            u"system sums.desktop\n"_s + calc + u"Exec=sums\n"_s}
            << QStringList {u"sums"_s} << u"GNOME"_s << QStringList();
    }

    void find()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, programs);
        QFETCH(QString, desktop);
        QFETCH(QStringList, expected);

        const QTemporaryDir root;
        const QString bin = root.path() + u"/bin"_s;
        for (const QString& entry : entries) {
            const QString where = entry.section(u' ', 0, 0);
            const QString name = entry.section(u' ', 1).section(u'\n', 0, 0);
            QVERIFY(
                WriteBytes(u"%1/%2/applications/%3"_s.arg(root.path(), where, name), entry.section(u'\n', 1).toUtf8()));
        }
        for (const QString& program : programs) {
            QVERIFY(WriteBytes(bin + u'/' + program, "#!/bin/sh\n"));
            QVERIFY(QFile::setPermissions(bin + u'/' + program, QFile::ReadOwner | QFile::ExeOwner));
        }
        const ScopedEnv dataHome("XDG_DATA_HOME", QFile::encodeName(root.path() + u"/user"_s));
        const ScopedEnv dataDirs("XDG_DATA_DIRS", QFile::encodeName(root.path() + u"/system"_s));
        const ScopedEnv currentDesktop("XDG_CURRENT_DESKTOP", desktop.toUtf8());
        const ScopedEnv path("PATH", QFile::encodeName(bin));

        const CalculatorLocator::Command found = CalculatorLocator::Find();
        QStringList got;
        if (!found.program.isEmpty())
            got = QStringList {QFileInfo(found.program).fileName()} + found.arguments;
        QCOMPARE(got, expected);
        if (!found.program.isEmpty())
            QCOMPARE(QFileInfo(found.program).absolutePath(), bin);
    }
};

QTEST_GUILESS_MAIN(TestCalculatorLocator)
#include "tst_calculatorlocator.moc"
