#pragma once

#include "IniSection.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The one place that reads and writes a settings file.
//
// Every write goes to disk at once and replaces the file atomically (a temporary
// file in the same folder, flushed to disk, then renamed over the old one), so a
// crash at any moment leaves either the old or the new file whole, and a whole-file
// copy made right after a write sees it. Every file written (copies included) is
// 0600 from its creation: an older file of a looser mode is tightened at its next write.
//
// Before each read the file's identity (device, inode, size, modification time to
// the nanosecond) is compared with the one last read; when another process replaced
// or edited the file, it is read again. This is what lets the options dialog copy
// its backup over the live file and then read the copied values through us.
//
// Names are matched exactly as written. Reading is lenient (CRLF or LF, a UTF-8
// byte order mark, blanks around names and '=', ';' and '#' comment lines, lines
// without '=' ignored, duplicate keys: the first wins, duplicate sections: merged);
// blanks around a value are not part of it. Writing one key keeps every other line
// of the file byte for byte. A value must not contain a line break or a NUL: such
// a write is refused (false, LastError) so no value can add a key or a section.
// '[', '=', ';' and '#' inside a value are fine, only the start of a line matters.
class IniFile final
{
public:
    IniFile() = default;
    Q_DISABLE_COPY_MOVE(IniFile)

    // A file that does not exist yet is fine (reads give empty values, the first
    // write creates it); false and LastError() when it exists but cannot be read.
    // Values are read back whole, whatever their length: a cut value would be a silent loss (a recorded
    // page's field list, an address).
    bool OpenFile(const QString& path);
    IniSection Section(const QString& name);
    QString Path() const { return mPath; }
    QString LastError() const { return mLastError; }
    // Reads the file again now; reads do this by themselves when the file changed.
    bool Reload();

    // Copies a file over another, replacing the target atomically.
    static bool CopyFileAtomic(const QString& from, const QString& to, QString* error = nullptr);

    // Writes made while a batch lives are seen by reads through this object at once and
    // go to disk together, in one atomic replacement, when the outermost batch ends: a
    // caller writing dozens of keys in a row pays for one flush to disk, not dozens.
    // Nothing else may replace the file meanwhile (a change seen on disk drops the
    // pending writes, as a reload would).
    class Batch final
    {
    public:
        explicit Batch(IniFile& file);
        ~Batch();
        Q_DISABLE_COPY_MOVE(Batch)

    private:
        IniFile& mFile;
    };

private:
    friend class IniKey;
    friend class IniSection;

    struct Identity
    {
        bool exists = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 mtimeSec = 0;
        qint64 mtimeNsec = 0;
        // A change of permissions shows only here.
        qint64 ctimeSec = 0;
        qint64 ctimeNsec = 0;
        friend bool operator==(const Identity&, const Identity&) = default;
    };
    struct KeyEntry
    {
        QString value;
        int line = -1;
    };
    struct SectionEntry
    {
        QHash<QString, KeyEntry> keys;
        int firstHeader = -1;
        int lastKeyOfFirstBlock = -1; // where a new key goes: after this line
    };

    QString ReadValue(const QString& section, const QString& key);
    bool WriteValue(const QString& section, const QString& key, const QString& value);
    bool WriteValues(const QString& section, const QList<std::pair<QString, QString>>& values);
    bool DeleteSection(const QString& section);

    std::optional<Identity> CurrentIdentity(QString* error) const;
    bool Refresh();
    bool Load();
    void Parse();
    bool Save(const QList<QByteArray>& lines);
    bool Store(const QList<QByteArray>& lines);
    bool EndBatch();
    bool Fail(const QString& message);

    QString mPath;
    QString mLastError;
    Identity mIdentity;
    bool mLoaded = false;
    // Unreadable file: writes are refused so the content we could not see survives.
    bool mReadable = true;
    bool mBom = false;
    bool mCrlf = false;
    QList<QByteArray> mLines; // raw lines without their '\n', '\r' kept
    QHash<QString, SectionEntry> mSections;
    int mBatchDepth = 0;
    bool mPending = false;
};
