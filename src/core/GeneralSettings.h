#pragma once

#include <QString>

#include <optional>

class IniFile;

// The program-wide choices of "_WGX_GENERAL": the only reader and writer of that section. The windows keep
// a copy while the program runs and write it back at the end; the page choice is written (and read) at
// once, because a launch always follows the stored choice.
class GeneralSettings final
{
public:
    int unit = 0; // 0 kilograms, 1 pounds and ounces
    int autoLaunch = 0; // the page index: 0 none, 1 to 8 the carriers, then the user's pages
    bool smallDisplay = false;
    bool alwaysOnTop = false;
    int skin = 0;
    bool prepareBrowser = true; // start the browser, unseen, as soon as something is put on the scale

    // A value outside 16 bits in AUTO_LAUNCH or SKIN ends the reading there: what follows keeps its default.
    static GeneralSettings Load(IniFile& settings);
    // Every key but STARTUP, which belongs to the options' start-with-the-session box.
    bool Save(IniFile& settings) const;

    // AUTO_LAUNCH as stored, for the launcher and the options to read by their own rules.
    static QString StoredPage(IniFile& settings);
    static bool SavePage(IniFile& settings, int page);
    // STARTUP: 1 when the user asked to start with the session; nullopt when unset or not 0 or 1.
    static std::optional<bool> StoredStartup(IniFile& settings);
    static bool SaveStartup(IniFile& settings, bool start);
    static bool SaveSkin(IniFile& settings, int skin);
    static bool SavePrepareBrowser(IniFile& settings, bool prepare);

    // The page submenu carries a separator after "None": page n is item n + 1 there.
    static int MenuItemOfPage(int page) { return page != 0 ? page + 1 : 0; }
    static int PageOfMenuItem(int menuItem) { return menuItem != 0 ? menuItem - 1 : 0; }

    static const QString Section;
};
