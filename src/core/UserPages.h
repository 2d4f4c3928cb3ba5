#pragma once

#include <QString>
#include <QStringList>

class IniFile;

// The user's own pages as listed in "_WGX_WEB" ("CNT" and "_WGX_NAME1" onwards): the only reader and
// writer of that list. A page's own sections belong to whoever records or deletes the page.
class UserPages final
{
public:
    // "Add" does nothing once the user has this many pages.
    static constexpr int MaxPages = 100;

    struct List
    {
        QStringList names; // in list order; a name's lower-case form is its key
        QString error; // why reading stopped early, for the user; empty when the list was read whole
    };
    // Empty names are skipped; reading stops at a count outside 16 bits or a name listed twice, keeping
    // what was read before.
    static List Load(IniFile& settings);
    // A new last page, count and name in one write. False when the name is there already or the write failed.
    static bool Add(IniFile& settings, const QString& name);
    // The page out of the list and the rest renumbered, in one write. False when it was not listed.
    static bool Remove(IniFile& settings, const QString& name);

    static const QString Section;
};
