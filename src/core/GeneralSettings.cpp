#include "GeneralSettings.h"

#include "IniFile.h"
#include "IniValue.h"

using namespace Qt::StringLiterals;

const QString GeneralSettings::Section = u"_WGX_GENERAL"_s;

namespace {
const QString Unit = u"UNIT"_s;
const QString AutoLaunch = u"AUTO_LAUNCH"_s;
const QString Display = u"DISPLAY"_s;
const QString Top = u"TOP"_s;
const QString Skin = u"SKIN"_s;
const QString Prepare = u"PREPARE_BROWSER"_s;
const QString Startup = u"STARTUP"_s;
} // namespace

GeneralSettings GeneralSettings::Load(IniFile& settings)
{
    GeneralSettings read;
    IniSection section = settings.Section(Section);
    read.unit = IniValue::ToNumber(section.Key(Unit).Value()) != 0 ? 1 : 0;
    // Independent of the stop below: a key this program added reads the same whatever the older keys hold.
    const QString prepare = section.Key(Prepare).Value();
    read.prepareBrowser = prepare.isEmpty() || IniValue::ToFlag(prepare);
    const auto autoLaunch = IniValue::ToInt16(section.Key(AutoLaunch).Value());
    if (!autoLaunch)
        return read;
    read.autoLaunch = *autoLaunch;
    read.smallDisplay = IniValue::ToFlag(section.Key(Display).Value());
    read.alwaysOnTop = IniValue::ToFlag(section.Key(Top).Value());
    const auto skin = IniValue::ToInt16(section.Key(Skin).Value());
    if (skin)
        read.skin = *skin;
    return read;
}

bool GeneralSettings::Save(IniFile& settings) const
{
    return settings.Section(Section).SetValues({{Unit, QString::number(unit)},
                                                {AutoLaunch, QString::number(autoLaunch)},
                                                {Display, IniValue::FromFlag(smallDisplay)},
                                                {Top, IniValue::FromFlag(alwaysOnTop)},
                                                {Skin, QString::number(skin)},
                                                {Prepare, IniValue::FromFlag(prepareBrowser)}});
}

QString GeneralSettings::StoredPage(IniFile& settings)
{
    return settings.Section(Section).Key(AutoLaunch).Value();
}

bool GeneralSettings::SavePage(IniFile& settings, int page)
{
    return settings.Section(Section).Key(AutoLaunch).SetValue(page);
}

std::optional<bool> GeneralSettings::StoredStartup(IniFile& settings)
{
    const QString text = settings.Section(Section).Key(Startup).Value().trimmed();
    if (text == u"0"_s || text == u"1"_s)
        return text == u"1"_s;
    return std::nullopt;
}

bool GeneralSettings::SaveStartup(IniFile& settings, bool start)
{
    return settings.Section(Section).Key(Startup).SetValue(start ? 1 : 0);
}

bool GeneralSettings::SaveSkin(IniFile& settings, int skin)
{
    return settings.Section(Section).Key(Skin).SetValue(skin);
}

bool GeneralSettings::SavePrepareBrowser(IniFile& settings, bool prepare)
{
    return settings.Section(Section).Key(Prepare).SetValue(prepare ? 1 : 0);
}
