#include "IniSection.h"

#include "IniFile.h"

IniKey IniSection::Key(const QString& name, bool flag) const
{
    Q_UNUSED(flag)
    return IniKey(mFile, mName, name);
}

bool IniSection::Delete()
{
    return mFile->DeleteSection(mName);
}

bool IniSection::SetValues(const QList<std::pair<QString, QString>>& values)
{
    return mFile->WriteValues(mName, values);
}
