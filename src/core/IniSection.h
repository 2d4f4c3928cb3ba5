#pragma once

#include "IniKey.h"

#include <QList>
#include <QString>

#include <utility>

class IniFile;

// A named section of a settings file; a light handle that stays valid as long as
// its file object lives. The section need not exist: writing a key creates it.
class IniSection final
{
public:
    IniSection(IniFile* file, const QString& name)
        : mFile(file)
        , mName(name)
    { }

    // The flag is kept for callers that pass it; it changes nothing.
    IniKey Key(const QString& name, bool flag = false) const;
    // Writes many keys with one replacement of the file (a recorded page has thousands). A key whose
    // name or value the file cannot hold is left out and makes the answer false; the others are written.
    bool SetValues(const QList<std::pair<QString, QString>>& values);
    // Removes every block of the section (header, keys, comments inside it).
    bool Delete();
    QString Name() const { return mName; }

private:
    IniFile* mFile;
    QString mName;
};
