#include "UserPages.h"

#include "IniFile.h"
#include "IniValue.h"

#include <QSet>

using namespace Qt::StringLiterals;

const QString UserPages::Section = u"_WGX_WEB"_s;

namespace {
const QString Count = u"CNT"_s;

QString NameKey(qsizetype position)
{
    return u"_WGX_NAME"_s + QString::number(position);
}
} // namespace

UserPages::List UserPages::Load(IniFile& settings)
{
    List list;
    IniSection section = settings.Section(Section);
    const auto count = IniValue::ToInt16(section.Key(Count).Value());
    if (!count) {
        list.error = u"The number of web pages is out of range."_s;
        return list;
    }
    QSet<QString> keys;
    for (int i = 1; i <= *count; ++i) {
        const QString name = section.Key(NameKey(i)).Value();
        if (name.isEmpty())
            continue;
        const QString key = name.toLower();
        if (keys.contains(key)) {
            list.error = u"The web page \"%1\" is listed twice."_s.arg(name);
            return list;
        }
        keys.insert(key);
        list.names.append(name);
    }
    return list;
}

bool UserPages::Add(IniFile& settings, const QString& name)
{
    const QStringList names = Load(settings).names;
    const QString key = name.toLower();
    for (const QString& page : names) {
        if (page.toLower() == key)
            return false;
    }
    const qsizetype count = names.size() + 1;
    return settings.Section(Section).SetValues({{Count, QString::number(count)}, {NameKey(count), name}});
}

bool UserPages::Remove(IniFile& settings, const QString& name)
{
    QStringList names = Load(settings).names;
    const QString key = name.toLower();
    if (names.removeIf([&key](const QString& page) { return page.toLower() == key; }) == 0)
        return false;
    QList<std::pair<QString, QString>> values;
    // The old last entry is emptied rather than left to be read as a page again.
    values.append({NameKey(names.size() + 1), QString()});
    values.append({Count, QString::number(names.size())});
    for (qsizetype i = 0; i < names.size(); ++i)
        values.append({NameKey(i + 1), names.at(i)});
    return settings.Section(Section).SetValues(values);
}
