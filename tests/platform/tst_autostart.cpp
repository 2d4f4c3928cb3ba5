#include "Autostart.h"
#include "DesktopEntry.h"
#include "ScopedEnv.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestAutostart : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mConfig;
    // The config folder's autostart subfolder does not exist yet.
    ScopedEnv mConfigHome {"XDG_CONFIG_HOME", QFile::encodeName(mConfig.path() + u"/config"_s)};

    static QByteArray readEntry() { return ReadBytes(Autostart::EntryPath()); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(mConfig.isValid()); }

    void execQuoting_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec"); // as it stands in the file
        QTest::newRow("plain") << u"/opt/pesavo/pesavo"_s << u"/opt/pesavo/pesavo /s"_s;
        QTest::newRow("space") << u"/home/a b/pesavo"_s << u"\"/home/a b/pesavo\" /s"_s;
        QTest::newRow("dollar") << u"/x/$HOME/pesavo"_s << u"\"/x/\\\\$HOME/pesavo\" /s"_s;
        QTest::newRow("double quote") << u"/x/\"q\"/pesavo"_s << u"\"/x/\\\\\"q\\\\\"/pesavo\" /s"_s;
        QTest::newRow("backslash") << u"/x/a\\b/pesavo"_s << u"\"/x/a\\\\\\\\b/pesavo\" /s"_s;
        QTest::newRow("percent") << u"/x/100%/pesavo"_s << u"/x/100%%/pesavo /s"_s;
        QTest::newRow("percent and space") << u"/x/1 %u/pesavo"_s << u"\"/x/1 %%u/pesavo\" /s"_s;
    }
    void execQuoting()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        QVERIFY(Autostart::RegisterStartup(true, u"Pesavo"_s, program));
        const QByteArray entry = readEntry();
        QVERIFY2(entry.contains("\nExec=" + exec.toUtf8() + "\n"), entry.constData());
        // Read back the way a session starts it: the program itself and the switch.
        const QStringList args = DesktopEntry::SplitExec(DesktopEntry::Load(Autostart::EntryPath()).Value(u"Exec"_s));
        QCOMPARE(args, (QStringList {program, u"/s"_s}));
    }

    // A moved program or a removed build folder must not leave a dead entry behind.
    void repairEntry_data()
    {
        QTest::addColumn<QString>("entry"); // "" for none
        QTest::addColumn<bool>("rewritten");
        QTest::newRow("program gone") << u"[Desktop Entry]\nExec=/gone/build/pesavo /s\n"_s << true;
        QTest::newRow("no program at all") << u"[Desktop Entry]\nName=Pesavo\n"_s << true;
        QTest::newRow("program there") << u"[Desktop Entry]\nExec=/bin/sh /s\n"_s << false;
        QTest::newRow("program there, found on the PATH") << u"[Desktop Entry]\nExec=sh /s\n"_s << false;
        QTest::newRow("switched off by the user") << u"[Desktop Entry]\nExec=/gone/pesavo /s\nHidden=true\n"_s << false;
        QTest::newRow("no entry") << QString() << false;
    }
    void repairEntry()
    {
        QFETCH(QString, entry);
        QFETCH(bool, rewritten);
        QVERIFY(Autostart::RegisterStartup(false, u"Pesavo"_s, QString()));
        if (!entry.isEmpty()) {
            QVERIFY(WriteFile(Autostart::EntryPath(), entry));
        }
        const QByteArray before = readEntry();
        QCOMPARE(Autostart::RepairEntry(u"/usr/bin/pesavo"_s), rewritten);
        if (rewritten)
            QVERIFY(readEntry().contains("\nExec=/usr/bin/pesavo /s\n"));
        else
            QCOMPARE(readEntry(), before);
    }

    void registerAndRemove()
    {
        QString error;
        QVERIFY(!Autostart::RegisterStartup(true, u"Pesavo"_s, QString(), &error));
        QVERIFY(!error.isEmpty());
        // Removing what is not there, twice, is fine.
        for (int i = 0; i < 2; ++i)
            QVERIFY(Autostart::RegisterStartup(false, u"Pesavo"_s, QString(), &error));
        QVERIFY(!Autostart::IsRegistered());

        QVERIFY2(Autostart::RegisterStartup(true, u"Pesavo"_s, u"/opt/pesavo/pesavo"_s, &error), qPrintable(error));
        QVERIFY(Autostart::IsRegistered());
        QCOMPARE(Autostart::EntryPath(), mConfig.path() + u"/config/autostart/pesavo.desktop"_s);
        QVERIFY(readEntry().contains("\nType=Application\n"));
        // Registering again replaces the entry rather than adding to it.
        QVERIFY(Autostart::RegisterStartup(true, u"Pesavo"_s, u"/usr/bin/pesavo"_s, &error));
        QCOMPARE(readEntry().count("Exec="), 1);
        QVERIFY(readEntry().contains("\nExec=/usr/bin/pesavo /s\n"));

        // Switched off by the user in the session settings.
        QVERIFY(WriteFile(Autostart::EntryPath(), QString::fromUtf8(readEntry() + "Hidden=true\n")));
        QVERIFY(!Autostart::IsRegistered());

        QVERIFY(Autostart::RegisterStartup(false, u"Pesavo"_s, QString(), &error));
        QVERIFY(!Autostart::IsRegistered());
        QVERIFY(!QFile::exists(Autostart::EntryPath()));
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
