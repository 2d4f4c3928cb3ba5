#include "CWebDHL.h"

#include "CFormField.h"
#include "Utility.h"
#include "WeightSplit.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using Key = CarrierKeys::Key;

void CWebDHL::SetIsFilled(bool TrueFalse)
{
    mbFilled = TrueFalse;
    mbContentFilled = false;
}

void CWebDHL::FillContent(HtmlDocument* DOM)
{
    if (!mbContentFilled) {
        CFormField::SetText(DOM, u"origCity"_s, KeyText(Key::City1));
        CFormField::SetText(DOM, u"originZipCode"_s, KeyText(Key::Zip1));
        CFormField::SetText(DOM, u"destinationZipCode"_s, KeyText(Key::Zip2));
        CFormField::SetText(DOM, u"dimensionHeight"_s, KeyText(Key::Height));
        CFormField::SetText(DOM, u"dimensionWidth"_s, KeyText(Key::Width));
        CFormField::SetText(DOM, u"dimensionLength"_s, KeyText(Key::Len));
        // 0 = residential, 1 = not residential: the member number itself.
        if (const auto member = CFormField::ToByte(KeyText(Key::ShipToRes)))
            CFormField::CheckMember(DOM, u"isResidential"_s, *member);
        CFormField::SetText(DOM, u"monthlyPackages"_s, KeyText(Key::Emp));
        if (const auto saturday = CFormField::ToBool(KeyText(Key::Sat)))
            CFormField::SetChecked(DOM, u"satDelivery"_s, *saturday);
        CFormField::SetText(DOM, u"shipmentValue"_s, KeyText(Key::ShipProVal));
        // The change handler reloads the page with the service list of the new country. Like every
        // step here it runs even when the one before failed: the page then reloads its own country.
        CFormField::SelectStored(DOM, u"destinationCountryCode"_s, KeyText(Key::Cntry2));
        CFormField::FireChange(DOM, u"destinationCountryCode"_s);
        mbContentFilled = true;
    } else {
        CFormField::SelectStored(DOM, u"serviceType"_s, KeyText(Key::Service));
        CFormField::SetText(DOM, u"destinationCity"_s, KeyText(Key::City));
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
