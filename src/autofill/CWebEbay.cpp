#include "CWebEbay.h"

#include "CFormField.h"
#include "Utility.h"
#include "WeightSplit.h"

using namespace Qt::StringLiterals;
using Key = CarrierKeys::Key;

void CWebEbay::FillContent(HtmlDocument* DOM)
{
    CFormField::SelectStored(DOM, u"PackageSize"_s, KeyText(Key::PackSize));
    CFormField::SetText(DOM, u"LengthDimension"_s, KeyText(Key::Len));
    CFormField::SetText(DOM, u"WidthDimension"_s, KeyText(Key::Width));
    CFormField::SetText(DOM, u"HeightDimension"_s, KeyText(Key::Height));
    CFormField::SetText(DOM, u"OriginatingZip"_s, KeyText(Key::Zip1));
    CFormField::SelectStored(DOM, u"destinationCity"_s, KeyText(Key::ShowRateTo));
    CFormField::SetText(DOM, u"destinationZipCode"_s, KeyText(Key::Zip2));
}

void CWebEbay::FillWeight(HtmlDocument* DOM, double Weight)
{
    const auto parts = SplitWeight(Weight, SplitMode::LbOz);
    bool ok = CFormField::SetNumber(DOM, u"HigherUnitWeight"_s, parts[SplitPart::Lb]);
    // The page takes whole ounces only.
    ok &= CFormField::SetNumber(DOM, u"LowerUnitWeight"_s, Utility::RoundDigits(parts[SplitPart::Oz], 0));
    if (ok)
        mbFilled = true;
}

QStringList CWebEbay::FieldNames() const
{
    return {u"PackageSize"_s,        u"LengthDimension"_s,  u"WidthDimension"_s,
            u"HeightDimension"_s,    u"OriginatingZip"_s,   u"destinationCity"_s,
            u"destinationZipCode"_s, u"HigherUnitWeight"_s, u"LowerUnitWeight"_s};
}
