#include "CWebUPS.h"

#include "CFormField.h"
#include "WeightSplit.h"

using namespace Qt::StringLiterals;
using Key = CarrierKeys::Key;

void CWebUPS::FillContent(HtmlDocument* DOM)
{
    CFormField::SelectStored(DOM, u"origCountry"_s, KeyText(Key::Cntry1));
    CFormField::SetText(DOM, u"origCity"_s, KeyText(Key::City1));
    CFormField::SetText(DOM, u"origPostal"_s, KeyText(Key::Zip1));
    CFormField::SelectStored(DOM, u"destCountry"_s, KeyText(Key::Cntry2));
    CFormField::SetText(DOM, u"destCity"_s, KeyText(Key::City2));
    CFormField::SetText(DOM, u"destPostal"_s, KeyText(Key::Zip2));
    CFormField::SelectStored(DOM, u"packages"_s, KeyText(Key::PackNo));
    if (const auto document = CFormField::ToBool(KeyText(Key::Doc)))
        CFormField::SetChecked(DOM, u"document"_s, *document);
    CFormField::SetText(DOM, u"customValue"_s, KeyText(Key::CusVal));
    CFormField::SelectStored(DOM, u"currency"_s, KeyText(Key::CusCntry));
    if (const auto resident = CFormField::ToBool(KeyText(Key::ShipToRes)))
        CFormField::SetChecked(DOM, u"destResident"_s, *resident);
}

void CWebUPS::FillWeight(HtmlDocument* DOM, double Weight)
{
    // Until the page offers an editable weight field there is nothing to fill; the next load retries.
    const auto type = CFormField::Type(DOM, u"weight"_s);
    if (type && type->toLower() == u"hidden"_s)
        return;
    bool ok = CFormField::SetText(DOM, u"weightType"_s, u"LBS"_s);
    ok &= CFormField::SetNumber(DOM, u"weight"_s, SplitWeight(Weight, SplitMode::Lb)[SplitPart::Lb]);
    if (ok)
        mbFilled = true;
}

QStringList CWebUPS::FieldNames() const
{
    return {u"origCountry"_s,  u"origCity"_s,   u"origPostal"_s, u"destCountry"_s, u"destCity"_s,
            u"destPostal"_s,   u"packages"_s,   u"document"_s,   u"customValue"_s, u"currency"_s,
            u"destResident"_s, u"weightType"_s, u"weight"_s};
}
