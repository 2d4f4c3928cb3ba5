#pragma once

#include "CWebHelper.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class IniFile;

// The page selection and the launch behind the main window's web button, its "Go to Selected Web
// Page" command, the page submenu and combo box, and the launch on a settled weight. The window
// owns one; it keeps the one CWebHelper, made at the first launch. Nothing here touches widgets:
// the window asks for the indexes to show and gives the captions of its user-page menu items.
//
// How the window uses it:
//   web button, "Go to Selected Web Page"  LaunchWebPage(); when false and LastError() is not
//                                          empty, show it (no browser could be started)
//   StatusChange(2)                        LaunchWebPage() unless IsBrowserExist()
//   the weight leaves zero                 PrepareBrowser() when the user wants the browser prepared
//   cboWeb_Click                           gAutoLaunch = combo index; WebSelect_Click
//   mnuAutoLaunch_Click(Index)             gAutoLaunch = PageOfMenuItem(Index); combo index =
//                                          gAutoLaunch; WebSelect_Click
//   WebSelect_Click                        uncheck item gAutoLaunchItem; gAutoLaunchItem =
//                                          MenuItemOfPage(gAutoLaunch); check it; SaveSelection(gAutoLaunch)
class CPageLauncher final : public QObject
{
    Q_OBJECT
public:
    // Caption of the page submenu item `menuItem` (user pages start at item 10); nullopt when
    // there is no such item.
    using MenuCaption = std::function<std::optional<QString>(int menuItem)>;

    CPageLauncher(IniFile& settings, CWebHelper::Accessors accessors, MenuCaption menuCaption,
                  QObject* parent = nullptr);
    ~CPageLauncher() override;
    Q_DISABLE_COPY_MOVE(CPageLauncher)

    // Launches the page stored in AUTO_LAUNCH of _WGX_GENERAL. Answers whether a page was
    // launched; false for "None", an unreadable index, a user page without its menu item, or a
    // browser that cannot be started (LastError()).
    bool LaunchWebPage();
    // The launch on a settled weight (status 2) happens only while no browser window is open.
    bool IsBrowserExist();
    // Called as the weight leaves zero, before it settles: when a page is selected and no browser window
    // of ours is open, has the browser started with no window, so that the launch only opens one on the
    // page. Shows nothing and says nothing: a browser that cannot be started is reported by the launch.
    // True when a browser is running or starting.
    bool PrepareBrowser();
    QString LastError() const { return mLastError; }

    // Selection: the submenu item that carries the check mark for a page index, and back.
    static int MenuItemOfPage(int page) { return page != 0 ? page + 1 : 0; }
    static int PageOfMenuItem(int menuItem) { return menuItem != 0 ? menuItem - 1 : 0; }
    // Persists the page index (the combo box index) in AUTO_LAUNCH.
    bool SaveSelection(int page);

    CWebHelper* WebHelper() const { return m_objWeb.get(); }

private:
    IniFile& mSettings;
    CWebHelper::Accessors mAccessors;
    MenuCaption mMenuCaption;
    std::unique_ptr<CWebHelper> m_objWeb;
    QString mLastError;
};
