#include "CWebHelper.h"

#include "CWebDHL.h"
#include "CWebEbay.h"
#include "CWebFedEx.h"
#include "CWebFillerBase.h"
#include "CWebUPS.h"
#include "CWebUSPSBusi.h"
#include "CWebUSPSDom.h"
#include "CWebUSPSIntEnv.h"
#include "CWebUSPSIntPac.h"
#include "CWebUserAdd.h"
#include "IniFile.h"
#include "WebBrowser.h"

#include <QDebug>
#include <QPointer>
#include <QUrl>

#include <cmath>
#include <utility>

using namespace Qt::StringLiterals;

CWebHelper::CWebHelper(IniFile& settings, Accessors accessors, QObject* parent)
    : QObject(parent)
    , mSettings(settings)
    , mAccessors(std::move(accessors))
{
    mobjWebs[0] = std::make_unique<CWebDHL>(settings);
    mobjWebs[1] = std::make_unique<CWebEbay>(settings);
    mobjWebs[2] = std::make_unique<CWebFedEx>(settings, mAccessors.displayUnit);
    mobjWebs[3] = std::make_unique<CWebUPS>(settings);
    mobjWebs[4] = std::make_unique<CWebUSPSDom>(settings);
    mobjWebs[5] = std::make_unique<CWebUSPSBusi>(settings);
    mobjWebs[6] = std::make_unique<CWebUSPSIntEnv>(settings);
    mobjWebs[7] = std::make_unique<CWebUSPSIntPac>(settings);
    mobjWebs[8] = std::make_unique<CWebUserAdd>(settings);
    for (const auto& page : CCarrierPages::Fillers())
        mobjWebs[static_cast<size_t>(page.fillerIndex)]->Create(page.section, page.address);
    mWatchWindow.setSingleShot(true);
    connect(&mWatchWindow, &QTimer::timeout, this, &CWebHelper::OnWatchEnded);
    UserPageFiller()->SecretsArrived = [this] {
        if (mobjIE && mobjCurWeb == UserPageFiller() && !mobjCurWeb->IsFilled())
            mobjIE_ProgressChange(0, 0);
    };
}

CWebHelper::~CWebHelper()
{
    // The window stays open for the user; only our hold on it goes.
    if (mobjIE)
        mobjIE->disconnect(this);
    mobjIE.reset();
    mobjCurWeb = nullptr;
}

IAutoFillWeb* CWebHelper::Filler(int index) const
{
    if (index < 0 || index >= CCarrierPages::FillerCount)
        return nullptr;
    return mobjWebs[static_cast<size_t>(index)].get();
}

CWebUserAdd* CWebHelper::UserPageFiller() const
{
    return static_cast<CWebUserAdd*>(mobjWebs[CCarrierPages::UserPageFiller].get());
}

bool CWebHelper::IsBrowserExist()
{
    return mobjIE && mobjIE->IsAlive();
}

void CWebHelper::Create(const QString& Name, const QString& Address)
{
    for (const auto& web : mobjWebs) {
        if (web->Name() == Name && web->Address() == Address) {
            mobjCurWeb = web.get();
            return;
        }
    }
    const IniSection section = mSettings.Section(Name);
    const QString storedAddress = section.Key(u"_WGX_ADDRESS"_s).Value();
    const QString units = section.Key(u"_WGX_WGT_TYPE"_s).Value();
    CWebUserAdd* user = UserPageFiller();
    mobjCurWeb = user;
    user->Create(Name, storedAddress);
    user->MetricUnits = (units.contains(u",kg"_s) ? 1 : 0) + (units.contains(u",g"_s) ? 2 : 0);
    user->EnglishUnits = (units.contains(u",lb"_s) ? 4 : 0) + (units.contains(u",oz"_s) ? 8 : 0);
}

bool CWebHelper::GotoPage()
{
    if (!mobjCurWeb)
        return false;
    const double current = mAccessors.currentWeight ? mAccessors.currentWeight() : 0.0;
    // A negative (or unreadable) weight goes to the page as 0.
    mdblWeight = std::isfinite(current) && current > 0.0 ? current : 0.0;
    mobjCurWeb->SetIsFilled(false);
    mWatchWindow.stop();
    ++mWatch;
    mWatched.reset();
    mChangeReported = false;
    // A taught page's address comes from a file a person may edit: only documents are opened.
    if (!WebBrowser::IsNavigable(mobjCurWeb->Address())) {
        mLastError
            = u"The page %1 has an address Pesavo does not open: %2"_s.arg(mobjCurWeb->Name(), mobjCurWeb->Address());
        qWarning().noquote() << mLastError;
        return false;
    }

    if (IsBrowserExist()) {
        // The page may already be showing: then only the weight is refreshed, without navigating.
        const auto document = mobjIE->Document();
        if (OnCarrierSite(document.get()))
            mobjCurWeb->FillWeight(document.get(), mdblWeight);
        if (!mobjCurWeb->IsFilled())
            mobjIE->Navigate(mobjCurWeb->Address());
    } else {
        ReleaseBrowser();
        mobjIE = AcquireBrowser(mAccessors.makeBrowser, u"Web page"_s, &mLastError);
        if (!mobjIE)
            return false;
        connect(mobjIE.get(), &WebBrowser::ProgressChange, this, &CWebHelper::mobjIE_ProgressChange);
        connect(mobjIE.get(), &WebBrowser::OnQuit, this, &CWebHelper::mobjIE_OnQuit);
        connect(mobjIE.get(), &WebBrowser::RouteChanged, this, &CWebHelper::mobjIE_RouteChanged);
        mobjIE->Navigate(mobjCurWeb->Address());
    }
    if (!mobjIE->Visible())
        mobjIE->SetVisible(true);
    mLastError.clear();
    return true;
}

