#include "DesktopEntry.h"

#include <QFile>

namespace {

QString Unescape(QStringView raw)
{
    QString out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c != u'\\' || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const QChar next = raw.at(++i);
        if (next == u's')
            out += u' ';
        else if (next == u'n')
            out += u'\n';
        else if (next == u't')
            out += u'\t';
        else if (next == u'r')
            out += u'\r';
        else if (next == u'\\')
            out += u'\\';
        else // "\;" in lists stays escaped for List() to see
            out += QStringView(raw).mid(i - 1, 2);
    }
    return out;
}

} // namespace

DesktopEntry DesktopEntry::Load(const QString& path)
{
    DesktopEntry entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entry;
    bool inGroup = false;
    // Entries are small; a huge file is not one and is read no further than this.
    const QList<QByteArray> lines = file.read(1 << 20).split('\n');
    for (const QByteArray& bytes : lines) {
        const QString line = QString::fromUtf8(bytes).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inGroup || eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        // The first occurrence of a key counts.
        if (!entry.mValues.contains(key))
            entry.mValues.insert(key, Unescape(QStringView(line).mid(eq + 1).trimmed()));
    }
    return entry;
}

QStringList DesktopEntry::List(const QString& key) const
{
    QStringList items;
    QString current;
    const QString value = mValues.value(key);
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == u'\\' && i + 1 < value.size() && value.at(i + 1) == u';') {
            current += u';';
            ++i;
        } else if (value.at(i) == u';') {
            items << current;
            current.clear();
        } else {
            current += value.at(i);
        }
    }
    if (!current.isEmpty())
        items << current;
    return items;
}

QStringList DesktopEntry::SplitExec(const QString& exec)
{
    QStringList args;
    QString current;
    bool inArg = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (c == u'%' && i + 1 < exec.size()) {
            // A field code stands for files or names we do not pass; "%%" is a percent sign.
            inArg = true;
            if (exec.at(++i) == u'%')
                current += u'%';
            continue;
        }
        if (quoted) {
            if (c == u'"')
                quoted = false;
            else if (c == u'\\' && i + 1 < exec.size())
                current += exec.at(++i);
            else
                current += c;
            continue;
        }
        if (c == u' ' || c == u'\t') {
            if (inArg)
                args << current;
            current.clear();
            inArg = false;
            continue;
        }
        inArg = true;
        if (c == u'"')
            quoted = true;
        else
            current += c;
    }
    if (inArg)
        args << current;
    args.removeAll(QString());
    return args;
}
