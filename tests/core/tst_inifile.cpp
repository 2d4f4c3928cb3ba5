#include "IniFile.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray stateFile(int count, int dataRound)
{
    const QByteArray data = dataRound == 0
        ? QByteArray("x")
        : (QString(20000, QChar(u'a' + dataRound % 26)) + QString::number(dataRound)).toUtf8();
    return "; written by the test\n[OTHER]\nA=1\n\n[STATE]\nCOUNT=" + QByteArray::number(count) + "\nDATA=" + data
        + "\n[TAIL]\nB=2\n";
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

    QString path() const { return mDir.filePath(u"Data1.ini"_s); }
    // The settings file written with the content, then opened.
    bool openWith(IniFile& ini, const QByteArray& content) const
    {
        return WriteBytes(path(), content) && ini.OpenFile(path());
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(mDir.isValid());
        QFile::remove(path());
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected"); // of key K in section S
        QTest::newRow("bom") << QByteArray("\xEF\xBB\xBF[S]\nK=v\n") << u"v"_s;
        QTest::newRow("blanks around names and =") << QByteArray("  [ S ]  \n\t K \t=  v w  \n") << u"v w"_s;
        QTest::newRow("comments") << QByteArray("[S]\n;K=no\n#K=no\n  ; K=no\nK=yes\n") << u"yes"_s;
        QTest::newRow("duplicate section merged") << QByteArray("[T]\nX=0\n[S]\nL=1\n[T]\n[S]\nK=3\n") << u"3"_s;
        QTest::newRow("key name case matters") << QByteArray("[S]\nk=v\n") << QString();
        QTest::newRow("= and [ inside a value") << QByteArray("[S]\nK=a=b [c] ;d\n") << u"a=b [c] ;d"_s;
        QTest::newRow("header without ] ends the section") << QByteArray("[S]\n[broken\nK=v\n") << QString();
        QTest::newRow("latin-1 value") << QByteArray("[S]\nK=Z\xFCrich\n") << u"Zürich"_s;
        QTest::newRow("long value read whole") << QByteArray("[S]\nK=") + QByteArray(5000, 'x') << QString(5000, u'x');
        QTest::newRow("nul bytes elsewhere") << QByteArray("[S]\nX=\0\0\xFF\nK=v\n", 15) << u"v"_s;
    }
    void reading()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        IniFile ini;
        QVERIFY(openWith(ini, content));
        QCOMPARE(ini.Section(u"S"_s).Key(u"K"_s).Value(), expected);
    }

    void writing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        const QByteArray base = "; top comment\n[A]\nX=1\n; note\nY = 2\n\n[B]\nZ=3\n";
        QTest::newRow("existing key, rest kept byte for byte")
            << base << u"A"_s << u"Y"_s << u"9"_s << QByteArray("; top comment\n[A]\nX=1\n; note\nY=9\n\n[B]\nZ=3\n");
        QTest::newRow("new key after the section's last key")
            << base << u"A"_s << u"W"_s << u"w"_s
            << QByteArray("; top comment\n[A]\nX=1\n; note\nY = 2\nW=w\n\n[B]\nZ=3\n");
        QTest::newRow("new section at the end")
            << base << u"C"_s << u"K"_s << u"k"_s << base + QByteArray("\n[C]\nK=k\n");
        QTest::newRow("crlf kept") << QByteArray("[A]\r\nX=1\r\n") << u"A"_s << u"Y"_s << u"2"_s
                                   << QByteArray("[A]\r\nX=1\r\nY=2\r\n");
        QTest::newRow("missing final newline")
            << QByteArray("[A]\nX=1") << u"A"_s << u"Y"_s << u"2"_s << QByteArray("[A]\nX=1\nY=2\n");
        QTest::newRow("duplicate key: the one read is written")
            << QByteArray("[A]\nX=1\nX=2\n") << u"A"_s << u"X"_s << u"7"_s << QByteArray("[A]\nX=7\nX=2\n");
        QTest::newRow("duplicate section: new key in the first block")
            << QByteArray("[A]\nX=1\n[B]\n[A]\nY=2\n") << u"A"_s << u"Z"_s << u"3"_s
            << QByteArray("[A]\nX=1\nZ=3\n[B]\n[A]\nY=2\n");
        // Structure characters in a value stay part of it for any later reader.
        QTest::newRow("hostile value") << QByteArray("[A]\nX=1\n[B]\nY=2\n") << u"A"_s << u"X"_s << u"[B]=b;c#d"_s
                                       << QByteArray("[A]\nX=[B]=b;c#d\n[B]\nY=2\n");
        // A page's field name may begin with a byte-order mark: read back under the same name.
        QTest::newRow("key name beginning with a byte-order mark")
            << QByteArray("[A]\nX=1\n") << u"A"_s << u"\uFEFFzip"_s << u"1"_s
            << QByteArray("[A]\nX=1\n\xEF\xBB\xBFzip=1\n");
        // Lines that are not UTF-8 text stay as they are (any bytes at all: the settings fuzzer).
        QTest::newRow("latin-1 and binary lines elsewhere kept")
            << QByteArray("[A]\nN=M\xFCller\0\xFF\n", 15) << u"A"_s << u"K"_s << u"ü"_s
            << QByteArray("[A]\nN=M\xFCller\0\xFF\nK=\xC3\xBC\n", 20);
    }
    void writing()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        IniFile ini;
        QVERIFY(openWith(ini, before));
        QVERIFY2(ini.Section(section).Key(key).SetValue(value), qPrintable(ini.LastError()));
        QCOMPARE(ReadBytes(path()), after);
        // What a fresh reader sees, not only our cache.
        IniFile other;
        QVERIFY(other.OpenFile(path()));
        QCOMPARE(other.Section(section).Key(key).Value(), value);
    }

    void manyKeysAtOnce_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QByteArray>("after");
        const QByteArray base = "[A]\nX=1\n\n[B]\nZ=3\n";
        QTest::newRow("existing section: replaced in place, new keys after its last key")
            << u"A"_s << QByteArray("[A]\nX=9\nW=[B]\nV=a=b\n\n[B]\nZ=3\n");
        QTest::newRow("new section at the end") << u"C"_s << base + QByteArray("\n[C]\nX=9\nW=[B]\nV=a=b\n");
    }
    void manyKeysAtOnce()
    {
        QFETCH(QString, section);
        QFETCH(QByteArray, after);
        IniFile ini;
        QVERIFY(openWith(ini, "[A]\nX=1\n\n[B]\nZ=3\n"));
        // The line break is refused alone; the last value given for a key wins.
        QVERIFY(!ini.Section(section).SetValues(
            {{u"X"_s, u"2"_s}, {u"W"_s, u"[B]"_s}, {u"U"_s, u"a\n[C]\nK=v"_s}, {u"V"_s, u"a=b"_s}, {u"X"_s, u"9"_s}}));
        QVERIFY(ini.LastError().contains(u"U"_s));
        QCOMPARE(ReadBytes(path()), after);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("LF in value") << u"S"_s << u"K"_s << u"a\n[EVIL]\nX=1"_s;
        QTest::newRow("NUL in value") << u"S"_s << u"K"_s << u"a\0b"_s;
        QTest::newRow("key name opening a section") << u"S"_s << u"[EVIL]"_s << u"1"_s;
        // Written, these would read back as comments: the value lost without a word.
        QTest::newRow("key name starting with ;") << u"S"_s << u";K"_s << u"1"_s;
        QTest::newRow("key name starting with #") << u"S"_s << u"#K"_s << u"1"_s;
        QTest::newRow("] in section name") << u"S]\n[T"_s << u"K"_s << u"1"_s;
    }
    void refused()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QByteArray before = "[S]\nK=old\n";
        IniFile ini;
        QVERIFY(openWith(ini, before));
        QVERIFY(!ini.Section(section).Key(key).SetValue(value));
        QVERIFY(!ini.LastError().isEmpty());
        QCOMPARE(ReadBytes(path()), before);
        QCOMPARE(ini.Section(u"S"_s).Key(u"K"_s).Value(), u"old"_s);
    }

    // A deleted section goes with every block of it and the comments inside; the rest stays byte for byte.
    void deleteSection_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("middle") << QByteArray("; top\n[A]\nX=1\n[S]\nK=1\n; of S\n\n[B]\nY=2\n")
                                << QByteArray("; top\n[A]\nX=1\n[B]\nY=2\n");
        QTest::newRow("two blocks, blanks in the header")
            << QByteArray("[ S ]\nK=1\n[A]\nX=1\n[S]\nL=2\n") << QByteArray("[A]\nX=1\n");
        QTest::newRow("sections named alike stay")
            << QByteArray("[S2]\nK=1\n[S]\nK=2\n[s]\nK=3\n") << QByteArray("[S2]\nK=1\n[s]\nK=3\n");
    }
    void deleteSection()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        IniFile ini;
        QVERIFY(openWith(ini, before));
        QVERIFY(ini.Section(u"S"_s).Delete());
        QCOMPARE(ReadBytes(path()), after);
        QCOMPARE(ini.Section(u"S"_s).Key(u"K"_s).Value(), QString());
    }

    // Rewritten in place by another program, same size: the next read and write start from the new contents.
    // (A copy over the file is driven by the batch test and the options dialog's Cancel.)
    void rewrittenBehindOurBack()
    {
        IniFile ini;
        QVERIFY(openWith(ini, "[S]\nK=1\n"));
        QCOMPARE(ini.Section(u"S"_s).Key(u"K"_s).Value(), u"1"_s);
        QVERIFY(WriteBytes(path(), "[S]\nK=2\n"));
        QCOMPARE(ini.Section(u"S"_s).Key(u"K"_s).Value(), u"2"_s);
        QVERIFY(ini.Section(u"S"_s).Key(u"L"_s).SetValue(3));
        QCOMPARE(ReadBytes(path()), QByteArray("[S]\nK=2\nL=3\n"));
    }

    void unreadablePath()
    {
        // A folder where the file should be: nothing readable, and nothing to clobber.
        QVERIFY(QDir(mDir.path()).mkdir(u"Data1.ini"_s));
        IniFile ini;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"cannot read"_s));
        QVERIFY(!ini.OpenFile(path()));
        QVERIFY(!ini.LastError().isEmpty());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"cannot read|not overwriting"_s));
        QVERIFY(!ini.Section(u"S"_s).Key(u"K"_s).SetValue(u"v"_s));
        QVERIFY(QFileInfo(path()).isDir());
        QVERIFY(QDir(mDir.path()).rmdir(u"Data1.ini"_s));
    }

    // Writes held by a batch are read back at once and reach the disk together; a file
    // replaced meanwhile wins over them.
    void batch()
    {
        IniFile ini;
        QVERIFY(openWith(ini, "[A]\nX=1\n"));
        {
            const IniFile::Batch outer(ini);
            {
                const IniFile::Batch inner(ini);
                QVERIFY(ini.Section(u"A"_s).Key(u"X"_s).SetValue(2));
            }
            QVERIFY(ini.Section(u"B"_s).Key(u"Y"_s).SetValue(u"y"_s));
            QCOMPARE(ini.Section(u"A"_s).Key(u"X"_s).Value(), u"2"_s);
            QCOMPARE(ReadBytes(path()), QByteArray("[A]\nX=1\n"));
        }
        QCOMPARE(ReadBytes(path()), QByteArray("[A]\nX=2\n\n[B]\nY=y\n"));

        {
            const IniFile::Batch held(ini);
            QVERIFY(ini.Section(u"A"_s).Key(u"X"_s).SetValue(3));
            QVERIFY(WriteBytes(path() + u".copy"_s, "[A]\nX=9\n"));
            QVERIFY(IniFile::CopyFileAtomic(path() + u".copy"_s, path()));
        }
        QCOMPARE(ReadBytes(path()), QByteArray("[A]\nX=9\n"));
        QCOMPARE(ini.Section(u"A"_s).Key(u"X"_s).Value(), u"9"_s);
    }

    // Only the user reads the settings: a new file, an older file at its next write and the dialog's
    // backup copy are all 0600, whatever the folder's mode and the file's before.
    void privateModes_data()
    {
        QTest::addColumn<int>("oldMode"); // of an existing Data1.ini; 0: none yet
        QTest::addColumn<bool>("copy"); // Data1.ini copied to Data2.ini instead of written
        QTest::newRow("new file in a 0755 folder") << 0 << false;
        QTest::newRow("0644 file at the next write") << 0644 << false;
        QTest::newRow("backup copy of a 0644 file") << 0644 << true;
    }
    void privateModes()
    {
        QFETCH(int, oldMode);
        QFETCH(bool, copy);
        QVERIFY(::chmod(QFile::encodeName(mDir.path()).constData(), 0755) == 0);
        if (oldMode != 0) {
            QVERIFY(WriteBytes(path(), "[A]\nX=1\n"));
            QVERIFY(::chmod(QFile::encodeName(path()).constData(), mode_t(oldMode)) == 0);
        }
        QString written = path();
        if (copy) {
            written = mDir.filePath(u"Data2.ini"_s);
            QVERIFY(IniFile::CopyFileAtomic(path(), written));
            QCOMPARE(ReadBytes(written), QByteArray("[A]\nX=1\n"));
        } else {
            IniFile ini;
            QVERIFY(ini.OpenFile(path()));
            QVERIFY(ini.Section(u"A"_s).Key(u"X"_s).SetValue(2));
        }
        struct stat st
        {
        };
        QVERIFY(::stat(QFile::encodeName(written).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, 0600u);
        QFile::remove(mDir.filePath(u"Data2.ini"_s));
    }

    // A process killed in the middle of writing leaves a whole file behind: the
    // old state or the new one, never a mix or a truncated file.
    void killedWriter_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::newRow("at once") << 0;
        QTest::newRow("50 ms") << 50;
    }
    void killedWriter()
    {
        QFETCH(int, delayMs);
        QVERIFY(WriteBytes(path(), stateFile(0, 0)));
        QProcess writer;
        writer.start(QStringLiteral(PESAVO_INI_WRITER), {path()});
        QVERIFY(writer.waitForStarted());
        QVERIFY(writer.waitForReadyRead(20000));
        QCOMPARE(writer.readLine().trimmed(), QByteArray("started"));
        ::usleep(delayMs * 1000);
        writer.kill();
        QVERIFY(writer.waitForFinished());
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        IniFile ini;
        QVERIFY(ini.OpenFile(path()));
        const int count = ini.Section(u"STATE"_s).Key(u"COUNT"_s).Value().toInt();
        QVERIFY(count >= 1);
        const QByteArray content = ReadBytes(path());
        // Either both keys of a round were written, or only its COUNT.
        QVERIFY2(content == stateFile(count, count) || content == stateFile(count, count - 1),
                 qPrintable(u"round %1, %2 bytes"_s.arg(count).arg(content.size())));
    }

    // What a writer killed between naming its copy and renaming it leaves behind goes at the next
    // open, once no write can still be under way; a fresh copy and other files stay.
    void staleCopiesRemoved()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString dir = folder.path() + u'/';
        const QString name = u"Data1.ini"_s;
        const QStringList files {name + u".AbC123"_s, name + u".XyZ789"_s, name + u".bak"_s, u"Other.ini.AbC123"_s};
        for (const QString& file : files)
            WriteBytes(dir + file, "[A]\nX=1\n");
        for (const QString& file : {files[0], files[2], files[3]}) {
            QFile old(dir + file);
            QVERIFY(old.open(QIODevice::ReadWrite));
            QVERIFY(old.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime));
        }
        IniFile ini;
        QVERIFY(ini.OpenFile(dir + name));
        QCOMPARE(QDir(dir).entryList(QDir::Files),
                 (QStringList {name + u".bak"_s, name + u".XyZ789"_s, u"Other.ini.AbC123"_s}));
    }

private:
    QTemporaryDir mDir;
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
