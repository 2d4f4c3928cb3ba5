#include "IniFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

void writeRaw(const QString& path, const QByteArray& content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(content), content.size());
}

QString stateData(int round)
{
    return QString(20000, QChar(u'a' + round % 26)) + QString::number(round);
}

QByteArray stateFile(int count, int dataRound)
{
    const QByteArray data = dataRound == 0 ? QByteArray("x") : stateData(dataRound).toUtf8();
    return "; written by the test\n[OTHER]\nA=1\n\n[STATE]\nCOUNT=" + QByteArray::number(count) + "\nDATA=" + data
        + "\n[TAIL]\nB=2\n";
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(mDir.isValid()); }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        QTest::newRow("plain") << QByteArray("[S]\nK=v\n") << u"S"_s << u"K"_s << u"v"_s;
        QTest::newRow("crlf") << QByteArray("[S]\r\nK=v\r\nL=w\r\n") << u"S"_s << u"K"_s << u"v"_s;
        QTest::newRow("bom") << QByteArray("\xEF\xBB\xBF[S]\nK=v\n") << u"S"_s << u"K"_s << u"v"_s;
        QTest::newRow("blanks around names and =")
            << QByteArray("  [ S ]  \n\t K \t=  v w  \n") << u"S"_s << u"K"_s << u"v w"_s;
        QTest::newRow("comments") << QByteArray("[S]\n;K=no\n#K=no\n  ; K=no\nK=yes\n") << u"S"_s << u"K"_s << u"yes"_s;
        QTest::newRow("duplicate key: first wins") << QByteArray("[S]\nK=1\nK=2\n") << u"S"_s << u"K"_s << u"1"_s;
        QTest::newRow("duplicate section merged")
            << QByteArray("[S]\nK=1\n[T]\nX=0\n[S]\nK=2\nL=3\n") << u"S"_s << u"L"_s << u"3"_s;
        QTest::newRow("duplicate section, first key wins")
            << QByteArray("[S]\nK=1\n[T]\nX=0\n[S]\nK=2\n") << u"S"_s << u"K"_s << u"1"_s;
        QTest::newRow("line without = ignored") << QByteArray("[S]\nK\nK=v\n") << u"S"_s << u"K"_s << u"v"_s;
        QTest::newRow("no final newline") << QByteArray("[S]\nK=last") << u"S"_s << u"K"_s << u"last"_s;
        QTest::newRow("key name case matters") << QByteArray("[S]\nkey=v\n") << u"S"_s << u"KEY"_s << QString();
        QTest::newRow("section name case matters") << QByteArray("[s]\nK=v\n") << u"S"_s << u"K"_s << QString();
        QTest::newRow("key before any section") << QByteArray("K=v\n[S]\n") << u"S"_s << u"K"_s << QString();
        QTest::newRow("= and [ inside a value")
            << QByteArray("[S]\nK=a=b [c] ;d\n") << u"S"_s << u"K"_s << u"a=b [c] ;d"_s;
        QTest::newRow("header with trailing comment")
            << QByteArray("[S] ; the section\nK=v\n") << u"S"_s << u"K"_s << u"v"_s;
        QTest::newRow("header without ] ends the section")
            << QByteArray("[S]\n[broken\nK=v\n") << u"S"_s << u"K"_s << QString();
        QTest::newRow("utf-8 value") << QByteArray("[S]\nK=Zürich\n") << u"S"_s << u"K"_s << u"Zürich"_s;
        QTest::newRow("latin-1 value") << QByteArray("[S]\nK=Z\xFCrich\n") << u"S"_s << u"K"_s << u"Zürich"_s;
        QTest::newRow("nul bytes elsewhere") << QByteArray("[S]\nX=\0\0\xFF\nK=v\n", 15) << u"S"_s << u"K"_s << u"v"_s;
        QTest::newRow("empty value") << QByteArray("[S]\nK=\n") << u"S"_s << u"K"_s << QString();
        QTest::newRow("missing section") << QByteArray("[S]\nK=v\n") << u"T"_s << u"K"_s << QString();
    }
    void reading()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const QString path = mDir.filePath(u"Data1.ini"_s);
        writeRaw(path, content);
        IniFile ini;
        QVERIFY(ini.OpenFile(path));
        const QString value = ini.Section(section).Key(key).Value();
        QCOMPARE(value, expected);
        QCOMPARE(value.isEmpty(), expected.isEmpty());
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
        QTest::newRow("new key in an empty section")
            << QByteArray("[A]\n[B]\nZ=3\n") << u"A"_s << u"K"_s << u"k"_s << QByteArray("[A]\nK=k\n[B]\nZ=3\n");
        QTest::newRow("new section at the end")
            << base << u"C"_s << u"K"_s << u"k"_s << base + QByteArray("\n[C]\nK=k\n");
        QTest::newRow("new file") << QByteArray() << u"C"_s << u"K"_s << u"k"_s << QByteArray("[C]\nK=k\n");
        QTest::newRow("crlf kept") << QByteArray("[A]\r\nX=1\r\n") << u"A"_s << u"Y"_s << u"2"_s
                                   << QByteArray("[A]\r\nX=1\r\nY=2\r\n");
        QTest::newRow("bom kept") << QByteArray("\xEF\xBB\xBF[A]\nX=1\n") << u"A"_s << u"X"_s << u"5"_s
                                  << QByteArray("\xEF\xBB\xBF[A]\nX=5\n");
        QTest::newRow("missing final newline")
            << QByteArray("[A]\nX=1") << u"A"_s << u"Y"_s << u"2"_s << QByteArray("[A]\nX=1\nY=2\n");
        QTest::newRow("duplicate key: the one read is written")
            << QByteArray("[A]\nX=1\nX=2\n") << u"A"_s << u"X"_s << u"7"_s << QByteArray("[A]\nX=7\nX=2\n");
        QTest::newRow("duplicate section: new key in the first block")
            << QByteArray("[A]\nX=1\n[B]\n[A]\nY=2\n") << u"A"_s << u"Z"_s << u"3"_s
            << QByteArray("[A]\nX=1\nZ=3\n[B]\n[A]\nY=2\n");
        QTest::newRow("other case is another key")
            << QByteArray("[A]\nkey=1\n") << u"A"_s << u"KEY"_s << u"2"_s << QByteArray("[A]\nkey=1\nKEY=2\n");
        QTest::newRow("blanks around the value dropped")
            << QByteArray("[A]\n") << u"A"_s << u"K"_s << u"  v  "_s << QByteArray("[A]\nK=v\n");
        QTest::newRow("latin-1 lines elsewhere kept") << QByteArray("[A]\nN=M\xFCller\n") << u"A"_s << u"K"_s << u"ü"_s
                                                      << QByteArray("[A]\nN=M\xFCller\nK=\xC3\xBC\n");
    }
    void writing()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString path = mDir.filePath(u"Data1.ini"_s);
        QFile::remove(path);
        if (!before.isEmpty())
            writeRaw(path, before);
        IniFile ini;
        QVERIFY(ini.OpenFile(path));
        QVERIFY2(ini.Section(section).Key(key).SetValue(value), qPrintable(ini.LastError()));
        QCOMPARE(readAll(path), after);
        QCOMPARE(ini.Section(section).Key(key).Value(), value.trimmed());
        // What a fresh reader sees, not only our cache.
        IniFile other;
        QVERIFY(other.OpenFile(path));
        QCOMPARE(other.Section(section).Key(key).Value(), value.trimmed());
    }

    void numbers_data()
    {
        QTest::addColumn<QVariant>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("int") << QVariant(-5) << u"-5"_s;
        QTest::newRow("int max") << QVariant(2147483647) << u"2147483647"_s;
        QTest::newRow("whole double") << QVariant(3.0) << u"3"_s;
        QTest::newRow("tenth") << QVariant(0.1) << u"0.1"_s;
        QTest::newRow("negative fraction") << QVariant(-2.5) << u"-2.5"_s;
        QTest::newRow("large, no exponent") << QVariant(1e20) << u"100000000000000000000"_s;
        QTest::newRow("small, no exponent") << QVariant(0.00012) << u"0.00012"_s;
        QTest::newRow("negative zero") << QVariant(-0.0) << u"0"_s;
    }
    void numbers()
    {
        QFETCH(QVariant, number);
        QFETCH(QString, text);
        IniFile ini;
        QVERIFY(ini.OpenFile(mDir.filePath(u"numbers.ini"_s)));
        IniKey key = ini.Section(u"N"_s).Key(u"K"_s);
        if (number.typeId() == QMetaType::Int)
            QVERIFY(key.SetValue(number.toInt()));
        else
            QVERIFY(key.SetValue(number.toDouble()));
        QCOMPARE(key.Value(), text);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("LF in value") << u"S"_s << u"K"_s << u"a\n[EVIL]\nX=1"_s;
        QTest::newRow("CR in value") << u"S"_s << u"K"_s << u"a\r[EVIL]"_s;
        QTest::newRow("CRLF in value") << u"S"_s << u"K"_s << u"a\r\nX=1"_s;
        QTest::newRow("NUL in value") << u"S"_s << u"K"_s << u"a\0b"_s;
        QTest::newRow("= in key name") << u"S"_s << u"K=X"_s << u"1"_s;
        QTest::newRow("key name opening a section") << u"S"_s << u"[EVIL]"_s << u"1"_s;
        QTest::newRow("key name as a comment") << u"S"_s << u";K"_s << u"1"_s;
        QTest::newRow("line break in key name") << u"S"_s << u"K\nX"_s << u"1"_s;
        QTest::newRow("] in section name") << u"S]\n[T"_s << u"K"_s << u"1"_s;
        QTest::newRow("empty key name") << u"S"_s << QString() << u"1"_s;
        QTest::newRow("empty section name") << QString() << u"K"_s << u"1"_s;
    }
    void refused()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString path = mDir.filePath(u"Data1.ini"_s);
        const QByteArray before = "[S]\nK=old\n";
        writeRaw(path, before);
        IniFile ini;
        QVERIFY(ini.OpenFile(path));
        QVERIFY(!ini.Section(section).Key(key).SetValue(value));
        QVERIFY(!ini.LastError().isEmpty());
        QCOMPARE(readAll(path), before);
        QCOMPARE(ini.Section(u"S"_s).Key(u"K"_s).Value(), u"old"_s);
    }

    void structureCharactersRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("section header") << u"[EVIL]"_s;
        QTest::newRow("key assignment") << u"X=1"_s;
        QTest::newRow("comment") << u";not a comment"_s;
        QTest::newRow("hash") << u"#1"_s;
        QTest::newRow("mixed") << u"[a]=b;c#d"_s;
    }
    void structureCharactersRoundTrip()
    {
        QFETCH(QString, value);
        const QString path = mDir.filePath(u"Data1.ini"_s);
        writeRaw(path, "[S]\nK=old\n[T]\nM=1\n");
        IniFile ini;
        QVERIFY(ini.OpenFile(path));
        QVERIFY(ini.Section(u"S"_s).Key(u"K"_s).SetValue(value));
        IniFile fresh;
        QVERIFY(fresh.OpenFile(path));
        QCOMPARE(fresh.Section(u"S"_s).Key(u"K"_s).Value(), value);
        QCOMPARE(fresh.Section(u"EVIL"_s).Key(u"X"_s).Value(), QString());
        QCOMPARE(fresh.Section(u"S"_s).Key(u"X"_s).Value(), QString());
        QCOMPARE(fresh.Section(u"T"_s).Key(u"M"_s).Value(), u"1"_s);
    }

    void bufferSize_data()
    {
        QTest::addColumn<int>("bufferSize");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("expectedLength");
        QTest::newRow("512, short value") << 512 << 100 << 100;
        QTest::newRow("512, exactly fits") << 512 << 511 << 511;
        QTest::newRow("512, one too long") << 512 << 512 << 511;
        QTest::newRow("512, long value") << 512 << 900 << 511;
        QTest::newRow("1024, long value") << 1024 << 900 << 900;
        QTest::newRow("1024, longer value") << 1024 << 3000 << 1023;
    }
    void bufferSize()
    {
        QFETCH(int, bufferSize);
        QFETCH(int, length);
        QFETCH(int, expectedLength);
        const QString path = mDir.filePath(u"Data1.ini"_s);
        QString value;
        for (int i = 0; i < length; ++i)
            value += QChar(u'a' + i % 26);
        IniFile ini;
        QVERIFY(ini.OpenFile(path, 512));
        QVERIFY(ini.Section(u"S"_s).Key(u"K"_s).SetValue(value));
        ini.SetBufferSize(bufferSize);
        QCOMPARE(ini.Section(u"S"_s).Key(u"K"_s).Value(), value.left(expectedLength));
        // Cutting happens when reading only: the file keeps the whole value.
        ini.SetBufferSize(length + 1);
        QCOMPARE(ini.Section(u"S"_s).Key(u"K"_s).Value(), value);
    }

    void replacedBehindOurBack_data()
    {
        QTest::addColumn<bool>("atomicCopy");
        QTest::newRow("atomic copy over the file") << true;
        QTest::newRow("rewritten in place, same size") << false;
    }
    void replacedBehindOurBack()
    {
        QFETCH(bool, atomicCopy);
        const QString data1 = mDir.filePath(u"Data1.ini"_s);
        const QString data2 = mDir.filePath(u"Data2.ini"_s);
        writeRaw(data1, "[S]\nK=1\n");
        writeRaw(data2, "[S]\nK=2\n");
        IniFile ini;
        QVERIFY(ini.OpenFile(data1));
        QCOMPARE(ini.Section(u"S"_s).Key(u"K"_s).Value(), u"1"_s);
        if (atomicCopy) {
            QString error;
            QVERIFY2(IniFile::CopyFileAtomic(data2, data1, &error), qPrintable(error));
        } else {
            writeRaw(data1, "[S]\nK=2\n");
        }
        QCOMPARE(ini.Section(u"S"_s).Key(u"K"_s).Value(), u"2"_s);
        // A write after the replacement starts from the new contents.
        QVERIFY(ini.Section(u"S"_s).Key(u"L"_s).SetValue(3));
        QCOMPARE(readAll(data1), QByteArray("[S]\nK=2\nL=3\n"));
    }

    // The options dialog: back up, edit the live file, cancel by copying back.
    void backupAndCancel()
    {
        const QString data1 = mDir.filePath(u"Data1.ini"_s);
        const QString data2 = mDir.filePath(u"Data2.ini"_s);
        QFile::remove(data1);
        IniFile ini;
        QVERIFY(ini.OpenFile(data1));
        IniSection general = ini.Section(u"_WGX_GENERAL"_s);
        QVERIFY(general.Key(u"SKIN"_s).SetValue(2));
        QVERIFY(IniFile::CopyFileAtomic(data1, data2, nullptr));
        QVERIFY(general.Key(u"SKIN"_s).SetValue(5));
        QVERIFY(general.Key(u"TOP"_s).SetValue(1));
        QCOMPARE(general.Key(u"SKIN"_s).Value(), u"5"_s);
        QVERIFY(IniFile::CopyFileAtomic(data2, data1, nullptr));
        QCOMPARE(general.Key(u"SKIN"_s).Value(), u"2"_s);
        QCOMPARE(general.Key(u"TOP"_s).Value(), QString());
    }

    void copyFailures()
    {
        QString error;
        QVERIFY(!IniFile::CopyFileAtomic(mDir.filePath(u"absent.ini"_s), mDir.filePath(u"to.ini"_s), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(mDir.filePath(u"to.ini"_s)));
        writeRaw(mDir.filePath(u"from.ini"_s), "[S]\n");
        error.clear();
        QVERIFY(!IniFile::CopyFileAtomic(mDir.filePath(u"from.ini"_s), mDir.filePath(u"no/such/folder.ini"_s), &error));
        QVERIFY(!error.isEmpty());
    }

    void unreadablePath()
    {
        // A folder where the file should be: nothing readable, and nothing to clobber.
        const QString path = mDir.filePath(u"Data1.ini"_s);
        QFile::remove(path);
        QVERIFY(QDir(mDir.path()).mkdir(u"Data1.ini"_s));
        IniFile ini;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"cannot read"_s));
        QVERIFY(!ini.OpenFile(path));
        QVERIFY(!ini.LastError().isEmpty());
        QCOMPARE(ini.Section(u"S"_s).Key(u"K"_s).Value(), QString());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"cannot read|not overwriting"_s));
        QVERIFY(!ini.Section(u"S"_s).Key(u"K"_s).SetValue(u"v"_s));
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(QDir(mDir.path()).rmdir(u"Data1.ini"_s));
    }

    void unreadableFileNotClobbered()
    {
        if (::geteuid() == 0)
            QSKIP("permissions do not stop root from reading");
        const QString path = mDir.filePath(u"Data1.ini"_s);
        writeRaw(path, "[S]\nK=keep\n");
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0200) == 0);
        IniFile ini;
        QVERIFY(!ini.OpenFile(path));
        QVERIFY(!ini.Section(u"S"_s).Key(u"J"_s).SetValue(u"v"_s));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0600) == 0);
        QCOMPARE(readAll(path), QByteArray("[S]\nK=keep\n"));
    }

    void binaryGarbageKept()
    {
        const QString path = mDir.filePath(u"Data1.ini"_s);
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage += char((i * 7919) % 256);
        garbage.replace('\r', 'x');
        garbage += 'z';
        writeRaw(path, garbage);
        IniFile ini;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"not text"_s));
        QVERIFY(ini.OpenFile(path));
        QCOMPARE(ini.Section(u"_WGX_GENERAL"_s).Key(u"SKIN"_s).Value(), QString());
        QVERIFY(ini.Section(u"_WGX_GENERAL"_s).Key(u"SKIN"_s).SetValue(3));
        QCOMPARE(ini.Section(u"_WGX_GENERAL"_s).Key(u"SKIN"_s).Value(), u"3"_s);
        QCOMPARE(readAll(path), garbage + "\n\n[_WGX_GENERAL]\nSKIN=3\n");
    }

    void deleteSection_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("middle section") << QByteArray("[A]\nX=1\n[PAGE]\nK=1\n; inside\n[B]\nY=2\n") << u"PAGE"_s
                                        << QByteArray("[A]\nX=1\n[B]\nY=2\n");
        QTest::newRow("every block of a duplicate")
            << QByteArray("[PAGE]\nK=1\n[A]\nX=1\n[PAGE]\nL=2\n") << u"PAGE"_s << QByteArray("[A]\nX=1\n");
        QTest::newRow("other case kept") << QByteArray("[page]\nK=1\n[PAGE]\nK=2\n") << u"PAGE"_s
                                         << QByteArray("[page]\nK=1\n");
        QTest::newRow("missing section, file untouched")
            << QByteArray("[A]\r\nX = 1\r\n") << u"PAGE"_s << QByteArray("[A]\r\nX = 1\r\n");
    }
    void deleteSection()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QByteArray, after);
        const QString path = mDir.filePath(u"Data1.ini"_s);
        writeRaw(path, before);
        IniFile ini;
        QVERIFY(ini.OpenFile(path));
        QVERIFY(ini.Section(section).Delete());
        QCOMPARE(readAll(path), after);
        QCOMPARE(ini.Section(section).Key(u"K"_s).Value(), QString());
    }

    // A process killed in the middle of writing leaves a whole file behind: the
    // old state or the new one, never a mix or a truncated file.
    void killedWriter_data()
    {
        QTest::addColumn<int>("delayMs");
        QTest::newRow("at once") << 0;
        QTest::newRow("2 ms") << 2;
        QTest::newRow("7 ms") << 7;
        QTest::newRow("20 ms") << 20;
        QTest::newRow("50 ms") << 50;
    }
    void killedWriter()
    {
        QFETCH(int, delayMs);
        const QString path = mDir.filePath(u"Data1.ini"_s);
        writeRaw(path, stateFile(0, 0));
        QProcess writer;
        writer.start(QStringLiteral(PESAVO_INI_WRITER), {path});
        QVERIFY(writer.waitForStarted());
        QVERIFY(writer.waitForReadyRead(20000));
        QCOMPARE(writer.readLine().trimmed(), QByteArray("started"));
        ::usleep(delayMs * 1000);
        writer.kill();
        QVERIFY(writer.waitForFinished());
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        IniFile ini;
        QVERIFY(ini.OpenFile(path));
        const int count = ini.Section(u"STATE"_s).Key(u"COUNT"_s).Value().toInt();
        QVERIFY(count >= 1);
        const QByteArray content = readAll(path);
        // Either both keys of a round were written, or only its COUNT.
        QVERIFY2(content == stateFile(count, count) || content == stateFile(count, count - 1),
                 qPrintable(u"round %1, %2 bytes"_s.arg(count).arg(content.size())));
    }

private:
    QTemporaryDir mDir;
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
