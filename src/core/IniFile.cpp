#include "IniFile.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

// Hand-edited files from other systems are often not UTF-8; Latin-1 keeps every
// byte readable instead of turning it into replacement characters. A byte-order mark at the start of a
// line is part of it (the file's own mark is gone by now): dropped, a key that begins with one (a page's
// field name can) would never be found again, and every write would add it once more.
QString decodeLine(const QByteArray& raw)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(raw);
    if (decoder.hasError())
        return QString::fromLatin1(raw);
    return text;
}

std::optional<QString> headerName(const QString& trimmed)
{
    if (!trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(u']', 1);
    if (close < 0)
        return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

bool hasLineBreakOrNul(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r') || text.contains(QChar(0));
}

bool validSectionName(const QString& name)
{
    return !name.isEmpty() && name.trimmed() == name && !hasLineBreakOrNul(name) && !name.contains(u']');
}

bool validKeyName(const QString& name)
{
    return !name.isEmpty() && name.trimmed() == name && !hasLineBreakOrNul(name) && !name.contains(u'=')
        && !name.startsWith(u'[') && !name.startsWith(u';') && !name.startsWith(u'#');
}

// The rename is durable only once the folder entry is on disk too.
void syncFolderOf(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// A write killed between naming its temporary copy and renaming it over the file leaves the copy
// ("Data1.ini.AbC123") behind. Copies old enough that no write can still be under way go.
void removeStaleTemporaries(const QString& path)
{
    const QFileInfo file(path);
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(QRegularExpression::escape(file.fileName())
                                                                           + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-60);
    const QFileInfoList candidates = file.dir().entryInfoList({file.fileName() + QStringLiteral(".??????")},
                                                              QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& candidate : candidates) {
        if (temporary.match(candidate.fileName()).hasMatch() && candidate.lastModified().toUTC() < before)
            QFile::remove(candidate.filePath());
    }
}

bool writeAll(int fd, const QByteArray& content)
{
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + done, size_t(content.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The settings hold addresses and what the user typed into pages: only the user may read them. The
// temporary copy is created 0600 (mkostemp), so no one can open it while it fills, and the rename
// gives the file that mode whatever it had: a file left 0644 by an older version is tightened at its
// next write, in a folder of any mode.
bool writeWhole(const QString& path, const QByteArray& content, QString* error)
{
    const auto fail = [&](const QString& what) {
        if (error)
            *error = what.arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    };
    // A settings file that is a link (kept in a dotfiles folder) stays a link: its target is replaced.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    const QByteArray targetName = QFile::encodeName(target);
    if (::access(targetName.constData(), F_OK) == 0 && ::access(targetName.constData(), W_OK) != 0)
        return fail(QStringLiteral("cannot write %1: %2"));
    QByteArray temporary = targetName + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(QStringLiteral("cannot write %1: %2"));
    // fsync before the rename: a crash never leaves the new name on an empty file.
    const bool written = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(temporary.constData());
        errno = written ? errno : savedErrno;
        return fail(QStringLiteral("cannot write %1: %2"));
    }
    if (::rename(temporary.constData(), targetName.constData()) != 0) {
        const int renameErrno = errno;
        ::unlink(temporary.constData());
        errno = renameErrno;
        return fail(QStringLiteral("cannot replace %1: %2"));
    }
    syncFolderOf(target);
    return true;
}

} // namespace

bool IniFile::OpenFile(const QString& path)
{
    mPath = path;
    mLastError.clear();
    mLoaded = false;
    if (path.isEmpty())
        return Fail(QStringLiteral("no settings file given"));
    removeStaleTemporaries(path);
    return Load();
}

IniSection IniFile::Section(const QString& name)
{
    return IniSection(this, name);
}

bool IniFile::Reload()
{
    if (mPath.isEmpty())
        return Fail(QStringLiteral("no settings file open"));
    return Load();
}

std::optional<IniFile::Identity> IniFile::CurrentIdentity(QString* error) const
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(mPath).constData(), &st) != 0) {
        if (errno == ENOENT)
            return Identity {};
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    Identity id;
    id.exists = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.mtimeSec = st.st_mtim.tv_sec;
    id.mtimeNsec = st.st_mtim.tv_nsec;
    id.ctimeSec = st.st_ctim.tv_sec;
    id.ctimeNsec = st.st_ctim.tv_nsec;
    return id;
}

bool IniFile::Refresh()
{
    if (mPath.isEmpty())
        return false;
    QString error;
    const std::optional<Identity> now = CurrentIdentity(&error);
    if (mLoaded && now && *now == mIdentity)
        return mReadable;
    return Load();
}

bool IniFile::Load()
{
    mLoaded = true;
    mPending = false;
    mLines.clear();
    mSections.clear();
    mBom = false;
    mCrlf = false;

    // The identity is taken before reading: if the file changes while we read it,
    // the next read sees a different identity and reads it again.
    QString error;
    const std::optional<Identity> before = CurrentIdentity(&error);
    if (!before) {
        mIdentity = Identity {};
        mReadable = false;
        return Fail(QStringLiteral("cannot read %1: %2").arg(mPath, error));
    }
    mIdentity = *before;
    if (!before->exists) {
        mReadable = true;
        return true;
    }
    QFile in(mPath);
    if (QFileInfo(mPath).isDir() || !in.open(QIODevice::ReadOnly)) {
        mReadable = false;
        return Fail(QStringLiteral("cannot read %1: %2")
                        .arg(mPath, in.isOpen() ? QStringLiteral("is a folder") : in.errorString()));
    }
    QByteArray data = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        mReadable = false;
        return Fail(QStringLiteral("cannot read %1: %2").arg(mPath, in.errorString()));
    }
    mReadable = true;
    if (data.contains('\0'))
        qWarning().noquote() << "settings:" << mPath
                             << "contains bytes that are not text; unreadable lines are skipped";
    if (data.startsWith(kBom)) {
        mBom = true;
        data.remove(0, kBom.size());
    }
    if (!data.isEmpty()) {
        mLines = data.split('\n');
        if (data.endsWith('\n'))
            mLines.removeLast();
        // Lines keep their own '\r' so that lines we do not touch are written back
        // byte for byte; the first line decides the line end of lines we add.
        mCrlf = mLines.value(0).endsWith('\r');
    }
    Parse();
    return true;
}

