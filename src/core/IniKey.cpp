#include "IniKey.h"

#include "IniFile.h"

#include <QLocale>

#include <cmath>

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

bool IniKey::SetValue(double number)
{
    if (!std::isfinite(number))
        return mFile->Fail(QStringLiteral("%1 in [%2] is not a finite number").arg(mName, mSection));
    QString text = QLocale::c().toString(number, 'f', QLocale::FloatingPointShortest);
    if (text == u"-0")
        text = QStringLiteral("0");
    return mFile->WriteValue(mSection, mName, text);
}
