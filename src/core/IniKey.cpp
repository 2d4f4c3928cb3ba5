#include "IniKey.h"

#include "IniFile.h"

QString IniKey::Value() const
{
    return mFile->ReadValue(mSection, mName);
}

bool IniKey::SetValue(const QString& text)
{
    return mFile->WriteValue(mSection, mName, text);
}

bool IniKey::SetValue(int number)
{
    return mFile->WriteValue(mSection, mName, QString::number(number));
}