void IniFile::Parse()
{
    mSections.clear();
    SectionEntry* current = nullptr;
    bool inFirstBlock = false;
    for (int i = 0; i < mLines.size(); ++i) {
        const QString line = decodeLine(mLines[i]).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            const std::optional<QString> name = headerName(line);
            if (!name) {
                current = nullptr;
                continue;
            }
            auto it = mSections.find(*name);
            inFirstBlock = it == mSections.end();
            if (inFirstBlock) {
                it = mSections.insert(*name, SectionEntry {});
                it->firstHeader = i;
                it->lastKeyOfFirstBlock = i;
            }
            current = &*it;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || !current)
            continue;
        const QString name = line.left(eq).trimmed();
        if (name.isEmpty())
            continue;
        if (!current->keys.contains(name))
            current->keys.insert(name, KeyEntry {line.mid(eq + 1).trimmed(), i});
        if (inFirstBlock)
            current->lastKeyOfFirstBlock = i;
    }
}

QString IniFile::ReadValue(const QString& section, const QString& key)
{
    Refresh();
    const auto sit = mSections.constFind(section);
    if (sit == mSections.constEnd())
        return {};
    const auto kit = sit->keys.constFind(key);
    if (kit == sit->keys.constEnd())
        return {};
    return kit->value;
}

bool IniFile::WriteValue(const QString& section, const QString& key, const QString& value)
{
    if (!validSectionName(section))
        return Fail(QStringLiteral("invalid section name \"%1\"").arg(section));
    if (!validKeyName(key))
        return Fail(QStringLiteral("invalid key name \"%1\" in [%2]").arg(key, section));
    if (hasLineBreakOrNul(value))
        return Fail(QStringLiteral("value of %1 in [%2] contains a line break; not written").arg(key, section));
    if (mPath.isEmpty())
        return Fail(QStringLiteral("no settings file open"));
    if (!Refresh() && !mReadable)
        return Fail(QStringLiteral("%1 could not be read; not overwriting it").arg(mPath));

    const QString stored = value.trimmed();
    const QByteArray eol = mCrlf ? QByteArrayLiteral("\r") : QByteArray();
    const QByteArray newLine = key.toUtf8() + '=' + stored.toUtf8() + eol;
    QList<QByteArray> lines = mLines;
    const auto sit = mSections.constFind(section);
    if (sit != mSections.constEnd()) {
        const auto kit = sit->keys.constFind(key);
        if (kit != sit->keys.constEnd()) {
            if (kit->value == stored)
                return true;
            lines[kit->line] = newLine;
        } else {
            lines.insert(sit->lastKeyOfFirstBlock + 1, newLine);
        }
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(eol);
        lines.append('[' + section.toUtf8() + ']' + eol);
        lines.append(newLine);
    }
    return Store(lines);
}

