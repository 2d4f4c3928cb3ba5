#include "CWebEbay.h"

#include "CFormField.h"
#include "Utility.h"
#include "WeightSplit.h"

using namespace Qt::StringLiterals;

void CWebEbay::FillContent(HtmlDocument* DOM)
{
    CFormField::SelectStored(DOM, u"PackageSize"_s, KeyText(u"PACK_SIZE"_s));
    CFormField::SetText(DOM, u"LengthDimension"_s, KeyText(u"LEN"_s));
    CFormField::SetText(DOM, u"WidthDimension"_s, KeyText(u"WIDTH"_s));
    CFormField::SetText(DOM, u"HeightDimension"_s, KeyText(u"HEIGHT"_s));
    CFormField::SetText(DOM, u"OriginatingZip"_s, KeyText(u"ZIP1"_s));
    CFormField::SelectStored(DOM, u"destinationCity"_s, KeyText(u"SHOW_RATE_TO"_s));
    CFormField::SetText(DOM, u"destinationZipCode"_s, KeyText(u"ZIP2"_s));
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
