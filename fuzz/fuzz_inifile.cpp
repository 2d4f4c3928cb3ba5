// libFuzzer target: any bytes as a settings file, then one write and a read from a fresh reader.
// Whatever the file holds, the write must keep every other line byte for byte, read back as
// written, and neither add nor change any other key.
#include "IniFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QMessageLogContext>
#include <QSet>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace {

QString FilePath()
{
    // In memory where there is such a folder: every write is flushed to disk, thousands a second.
    static const QString path = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        QByteArray pattern = base.toLocal8Bit() + "/fuzz_inifile.XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        return QString::fromLocal8Bit(pattern) + QStringLiteral("/Data1.ini");
    }();
    return path;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        std::abort();
}

// The file's lines as the reader splits them (a last line without its '\n' is a line too).
QList<QByteArray> Lines(QByteArray data)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    if (data.isEmpty())
        return {};
    QList<QByteArray> lines = data.split('\n');
    if (data.endsWith('\n'))
        lines.removeLast();
    return lines;
}

// Every name that could be a section or a key in the file: generous on purpose, so that a key
// that appears or changes anywhere is among the pairs compared.
std::pair<QSet<QString>, QSet<QString>> Names(const QByteArray& data)
{
    QSet<QString> sections {QString()};
    QSet<QString> keys;
    for (const QByteArray& raw : Lines(data)) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            if (close > 0)
                sections.insert(line.mid(1, close - 1).trimmed());
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            keys.insert(line.left(eq).trimmed());
    }
    return {sections, keys};
}

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Refused writes and unreadable bytes are logged; at this rate the log is only noise.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Three length bytes, then the section name, the key name and the value, then the file.
    if (size < 3)
        return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    std::size_t at = 3;
    auto take = [&](std::size_t length) {
        length = std::min(length, size - at);
        const QString text = QString::fromUtf8(bytes + at, static_cast<qsizetype>(length));
        at += length;
        return text;
    };
    const QString section = take(data[0] % 24);
    const QString key = take(data[1] % 24);
    const QString value = take(data[2]);
    const QByteArray before(bytes + at, static_cast<qsizetype>(size - at));
    const QString path = FilePath();
    WriteAll(path, before);

    IniFile ini;
    ini.OpenFile(path);
    // Reads of names the file may hold, before the write.
    const auto [sectionsBefore, keysBefore] = Names(before);
    const bool written = ini.Section(section).Key(key).SetValue(value);
    const QByteArray after = ReadAll(path);
    if (!written) {
        Check(after == before);
        return 0;
    }
    // The value has no line break or NUL, or the write would have been refused.
    Check(!value.contains(u'\n') && !value.contains(u'\r') && !value.contains(QChar(0)));

    IniFile fresh;
    Check(fresh.OpenFile(path));
    Check(fresh.Section(section).Key(key).Value() == value.trimmed());

    // Every other pair reads the same before and after; none appears out of nowhere.
    WriteAll(path, before);
    IniFile old;
    old.OpenFile(path);
    WriteAll(path, after);
    auto [sections, keys] = Names(after);
    sections.unite(sectionsBefore);
    keys.unite(keysBefore);
    int compared = 0;
    for (const QString& s : std::as_const(sections)) {
        for (const QString& k : std::as_const(keys)) {
            if ((s == section && k == key) || ++compared > 4096)
                continue;
            Check(old.Section(s).Key(k).Value() == fresh.Section(s).Key(k).Value());
        }
    }

    // Lines other than the written one are kept byte for byte: the change is one replaced or
    // added line, or a new section (header, key and perhaps a blank line before it) at the end.
    const QList<QByteArray> a = Lines(before);
    const QList<QByteArray> b = Lines(after);
    qsizetype prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix
           && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    Check(a.size() - prefix - suffix <= 1);
    Check(b.size() - prefix - suffix <= 3);
    Check(before.startsWith("\xEF\xBB\xBF") == after.startsWith("\xEF\xBB\xBF"));

    // Writing the same value again changes nothing.
    Check(fresh.Section(section).Key(key).SetValue(value));
    Check(ReadAll(path) == after);
    return 0;
}
