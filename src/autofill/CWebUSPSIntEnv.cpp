#include "CWebUSPSIntEnv.h"

#include "CFormField.h"
#include "CLikePattern.h"
#include "HtmlDocument.h"
#include "WeightSplit.h"

using namespace Qt::StringLiterals;
using Key = CarrierKeys::Key;

void CWebUSPSIntEnv::FillContent(HtmlDocument* DOM)
{
    if (AutoFillOff())
        return;
    // Position 0 of the page's country list is "Select a Country", as in the options dialog.
    CFormField::SelectStored(DOM, u"Country"_s, KeyText(Key::Cntry));
}

void CWebUSPSIntEnv::FillWeight(HtmlDocument* DOM, double Weight)
{
    // Envelope and package pages carry the same field names: only the page at our own address
    // is ours. Anything else leaves IsFilled alone and the driver waits for a matching load.
    const auto url = DOM ? DOM->URL() : std::nullopt;
    if (!url || !CLikePattern::Like(*url, u"*"_s + mstrAddress + u"*"_s))
        return;
    const auto parts = SplitWeight(Weight, SplitMode::LbOz);
    bool ok = CFormField::SetNumber(DOM, u"Pounds"_s, parts[SplitPart::Lb]);
    ok &= CFormField::SetNumber(DOM, u"Ounces"_s, parts[SplitPart::Oz]);
    if (ok)
        mbFilled = true;
}

QStringList CWebUSPSIntEnv::FieldNames() const
{
    return {u"Country"_s, u"Pounds"_s, u"Ounces"_s};
}
