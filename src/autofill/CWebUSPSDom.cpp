#include "CWebUSPSDom.h"

#include "CFormField.h"
#include "WeightSplit.h"

using namespace Qt::StringLiterals;
using Key = CarrierKeys::Key;

void CWebUSPSDom::FillContent(HtmlDocument* DOM)
{
    if (AutoFillOff())
        return;
    // 0 = letter or large envelope, 1 = package: the member number of the mail-type group.
    if (const auto member = CFormField::ToByte(KeyText(Key::Service)))
        CFormField::CheckMember(DOM, u"MT"_s, *member);
    CFormField::SetText(DOM, u"OZ"_s, KeyText(Key::Zip1));
    CFormField::SetText(DOM, u"DZ"_s, KeyText(Key::Zip2));
}

void CWebUSPSDom::FillWeight(HtmlDocument* DOM, double Weight)
{
    const auto parts = SplitWeight(Weight, SplitMode::LbOz);
    bool ok = CFormField::SetNumber(DOM, u"P"_s, parts[SplitPart::Lb]);
    ok &= CFormField::SetNumber(DOM, u"O"_s, parts[SplitPart::Oz]);
    if (ok)
        mbFilled = true;
}

QStringList CWebUSPSDom::FieldNames() const
{
    return {u"MT"_s, u"OZ"_s, u"DZ"_s, u"P"_s, u"O"_s};
}
