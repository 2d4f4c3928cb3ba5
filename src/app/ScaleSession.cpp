#include "ScaleSession.h"

#include "CPageLauncher.h"
#include "CScaleCalc.h"
#include "CUnitConverter.h"
#include "IniFile.h"
#include "QtTickTimer.h"
#include "ScaleIds.h"
#include "UsbDevice.h"
#include "UserPages.h"

#include <QDebug>
#include <QFileInfo>
#include <QUrl>

#include <span>
#include <utility>

using namespace Qt::StringLiterals;

ScaleSession::ScaleSession(DeviceFactory devices, BrowserFactory browsers, QObject* parent)
    : QObject(parent)
    , mDevices(std::move(devices))
    , mBrowsers(std::move(browsers))
    , mSettings(std::make_unique<IniFile>())
{ }

ScaleSession::~ScaleSession()
{
    Stop();
}

// ---- settings ----

void ScaleSession::OpenSettings(const QString& data1Path, const QString& data2Path, const QString& converterPage)
{
    mData1Path = data1Path;
    mData2Path = data2Path;
    mConverterPage = converterPage;
    if (!mSettings->OpenFile(data1Path))
        qWarning().noquote() << "settings:" << mSettings->LastError();
    mGeneral = GeneralSettings::Load(*mSettings);
    mPages = UserPages::Load(*mSettings).names;
}

void ScaleSession::SaveGeneral()
{
    if (!mGeneral.Save(*mSettings))
        qWarning().noquote() << "settings: general choices not written:" << mSettings->LastError();
}

void ScaleSession::ReloadPages()
{
    const UserPages::List list = UserPages::Load(*mSettings);
    mPages = list.names;
    Q_EMIT PagesChanged(mPages, list.error);
}

void ScaleSession::ChoosePage(int page)
{
    mGeneral.autoLaunch = page;
    Q_EMIT PageChosen(page);
}

void ScaleSession::StorePage()
{
    if (!GeneralSettings::SavePage(*mSettings, mGeneral.autoLaunch))
        qWarning().noquote() << "settings: page choice not written:" << mSettings->LastError();
}

void ScaleSession::ChooseSkin(int skin)
{
    if (skin == mGeneral.skin)
        return;
    mGeneral.skin = skin;
    GeneralSettings::SaveSkin(*mSettings, skin);
    Q_EMIT SkinChosen(skin);
}

// ---- weighing ----

void ScaleSession::Start()
{
    if (mEngine)
        return;
    mSettleTimer = std::make_unique<QtTickTimer>();
    mEngine = std::make_unique<CScaleCalc>(*mSettleTimer);
    mEngine->StatusChange = [this](std::int32_t& code) {
        StatusChange(code);
    };
    mEngine->ScaleError = [this](std::int32_t& code) {
        ScaleError(code);
    };
    if (mDevices)
        mDevice = mDevices();
    if (!mDevice)
        return;
    connect(mDevice.get(), &UsbDevice::Arrival, this, &ScaleSession::OnArrival);
    connect(mDevice.get(), &UsbDevice::OnUsb, this, &ScaleSession::OnReport);
    connect(mDevice.get(), &UsbDevice::Removal, this, &ScaleSession::OnRemoval);
    mDevice->OpenDevice(kScaleVendorId, kScaleProductId, u"SCALE"_s);
    mDevice->FindDevice();
    mDevice->SetEnabled(true);
    if (!mDevice->IsAttached() && !mDevice->LastError().isEmpty())
        qWarning().noquote() << "scale:" << mDevice->LastError();
}

void ScaleSession::Stop()
{
    // Device first, so that no report arrives for an engine that is gone; the browser windows stay open
    // for the user; the engine before its timer.
    mDevice.reset();
    mLauncher.reset();
    mConverter.reset();
    mEngine.reset();
    mSettleTimer.reset();
}

bool ScaleSession::IsAttached() const
{
    return mDevice && mDevice->IsAttached();
}

bool ScaleSession::IsHeld() const
{
    return mEngine && mEngine->Hold();
}

void ScaleSession::SetHeld(bool held)
{
    if (!mEngine)
        return;
    mEngine->SetHold(held);
    Q_EMIT HoldChanged(mEngine->Hold());
}

void ScaleSession::Tare()
{
    if (mEngine)
        mEngine->Tare();
}

int ScaleSession::InitCount() const
{
    return mEngine ? int(mEngine->InitCnt) : 0;
}

void ScaleSession::OnArrival()
{
    if (!mDevice || !mDevice->FindDevice() || !mEngine)
        return;
    mEngine->InitCnt = 0;
    Q_EMIT AttachedChanged(true);
}

