#include "CPageLauncher.h"

#include "CCarrierPages.h"
#include "CFormField.h"
#include "GeneralSettings.h"
#include "IniFile.h"

#include <QDebug>

#include <utility>

using namespace Qt::StringLiterals;

CPageLauncher::CPageLauncher(IniFile& settings, CWebHelper::Accessors accessors, MenuCaption menuCaption,
                             QObject* parent)
    : QObject(parent)
    , mSettings(settings)
    , mAccessors(std::move(accessors))
    , mMenuCaption(std::move(menuCaption))
{ }

CPageLauncher::~CPageLauncher() = default;

bool CPageLauncher::LaunchWebPage()
{
    // The stored key, not the window's copy: the options dialog may have changed it.
    const QString stored = GeneralSettings::StoredPage(mSettings);
    const auto index = CFormField::ToInt32(stored);
    if (!index) {
        qWarning().noquote() << "No web page launched: AUTO_LAUNCH is not a page number:" << stored;
        return false;
    }
    const int n = *index;
    if (n == 0)
        return false;

    QString name;
    QString address;
    if (const CCarrierPages::Page* page = CCarrierPages::ForLauncherIndex(n)) {
        name = page->section;
        address = page->address;
    } else {
        // A user page, named by its menu caption; negative numbers land here too and find no item.
        const auto caption = (n > 0 && mMenuCaption) ? mMenuCaption(n + 1) : std::nullopt;
        if (!caption || caption->isEmpty()) {
            qWarning() << "No web page launched: there is no page number" << n;
            return false;
        }
        name = *caption;
    }
    if (!m_objWeb) {
        m_objWeb = std::make_unique<CWebHelper>(mSettings, mAccessors);
        connect(m_objWeb.get(), &CWebHelper::PageChanged, this, &CPageLauncher::PageChanged);
    }
    m_objWeb->Create(name, address);
    const bool ok = m_objWeb->GotoPage();
    mLastError = ok ? QString() : m_objWeb->LastError();
    return ok;
}

bool CPageLauncher::PrepareBrowser()
{
    if (!mAccessors.prepareBrowser || IsBrowserExist())
        return false;
    const auto index = CFormField::ToInt32(GeneralSettings::StoredPage(mSettings));
    if (!index || *index == 0)
        return false;
    QString error;
    if (mAccessors.prepareBrowser(&error))
        return true;
    qInfo().noquote() << "Browser not prepared:" << error;
    return false;
}

bool CPageLauncher::IsBrowserExist()
{
    return m_objWeb && m_objWeb->IsBrowserExist();
}

bool CPageLauncher::SaveSelection(int page)
{
    return GeneralSettings::SavePage(mSettings, page);
}
