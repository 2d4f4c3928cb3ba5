#include "CWebUSPSBusi.h"

#include "CFormField.h"
#include "HtmlDocument.h"
#include "WeightSplit.h"

#include <memory>

using namespace Qt::StringLiterals;
using Key = CarrierKeys::Key;

namespace {

std::shared_ptr<HtmlDocument> FormDocument(HtmlDocument* frameset)
{
    return frameset ? frameset->Frame(CWebUSPSBusi::FormFrame) : nullptr;
}

} // namespace

void CWebUSPSBusi::FillContent(HtmlDocument* DOM)
{
    if (AutoFillOff())
        return;
    const auto form = FormDocument(DOM);
    HtmlDocument* doc = form.get();
    if (const auto nonmachinable = CFormField::ToBool(KeyText(Key::Non)))
        CFormField::SetChecked(doc, u"chkNS"_s, *nonmachinable);
    // The size handler rebuilds the rate list (no "Presorted" for keys), so it runs before the rate,
    // and as the page itself calls it: without an argument. It runs even when the select failed.
    CFormField::SelectStored(doc, u"selSize"_s, KeyText(Key::Size));
    CFormField::FireChangeWithoutArgument(doc, u"selSize"_s);
    const QString rate = KeyText(Key::Rate).trimmed();
    if (const auto position = rate.isEmpty() ? std::optional<int>(0) : CFormField::ToInt32(rate)) {
        if (const auto rateList = CFormField::Member(doc, u"selRate"_s, 0))
            rateList->SetSelectedIndex(*position);
    }
    CFormField::SetText(doc, u"txtOrigin"_s, KeyText(Key::Zip1));
    CFormField::SetText(doc, u"txtDest"_s, KeyText(Key::Zip2));
}

void CWebUSPSBusi::FillWeight(HtmlDocument* DOM, double Weight)
{
    const auto form = FormDocument(DOM);
    HtmlDocument* doc = form.get();
    bool ok = CFormField::ClickMember(doc, u"format"_s, 1);
    ok &= CFormField::SetNumber(doc, u"txtSPWt"_s, SplitWeight(Weight, SplitMode::Lb)[SplitPart::Lb]);
    if (ok)
        mbFilled = true;
}

QStringList CWebUSPSBusi::FieldNames() const
{
    return {u"chkNS"_s, u"selSize"_s, u"selRate"_s, u"txtOrigin"_s, u"txtDest"_s, u"format"_s, u"txtSPWt"_s};
}
