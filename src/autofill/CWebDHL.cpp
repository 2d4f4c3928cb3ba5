#include "CWebDHL.h"

#include "CFormField.h"
#include "Utility.h"
#include "WeightSplit.h"

#include <algorithm>

using namespace Qt::StringLiterals;

void CWebDHL::SetIsFilled(bool TrueFalse)
{
    mbFilled = TrueFalse;
    mbContentFilled = false;
}

void CWebDHL::FillContent(HtmlDocument* DOM)
{
    if (!mbContentFilled) {
        CFormField::SetText(DOM, u"origCity"_s, KeyText(u"CITY1"_s));
        CFormField::SetText(DOM, u"originZipCode"_s, KeyText(u"ZIP1"_s));
        CFormField::SetText(DOM, u"destinationZipCode"_s, KeyText(u"ZIP2"_s));
        CFormField::SetText(DOM, u"dimensionHeight"_s, KeyText(u"HEIGHT"_s));
        CFormField::SetText(DOM, u"dimensionWidth"_s, KeyText(u"WIDTH"_s));
        CFormField::SetText(DOM, u"dimensionLength"_s, KeyText(u"LEN"_s));
        // 0 = residential, 1 = not residential: the member number itself.
        if (const auto member = CFormField::ToByte(KeyText(u"SHIP_TO_RES"_s)))
            CFormField::CheckMember(DOM, u"isResidential"_s, *member);
        CFormField::SetText(DOM, u"monthlyPackages"_s, KeyText(u"EMP"_s));
        if (const auto saturday = CFormField::ToBool(KeyText(u"SAT"_s)))
            CFormField::SetChecked(DOM, u"satDelivery"_s, *saturday);
        CFormField::SetText(DOM, u"shipmentValue"_s, KeyText(u"SHIP_PRO_VAL"_s));
        // The change handler reloads the page with the service list of the new country. Like every
        // step here it runs even when the one before failed: the page then reloads its own country.
        CFormField::SelectStored(DOM, u"destinationCountryCode"_s, KeyText(u"CNTRY2"_s));
        CFormField::FireChange(DOM, u"destinationCountryCode"_s);
        mbContentFilled = true;
    } else {
        CFormField::SelectStored(DOM, u"serviceType"_s, KeyText(u"SERVICE"_s));
        CFormField::SetText(DOM, u"destinationCity"_s, KeyText(u"CITY"_s));
        mbContentFilled = false;
    }
}

void CWebDHL::FillWeight(HtmlDocument* DOM, double Weight)
{
    // Up to the next tenth of a pound, judged on the 3-decimal value, and never below 0.5 lb.
    const double pounds = SplitWeight(Weight, SplitMode::Lb)[SplitPart::Lb];
    const double tenths = Utility::RoundDigits(pounds, 1);
    double weight = pounds - tenths > 0.0 ? tenths + 0.1 : tenths;
    // tenths + 0.1 is not exactly a tenth in binary (2.2 + 0.1 = 2.3000000000000003), and the
    // page would show every digit of it.
    weight = Utility::RoundDigits(std::max(weight, 0.5), 1);
    if (CFormField::SetNumber(DOM, u"actualWeight"_s, weight))
        mbFilled = true;
    // Phase 2 still due: the reloaded page gets the weight again.
    if (mbContentFilled)
        mbFilled = false;
}

QStringList CWebDHL::FieldNames() const
{
    return {u"origCity"_s,        u"originZipCode"_s,   u"destinationZipCode"_s,     u"dimensionHeight"_s,
            u"dimensionWidth"_s,  u"dimensionLength"_s, u"isResidential"_s,          u"monthlyPackages"_s,
            u"satDelivery"_s,     u"shipmentValue"_s,   u"destinationCountryCode"_s, u"serviceType"_s,
            u"destinationCity"_s, u"actualWeight"_s};
}
