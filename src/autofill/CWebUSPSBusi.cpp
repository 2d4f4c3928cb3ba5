#include "CWebUSPSBusi.h"

#include "CFormField.h"
#include "HtmlDocument.h"
#include "WeightSplit.h"

#include <memory>

using namespace Qt::StringLiterals;

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
    if (const auto nonmachinable = CFormField::ToBool(KeyText(u"NON"_s)))
        CFormField::SetChecked(doc, u"chkNS"_s, *nonmachinable);
    // The size handler rebuilds the rate list (no "Presorted" for keys), so it runs before the rate,
    // and as the page itself calls it: without an argument. It runs even when the select failed.
    CFormField::SelectStored(doc, u"selSize"_s, KeyText(u"SIZE"_s));
    CFormField::FireChangeWithoutArgument(doc, u"selSize"_s);
    const QString rate = KeyText(u"RATE"_s).trimmed();
    if (const auto position = rate.isEmpty() ? std::optional<int>(0) : CFormField::ToInt32(rate)) {
        if (const auto rateList = CFormField::Member(doc, u"selRate"_s, 0))
            rateList->SetSelectedIndex(*position);
    }
    CFormField::SetText(doc, u"txtOrigin"_s, KeyText(u"ZIP1"_s));
    CFormField::SetText(doc, u"txtDest"_s, KeyText(u"ZIP2"_s));
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
