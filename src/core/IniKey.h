#pragma once

#include <QString>

class IniFile;

// One key of one section; a light handle. Reads of a missing key give empty text.
// Writes are on disk when they return true.
class IniKey final
{
public:
    IniKey(IniFile* file, const QString& section, const QString& name)
        : mFile(file)
        , mSection(section)
        , mName(name)
    { }

    QString Value() const;
    bool SetValue(const QString& text);
    bool SetValue(int number);
    // No setting holds a fraction; without this a double would be cut to int unnoticed.
    bool SetValue(double number) = delete;
    QString Name() const { return mName; }
    QString SectionName() const { return mSection; }

private:
    IniFile* mFile;
    QString mSection;
    QString mName;
};