void ScaleSession::OnReport()
{
    if (!mDevice || !mEngine)
        return;
    const QByteArray report = mDevice->ReportData();
    mEngine->NewData(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(report.constData()),
                                                   std::size_t(report.size())));
    const double before = mWeight;
    mWeight = mEngine->Weight();
    if (before == 0.0 && mWeight != 0.0) {
        // Two seconds at least before the weight settles: time enough for the browser to start unseen.
        if (mPreparer && mGeneral.prepareBrowser)
            EnsureLauncher()->PrepareBrowser();
        Q_EMIT LoadPlaced();
    }
    Q_EMIT WeightChanged(mWeight);
}

void ScaleSession::OnRemoval()
{
    if (mEngine)
        mEngine->InitCnt = 0;
    Q_EMIT AttachedChanged(false);
}

void ScaleSession::StatusChange(std::int32_t code)
{
    switch (code) {
    case 0:
        Q_EMIT CalibrationStarted();
        break;
    case 1:
        Q_EMIT CalibrationFinished();
        break;
    case 2:
        Q_EMIT Settled(mWeight);
        // Only while no browser window of ours is open: the user is still at the page opened before.
        if (!IsBrowserExist())
            LaunchWebPage();
        break;
    default:
        break;
    }
}

void ScaleSession::ScaleError(std::int32_t code)
{
    static constexpr Fault faults[] = {Fault::None, Fault::OverCapacity, Fault::Overload};
    mFault = code >= 0 && code <= 2 ? faults[code] : Fault::Unknown;
    Q_EMIT FaultChanged(mFault);
}

// ---- pages ----

std::unique_ptr<WebBrowser> ScaleSession::MakeBrowser(WebPageUse use, QString* error)
{
    std::unique_ptr<WebBrowser> browser = mBrowsers ? mBrowsers(use, error) : nullptr;
    if (!browser) {
        mBrowserError = error && !error->isEmpty() ? *error : WebBrowser::NoBrowserMessage();
        if (error)
            *error = mBrowserError;
    }
    return browser;
}

std::unique_ptr<WebBrowser> ScaleSession::OpenBrowser(WebPageUse use, QString* error)
{
    return mBrowsers ? mBrowsers(use, error) : nullptr;
}

CPageLauncher* ScaleSession::EnsureLauncher()
{
    if (mLauncher)
        return mLauncher.get();
    CWebHelper::Accessors accessors;
    accessors.makeBrowser = [this](QString* error) {
        return MakeBrowser(WebPageUse::Launcher, error);
    };
    accessors.currentWeight = [this] {
        return mWeight;
    };
    accessors.displayUnit = [this] {
        return mGeneral.unit;
    };
    accessors.prepareBrowser = [this](QString* error) {
        return mPreparer && mPreparer(error);
    };
    // User pages follow the carriers in the page list; the list read last names them.
    auto caption = [this](int item) -> std::optional<QString> {
        const int page = GeneralSettings::PageOfMenuItem(item);
        const qsizetype user = page - 9;
        if (page < 9 || user >= mPages.size())
            return std::nullopt;
        return mPages.at(user);
    };
    mLauncher = std::make_unique<CPageLauncher>(*mSettings, std::move(accessors), std::move(caption));
    connect(mLauncher.get(), &CPageLauncher::PageChanged, this, &ScaleSession::PageChanged);
    return mLauncher.get();
}

bool ScaleSession::LaunchWebPage()
{
    CPageLauncher* launcher = EnsureLauncher();
    mBrowserError.clear();
    const bool launched = launcher->LaunchWebPage();
    if (!mBrowserError.isEmpty())
        Q_EMIT BrowserFailed(mBrowserError);
    return launched;
}

bool ScaleSession::IsBrowserExist() const
{
    return mLauncher && mLauncher->IsBrowserExist();
}

bool ScaleSession::OpenConverter()
{
    if (!QFileInfo::exists(mConverterPage)) {
        qWarning().noquote() << "Unit converter page missing:" << mConverterPage;
        Q_EMIT BrowserFailed(u"The unit converter page is missing: %1"_s.arg(mConverterPage));
        return false;
    }
    if (!mConverter) {
        mConverter = std::make_unique<CUnitConverter>(
            [this](QString* error) { return MakeBrowser(WebPageUse::Converter, error); }, [this] { return mWeight; },
            [this] { return mGeneral.unit; });
    }
    mBrowserError.clear();
    const bool opened = mConverter->OpenConverter(QUrl::fromLocalFile(mConverterPage).toString());
    if (!opened && mBrowserError.isEmpty())
        qWarning().noquote() << "Unit converter not opened:" << mConverter->LastError();
    if (!mBrowserError.isEmpty())
        Q_EMIT BrowserFailed(mBrowserError);
    return opened;
}
