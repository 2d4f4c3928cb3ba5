#include "AppPaths.h"
#include "ScopedEnv.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestAppPaths : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Layouts relative to a fresh root: "prefix/bin" holds the program.
    void layout_data()
    {
        QTest::addColumn<bool>("writable"); // the program's folder
        QTest::addColumn<bool>("installedData");
        QTest::addColumn<bool>("pageBeside");
        QTest::addColumn<bool>("portable");
        QTest::addColumn<QString>("expectedPage"); // relative to the root
        QTest::addColumn<int>("oldSettingsMode"); // of a settings folder left by an earlier start; 0: none

        QTest::newRow("unpacked folder") << true << false << true << true << u"prefix/bin/conversion.html"_s << 0;
        QTest::newRow("unpacked, page missing")
            << true << false << false << true << u"prefix/share/pesavo/conversion.html"_s << 0;
        QTest::newRow("installed") << true << true << false << false << u"prefix/share/pesavo/conversion.html"_s << 0;
        QTest::newRow("installed, 0755 settings folder of an older start")
            << true << true << false << false << u"prefix/share/pesavo/conversion.html"_s << 0755;
        QTest::newRow("installed, page beside wins")
            << true << true << true << false << u"prefix/bin/conversion.html"_s << 0;
        QTest::newRow("folder not writable")
            << false << false << false << false << u"prefix/share/pesavo/conversion.html"_s << 0;
    }
    void layout()
    {
        QFETCH(bool, writable);
        QFETCH(bool, installedData);
        QFETCH(bool, pageBeside);
        QFETCH(bool, portable);
        QFETCH(QString, expectedPage);
        QFETCH(int, oldSettingsMode);
        if (!writable && ::geteuid() == 0)
            QSKIP("folder permissions do not stop root from writing");

        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString bin = root.filePath(u"prefix/bin"_s);
        QVERIFY(QDir().mkpath(bin));
        if (installedData)
            QVERIFY(WriteBytes(root.filePath(u"prefix/share/pesavo/conversion.html"_s), {}));
        if (pageBeside)
            QVERIFY(WriteBytes(bin + u"/conversion.html"_s, {}));
        if (!writable)
            QVERIFY(QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QString configHome = root.filePath(u"config"_s);
        if (oldSettingsMode != 0) {
            QVERIFY(QDir().mkpath(configHome + u"/pesavo"_s));
            QVERIFY(::chmod(QFile::encodeName(configHome + u"/pesavo"_s).constData(), mode_t(oldSettingsMode)) == 0);
        }

        const AppPaths paths(bin, configHome);
        QCOMPARE(paths.Portable(), portable);
        const QString settings = portable ? bin + u'/' : configHome + u"/pesavo/"_s;
        QCOMPARE(paths.SettingsDir(), settings);
        QCOMPARE(QDir::cleanPath(paths.ConvPagePath()), root.filePath(expectedPage));
        QCOMPARE(QDir(configHome).exists(), !portable);
        QVERIFY(paths.Error().isEmpty());
        // A folder of our own is made private; the program's folder is left as it is.
        struct stat st
        {
        };
        QVERIFY(::stat(QFile::encodeName(settings).constData(), &st) == 0 && S_ISDIR(st.st_mode));
        if (!portable)
            QCOMPARE(st.st_mode & 0777, 0700u);
    }

    void configHomeFromEnvironment_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absolute") << QByteArray("/tmp/cfg") << u"/tmp/cfg"_s;
        QTest::newRow("relative ignored") << QByteArray("cfg") << QDir::homePath() + u"/.config"_s;
    }
    void configHomeFromEnvironment()
    {
        QFETCH(QByteArray, value);
        QFETCH(QString, expected);
        const ScopedEnv configHome("XDG_CONFIG_HOME", value);
        QCOMPARE(AppPaths::DefaultConfigHome(), expected);
    }
};

QTEST_GUILESS_MAIN(TestAppPaths)
#include "tst_apppaths.moc"
