#pragma once

#include "CWebHelper.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class IniFile;

// The launch behind the main window's web button, its "Go to Selected Web Page" command and a settled
// weight, and the stored page choice. It keeps the one CWebHelper, made at the first launch. Nothing here
// touches widgets: user pages are named by the caption of their page submenu item.
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

    // Persists the page index (the combo box index) in AUTO_LAUNCH.
    bool SaveSelection(int page);

    CWebHelper* WebHelper() const { return m_objWeb.get(); }

Q_SIGNALS:
    // CWebHelper::PageChanged of the launches: a built-in carrier page has changed, the text says so.
    void PageChanged(const QString& message);

private:
    IniFile& mSettings;
    CWebHelper::Accessors mAccessors;
    MenuCaption mMenuCaption;
    std::unique_ptr<CWebHelper> m_objWeb;
    QString mLastError;
};