std::unique_ptr<WebBrowser> CWebHelper::AcquireBrowser(const BrowserFactory& makeBrowser, const QString& what,
                                                       QString* error)
{
    QString reason;
    std::unique_ptr<WebBrowser> browser = makeBrowser ? makeBrowser(&reason) : nullptr;
    if (!browser) {
        *error = reason.isEmpty() ? WebBrowser::NoBrowserMessage() : reason;
        qWarning().noquote() << what << "not opened:" << *error;
    }
    return browser;
}

void CWebHelper::mobjIE_ProgressChange(int Progress, int ProgressMax)
{
    if (Progress != 0 || ProgressMax != 0)
        return;
    OnNewDocument();
}

void CWebHelper::mobjIE_RouteChanged(const QString& url)
{
    Q_UNUSED(url)
    // A single-page app moves to its next page without a load: as good a moment to fill as a load.
    OnNewDocument();
}

void CWebHelper::OnNewDocument()
{
    if (!mobjIE || !mobjCurWeb || mobjIE->ReadyState() != 4)
        return;
    // Filled already in this launch: result pages and later loads are left alone.
    if (mobjCurWeb->IsFilled())
        return;
    mobjCurWeb->NewDocument();
    FillPage();
    mWatchWindow.start(mWatchWindowMs);
    WatchPage();
    mLastPass.start();
}

void CWebHelper::FillPage()
{
    // The content step may submit a form, so the weight step reads the document afresh.
    if (const auto document = mobjIE->Document(); mobjCurWeb->AutoFill() && OnCarrierSite(document.get()))
        mobjCurWeb->FillContent(document.get());
    if (!mobjIE)
        return;
    // The weight is in: what the page still draws later gets only the values still to write.
    if (mobjCurWeb->IsFilled())
        return;
    if (const auto document = mobjIE->Document(); OnCarrierSite(document.get()))
        mobjCurWeb->FillWeight(document.get(), mdblWeight);
}

void CWebHelper::WatchPage()
{
    const quint64 watch = ++mWatch;
    mWatched.reset();
    if (!mobjIE || !mobjCurWeb || !mWatchWindow.isActive() || mobjCurWeb->AwaitsLoad()
        || (mobjCurWeb->IsFilled() && !mobjCurWeb->Pending()))
        return;
    mWatched = mobjIE->Document();
    const QPointer<CWebHelper> self(this);
    if (mWatched) {
        mWatched->WatchChanges(mWatchWindow.remainingTime(), [self, watch](bool changed) {
            if (self)
                self->OnPageChange(watch, changed);
        });
    }
}

void CWebHelper::OnPageChange(quint64 watch, bool changed)
{
    if (watch != mWatch || !changed || !mWatchWindow.isActive())
        return;
    if (const qint64 early = kMinPassIntervalMs - mLastPass.elapsed(); mLastPass.isValid() && early > 0) {
        QTimer::singleShot(int(early), this, [this, watch] { OnPageChange(watch, true); });
        return;
    }
    // A document on its way in brings its own completed load.
    if (!mobjIE || !mobjCurWeb || mobjIE->ReadyState() != 4)
        return;
    FillPage();
    WatchPage();
    // Counted from the end of the pass, which takes long on a busy page: the window gets its turn between.
    mLastPass.start();
}

void CWebHelper::OnWatchEnded()
{
    ++mWatch;
    mWatched.reset();
    auto* builtIn = dynamic_cast<CWebFillerBase*>(mobjCurWeb);
    if (!mobjIE || !builtIn || builtIn->IsFilled() || mChangeReported)
        return;
    const auto document = mobjIE->Document();
    if (!document || !OnCarrierSite(document.get()))
        return;
    const QStringList missing = builtIn->MissingFields(document.get());
    if (missing.size() < builtIn->FieldNames().size())
        return;
    mChangeReported = true;
    const QString message
        = u"The %1 page has changed; nothing was filled. Teach it as your own page: Options, Add Web Page."_s.arg(
            CCarrierPages::CarrierName(builtIn->Name()));
    qWarning().noquote() << message << "Fields not found on" << document->URL().value_or(QString()) << ":"
                         << missing.join(u", "_s);
    Q_EMIT PageChanged(message);
}

bool CWebHelper::OnCarrierSite(HtmlDocument* document) const
{
    // A taught page checks the origin of each of its documents itself.
    if (!document || mobjCurWeb == UserPageFiller())
        return true;
    const QString host = QUrl(document->URL().value_or(QString())).host().toLower();
    // The carrier's domain and its hosts: a carrier may move its calculator from www. to another of them.
    const QString domain = QUrl(mobjCurWeb->Address()).host().toLower().section(u'.', -2);
    if (!domain.isEmpty() && (host == domain || host.endsWith(u'.' + domain)))
        return true;
    qWarning().noquote() << "Nothing filled:" << mobjCurWeb->Name() << "is not filled on"
                         << (host.isEmpty() ? u"a page without a host"_s : host);
    return false;
}

void CWebHelper::mobjIE_OnQuit()
{
    mWatchWindow.stop();
    ++mWatch;
    mWatched.reset();
    WebBrowser::Release(mobjIE, this, true);
}

void CWebHelper::ReleaseBrowser()
{
    WebBrowser::Release(mobjIE, this, false);
}