bool IniFile::WriteValues(const QString& section, const QList<std::pair<QString, QString>>& values)
{
    if (!validSectionName(section))
        return Fail(QStringLiteral("invalid section name \"%1\"").arg(section));
    if (mPath.isEmpty())
        return Fail(QStringLiteral("no settings file open"));
    if (!Refresh() && !mReadable)
        return Fail(QStringLiteral("%1 could not be read; not overwriting it").arg(mPath));

    // The last value given for a key wins; new keys keep the order they were given in.
    QStringList order;
    QHash<QString, QString> latest;
    QStringList refused;
    for (const auto& [key, value] : values) {
        if (!validKeyName(key) || hasLineBreakOrNul(value)) {
            refused.append(key);
            continue;
        }
        if (!latest.contains(key))
            order.append(key);
        latest.insert(key, value.trimmed());
    }
    const QByteArray eol = mCrlf ? QByteArrayLiteral("\r") : QByteArray();
    QList<QByteArray> lines = mLines;
    QList<QByteArray> added;
    const auto sit = mSections.constFind(section);
    for (const QString& key : std::as_const(order)) {
        const QString& stored = latest[key];
        const QByteArray newLine = key.toUtf8() + '=' + stored.toUtf8() + eol;
        if (sit != mSections.constEnd()) {
            const auto kit = sit->keys.constFind(key);
            if (kit != sit->keys.constEnd()) {
                lines[kit->line] = newLine; // same line count: the other positions hold
                continue;
            }
        }
        added.append(newLine);
    }
    if (sit != mSections.constEnd()) {
        for (qsizetype i = 0; i < added.size(); ++i)
            lines.insert(sit->lastKeyOfFirstBlock + 1 + i, added.at(i));
    } else if (!added.isEmpty()) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(eol);
        lines.append('[' + section.toUtf8() + ']' + eol);
        lines.append(added);
    }
    if (lines != mLines && !Store(lines))
        return false;
    if (!refused.isEmpty())
        return Fail(QStringLiteral("keys %1 in [%2] have a name or value the file cannot hold; not written")
                        .arg(refused.join(QStringLiteral(", ")), section));
    return true;
}

bool IniFile::DeleteSection(const QString& section)
{
    if (mPath.isEmpty())
        return Fail(QStringLiteral("no settings file open"));
    if (!Refresh() && !mReadable)
        return Fail(QStringLiteral("%1 could not be read; not overwriting it").arg(mPath));
    if (!mSections.contains(section))
        return true;
    QList<QByteArray> kept;
    bool inTarget = false;
    for (const QByteArray& raw : std::as_const(mLines)) {
        const std::optional<QString> name = headerName(decodeLine(raw).trimmed());
        if (name)
            inTarget = *name == section;
        if (!inTarget)
            kept.append(raw);
    }
    return Store(kept);
}

// A write: to disk now, or held by the running batch.
bool IniFile::Store(const QList<QByteArray>& lines)
{
    if (mBatchDepth == 0)
        return Save(lines);
    mLines = lines;
    Parse();
    mPending = true;
    return true;
}

IniFile::Batch::Batch(IniFile& file)
    : mFile(file)
{
    ++mFile.mBatchDepth;
}

IniFile::Batch::~Batch()
{
    if (--mFile.mBatchDepth == 0)
        mFile.EndBatch();
}

bool IniFile::EndBatch()
{
    if (!mPending)
        return true;
    mPending = false;
    // The held writes are those of the file we last read; if it changed meanwhile they
    // are dropped, as any read in between would have dropped them.
    QString error;
    const std::optional<Identity> now = CurrentIdentity(&error);
    if (!now || *now != mIdentity) {
        Fail(QStringLiteral("%1 changed on disk; held writes dropped").arg(mPath));
        return Load();
    }
    if (Save(mLines))
        return true;
    // What is not on disk must not be read back as if it were.
    Load();
    return false;
}

bool IniFile::Save(const QList<QByteArray>& lines)
{
    QByteArray content;
    if (mBom)
        content += kBom;
    for (const QByteArray& line : lines) {
        content += line;
        content += '\n';
    }
    QString error;
    if (!writeWhole(mPath, content, &error))
        return Fail(error);
    mLines = lines;
    Parse();
    QString statError;
    if (const std::optional<Identity> id = CurrentIdentity(&statError))
        mIdentity = *id;
    mReadable = true;
    mLoaded = true;
    return true;
}

bool IniFile::Fail(const QString& message)
{
    mLastError = message;
    qWarning().noquote() << "settings:" << message;
    return false;
}

bool IniFile::CopyFileAtomic(const QString& from, const QString& to, QString* error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(from, in.errorString());
        return false;
    }
    const QByteArray content = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(from, in.errorString());
        return false;
    }
    return writeWhole(to, content, error);
}
