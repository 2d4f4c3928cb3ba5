#include "CUnitConverter.h"

#include "HtmlDocument.h"
#include "WebBrowser.h"
#include "WeightSplit.h"

#include <QDebug>

#include <utility>

using namespace Qt::StringLiterals;

CUnitConverter::CUnitConverter(CWebHelper::BrowserFactory makeBrowser, std::function<double()> currentWeight,
                               std::function<int()> displayUnit, QObject* parent)
    : QObject(parent)
    , mMakeBrowser(std::move(makeBrowser))
    , mCurrentWeight(std::move(currentWeight))
    , mDisplayUnit(std::move(displayUnit))
{ }

CUnitConverter::~CUnitConverter()
{
    Release(false);
}

bool CUnitConverter::OpenConverter(const QString& pageUrl)
{
    if (m_bConvPending)
        return true;
    if (!m_objConvIE || !m_objConvIE->IsAlive()) {
        Release(false);
        m_objConvIE = CWebHelper::AcquireBrowser(mMakeBrowser, u"Unit converter"_s, &mLastError);
        if (!m_objConvIE)
            return false;
        connect(m_objConvIE.get(), &WebBrowser::ProgressChange, this, &CUnitConverter::m_objConvIE_DocumentComplete);
        connect(m_objConvIE.get(), &WebBrowser::OnQuit, this, &CUnitConverter::m_objConvIE_OnQuit);
    }
    if (!m_objConvIE->Navigate(pageUrl) || !m_objConvIE->SetVisible(true)) {
        mLastError = m_objConvIE->LastError();
        Release(false);
        return false;
    }
    m_bConvPending = true;
    mLastError.clear();
    return true;
}

void CUnitConverter::m_objConvIE_DocumentComplete(int Progress, int ProgressMax)
{
    if (Progress != 0 || ProgressMax != 0 || !m_objConvIE)
        return;
    m_bConvPending = false;
    const auto document = m_objConvIE->Document();
    if (!document) {
        Release(true);
        return;
    }
    const double weight = mCurrentWeight ? mCurrentWeight() : 0.0;
    const int unit = mDisplayUnit ? mDisplayUnit() : 0;
    bool ok = true;
    if (unit == 0 || unit == 1) {
        const auto unitField = document->All(u"unit"_s);
        const auto inUnit = document->All(u"InUnit"_s);
        ok = unitField && inUnit && unitField->SetValue(unit == 0 ? u"KG"_s : u"LB"_s)
            && inUnit->SetValue(unit == 0 ? weight : SplitWeight(weight, SplitMode::Lb)[SplitPart::Lb]);
    }
    const auto convert = ok ? document->AllItem(ConvertControlPosition) : nullptr;
    if (!convert || !convert->Click())
        Release(true);
}

void CUnitConverter::m_objConvIE_OnQuit()
{
    Release(true);
}

void CUnitConverter::Release(bool insideBrowserSignal)
{
    WebBrowser::Release(m_objConvIE, this, insideBrowserSignal);
}
