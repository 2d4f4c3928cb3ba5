#pragma once

#include "IniKey.h"

#include <QString>

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
    // Removes every block of the section (header, keys, comments inside it).
    bool Delete();
    QString Name() const { return mName; }

private:
    IniFile* mFile;
    QString mName;
};
