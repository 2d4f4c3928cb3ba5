#include "AppPaths.h"
#include "ScopedEnv.h"

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

private:
    static void touch(const QString& path)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

private Q_SLOTS:
    // Layouts relative to a fresh root: "prefix/bin" holds the program.
    void layout_data()
    {
        QTest::addColumn<bool>("programDirExists");
        QTest::addColumn<bool>("installedData");
        QTest::addColumn<bool>("pageBeside");
        QTest::addColumn<bool>("portable");
        QTest::addColumn<QString>("expectedPage"); // relative to the root

        QTest::newRow("unpacked folder") << true << false << true << true << u"prefix/bin/conversion.html"_s;
        QTest::newRow("unpacked, page missing")
            << true << false << false << true << u"prefix/share/pesavo/conversion.html"_s;
        QTest::newRow("installed") << true << true << false << false << u"prefix/share/pesavo/conversion.html"_s;
        QTest::newRow("installed, page beside wins")
            << true << true << true << false << u"prefix/bin/conversion.html"_s;
        QTest::newRow("folder not writable (absent)")
            << false << false << false << false << u"prefix/share/pesavo/conversion.html"_s;
    }
    void layout()
    {
        QFETCH(bool, programDirExists);
        QFETCH(bool, installedData);
        QFETCH(bool, pageBeside);
        QFETCH(bool, portable);
        QFETCH(QString, expectedPage);

        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString bin = root.filePath(u"prefix/bin"_s);
        if (programDirExists)
            QVERIFY(QDir().mkpath(bin));
        if (installedData)
            touch(root.filePath(u"prefix/share/pesavo/conversion.html"_s));
        if (pageBeside)
            touch(bin + u"/conversion.html"_s);
        const QString configHome = root.filePath(u"config"_s);

        const AppPaths paths(bin, configHome);
        QCOMPARE(paths.Portable(), portable);
        const QString settings = portable ? bin + u'/' : configHome + u"/pesavo/"_s;
        QCOMPARE(paths.SettingsDir(), settings);
        QCOMPARE(paths.Data1Path(), settings + u"Data1.ini"_s);
        QCOMPARE(paths.Data2Path(), settings + u"Data2.ini"_s);
        QCOMPARE(QDir::cleanPath(paths.ConvPagePath()), root.filePath(expectedPage));
        QVERIFY(QFileInfo(settings).isDir());
        QCOMPARE(QDir(configHome).exists(), !portable);
        QVERIFY(paths.Error().isEmpty());
    }

    void settingsFolderPrivate()
    {
        QTemporaryDir root;
        const AppPaths paths(root.filePath(u"absent"_s), root.filePath(u"config"_s));
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(paths.SettingsDir()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0700u);
    }

    void readOnlyProgramFolder()
    {
        if (::geteuid() == 0)
            QSKIP("folder permissions do not stop root from writing");
        QTemporaryDir root;
        const QString bin = root.filePath(u"bin"_s);
        QVERIFY(QDir().mkpath(bin));
        QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const AppPaths paths(bin, root.filePath(u"config"_s));
        QVERIFY(!paths.Portable());
        QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void configHomeFromEnvironment_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absolute") << QByteArray("/tmp/cfg") << u"/tmp/cfg"_s;
        QTest::newRow("relative ignored") << QByteArray("cfg") << QDir::homePath() + u"/.config"_s;
        QTest::newRow("empty") << QByteArray() << QDir::homePath() + u"/.config"_s;
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
