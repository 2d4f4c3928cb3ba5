#include "CWebFedEx.h"

#include "CFormField.h"
#include "IniValue.h"
#include "WeightSplit.h"

#include <utility>

using namespace Qt::StringLiterals;
using Key = CarrierKeys::Key;

CWebFedEx::CWebFedEx(IniFile& settings, std::function<int()> displayUnit)
    : CWebFillerBase(settings)
    , mfnDisplayUnit(std::move(displayUnit))
{ }

void CWebFedEx::SetIsFilled(bool TrueFalse)
{
    mbFilled = TrueFalse;
    mbContentFilled = false;
}

void CWebFedEx::FillContent(HtmlDocument* DOM)
{
    if (mbContentFilled)
        return;
    // Each step depends on the page state the one before left (the country changes rebuild
    // the form), so the first failure ends the step; it is tried again at the next load.
    if (!CFormField::SelectStored(DOM, u"origCountry"_s, KeyText(Key::Cntry1))
        || !CFormField::FireChange(DOM, u"origCountry"_s))
        return;
    if (!CFormField::SelectStored(DOM, u"destCountry"_s, KeyText(Key::Cntry2))
        || !CFormField::FireChange(DOM, u"destCountry"_s))
        return;
    // A zip field that says "Not ..." (not required for that country) is left as the page put it.
    for (const auto& [field, key] : {std::pair {u"origZip"_s, Key::Zip1}, std::pair {u"destZip"_s, Key::Zip2}}) {
        const auto current = CFormField::Value(DOM, field);
        if (!current)
            return;
        if (!current->contains(u"Not"_s) && !CFormField::SetText(DOM, field, KeyText(key)))
            return;
    }
    if (!CFormField::SetText(DOM, u"packageCount"_s, KeyText(Key::PackNo)))
        return;
    if (!CFormField::SelectStored(DOM, u"shipDate"_s, KeyText(Key::ShipDate)))
        return;
    if (IniValue::ToNumber(KeyText(Key::ShipToRes)) == 1.0 && !CFormField::CheckMember(DOM, u"shipToResidence"_s, 0))
        return;
    if (IniValue::ToNumber(KeyText(Key::Service)) > 0.0 && !CFormField::CheckMember(DOM, u"companyType"_s, 1))
        return;
    if (!CFormField::Click(DOM, u"submitShipInfo"_s))
        return;
    mbContentFilled = true;
}

void CWebFedEx::FillWeight(HtmlDocument* DOM, double Weight)
{
    static const QString unitField = u"packageForm.packageList[0].weightUnit"_s;
    static const QString weightField = u"packageForm.packageList[0].weight"_s;
    bool ok = true;
    const int unit = mfnDisplayUnit ? mfnDisplayUnit() : 0;
    if (unit == 0) {
        ok &= CFormField::Select(DOM, unitField, 1);
        ok &= CFormField::SetNumber(DOM, weightField, SplitWeight(Weight, SplitMode::Kg)[SplitPart::Kg]);
    } else if (unit == 1) {
        ok &= CFormField::Select(DOM, unitField, 0);
        ok &= CFormField::SetNumber(DOM, weightField, SplitWeight(Weight, SplitMode::Lb)[SplitPart::Lb]);
    }
    if (ok)
        mbFilled = true;
}

QStringList CWebFedEx::FieldNames() const
{
    return {u"origCountry"_s,
            u"destCountry"_s,
            u"origZip"_s,
            u"destZip"_s,
            u"packageCount"_s,
            u"shipDate"_s,
            u"shipToResidence"_s,
            u"companyType"_s,
            u"submitShipInfo"_s,
            u"packageForm.packageList[0].weightUnit"_s,
            u"packageForm.packageList[0].weight"_s};
}
