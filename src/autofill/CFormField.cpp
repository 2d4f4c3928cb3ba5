#include "CFormField.h"

#include "HtmlDocument.h"
#include "Utility.h"
#include "WeightSplit.h"

#include <cmath>
#include <limits>

std::shared_ptr<HtmlElement> CFormField::Find(HtmlDocument* doc, const QString& name)
{
    if (!doc)
        return nullptr;
    return doc->All(name);
}

std::shared_ptr<HtmlElement> CFormField::Member(HtmlDocument* doc, const QString& name, int index)
{
    const auto element = Find(doc, name);
    if (!element)
        return nullptr;
    return element->Item(index);
}

bool CFormField::SetText(HtmlDocument* doc, const QString& name, const QString& text)
{
    const auto element = Find(doc, name);
    return element && element->SetValue(text);
}

bool CFormField::SetNumber(HtmlDocument* doc, const QString& name, double number)
{
    const auto element = Find(doc, name);
    return element && element->SetValue(number);
}

bool CFormField::Select(HtmlDocument* doc, const QString& name, int position)
{
    const auto element = Find(doc, name);
    return element && element->SetSelectedIndex(position);
}

bool CFormField::SelectStored(HtmlDocument* doc, const QString& name, const QString& storedText)
{
    // The browser would read an empty text as position 0; anything else must be a whole number.
    const QString trimmed = storedText.trimmed();
    if (trimmed.isEmpty())
        return Select(doc, name, 0);
    const auto position = ToInt32(trimmed);
    if (!position)
        return false;
    return Select(doc, name, *position);
}

bool CFormField::SetChecked(HtmlDocument* doc, const QString& name, bool checked)
{
    const auto element = Find(doc, name);
    return element && element->SetChecked(checked);
}

bool CFormField::CheckMember(HtmlDocument* doc, const QString& name, int index)
{
    const auto member = Member(doc, name, index);
    return member && member->SetChecked(true);
}

bool CFormField::Click(HtmlDocument* doc, const QString& name)
{
    const auto element = Find(doc, name);
    return element && element->Click();
}

bool CFormField::ClickMember(HtmlDocument* doc, const QString& name, int index)
{
    const auto member = Member(doc, name, index);
    return member && member->Click();
}

bool CFormField::FireChange(HtmlDocument* doc, const QString& name)
{
    const auto element = Find(doc, name);
    return element && element->FireOnChange();
}

bool CFormField::FireChangeWithoutArgument(HtmlDocument* doc, const QString& name)
{
    const auto element = Find(doc, name);
    return element && element->FireOnChangeWithoutArgument();
}

std::optional<QString> CFormField::Type(HtmlDocument* doc, const QString& name)
{
    const auto element = Find(doc, name);
    if (!element)
        return std::nullopt;
    return element->Type();
}

std::optional<QString> CFormField::Value(HtmlDocument* doc, const QString& name)
{
    const auto element = Find(doc, name);
    if (!element)
        return std::nullopt;
    return element->Value();
}

namespace {

std::optional<double> StrictNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int> CFormField::ToByte(const QString& text)
{
    const auto number = StrictNumber(text);
    if (!number)
        return std::nullopt;
    const double rounded = Utility::RoundDigits(*number, 0);
    if (rounded < 0.0 || rounded > 255.0)
        return std::nullopt;
    return static_cast<int>(rounded);
}

std::optional<bool> CFormField::ToBool(const QString& text)
{
    const auto number = StrictNumber(text);
    if (!number)
        return std::nullopt;
    return *number != 0.0;
}

std::optional<int> CFormField::ToInt32(const QString& text)
{
    const auto number = StrictNumber(text);
    if (!number)
        return std::nullopt;
    const double rounded = Utility::RoundDigits(*number, 0);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(rounded);
}
