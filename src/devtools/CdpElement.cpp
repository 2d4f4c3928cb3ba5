#include "CdpElement.h"

#include "CdpContext.h"

namespace {
using Json = nlohmann::json;

// Every function gets the member's position first and, when it writes, the value as a JSON argument.
// Writers return true only when the element really has the property, so a wrong kind of field fails.
constexpr const char* kSetValue = "function(i, v) { const e = this[i]; if (!('value' in e)) return false; "
                                  "e.value = v; return true; }";
constexpr const char* kGetValue = "function(i) { const v = this[i].value; return v == null ? null : String(v); }";
constexpr const char* kGetType = "function(i) { const v = this[i].type; return v == null ? null : String(v); }";
constexpr const char* kSetSelected = "function(i, v) { const e = this[i]; if (!('selectedIndex' in e)) return false; "
                                     "e.selectedIndex = v; return true; }";
constexpr const char* kGetSelected = "function(i) { const v = this[i].selectedIndex; "
                                     "return typeof v === 'number' ? v : null; }";
constexpr const char* kSetChecked = "function(i, v) { const e = this[i]; if (!('checked' in e)) return false; "
                                    "e.checked = v; return true; }";
constexpr const char* kGetChecked = "function(i) { const v = this[i].checked; "
                                    "return typeof v === 'boolean' ? v : null; }";
constexpr const char* kClick = "function(i) { const e = this[i]; if (typeof e.click !== 'function') return false; "
                               "e.click(); return true; }";
// The page's own handler, called as the old pages expect: with the single argument true.
constexpr const char* kFireOnChange = "function(i) { const e = this[i]; if (typeof e.onchange !== 'function') "
                                      "return false; e.onchange(true); return true; }";
constexpr const char* kGetTag = "function(i) { const v = this[i].localName; return v == null ? null : String(v); }";
// A name attribute on any element, as getElementsByName sees it.
constexpr const char* kGetName = "function(i) { const e = this[i]; const v = typeof e.name === 'string' ? e.name "
                                 ": e.getAttribute('name'); return v == null ? null : String(v); }";
constexpr const char* kElement = "function(i) { return this[i]; }";
constexpr const char* kGetOption = "function(i, x) { const o = this[i].options; "
                                   "return o && o[x] ? !!o[x].selected : null; }";
constexpr const char* kSetOption
    = "function(i, v) { const o = this[i].options; if (!o || !o[v[0]]) return false; "
      "o[v[0]].selected = v[1]; this[i].dispatchEvent(new Event('change', {bubbles: true})); "
      "return true; }";
constexpr const char* kFireOnChangeBare = "function(i) { const e = this[i]; if (typeof e.onchange !== 'function') "
                                          "return false; e.onchange(); return true; }";
} // namespace

CdpElement::CdpElement(std::shared_ptr<CdpContext> context, std::string arrayObjectId, int length, int index)
    : mContext(std::move(context))
    , mArrayId(std::move(arrayObjectId))
    , mLength(length)
    , mIndex(index)
{ }

int CdpElement::Length() const
{
    return mIndex >= 0 ? 1 : mLength;
}

std::shared_ptr<HtmlElement> CdpElement::Item(int index)
{
    if (mIndex >= 0)
        return index == 0 ? std::make_shared<CdpElement>(mContext, mArrayId, mLength, mIndex) : nullptr;
    if (index < 0 || index >= mLength)
        return nullptr;
    return std::make_shared<CdpElement>(mContext, mArrayId, mLength, index);
}

bool CdpElement::SetValue(const QString& text)
{
    return Run(kSetValue, text.toStdString());
}

bool CdpElement::SetValue(double number)
{
    return Run(kSetValue, CdpContext::NumberArgument(number));
}

std::optional<QString> CdpElement::Value()
{
    return ReadText(kGetValue);
}

std::optional<QString> CdpElement::Type()
{
    return ReadText(kGetType);
}

bool CdpElement::SetSelectedIndex(int index)
{
    return Run(kSetSelected, index);
}

std::optional<int> CdpElement::SelectedIndex()
{
    const auto value = Read(kGetSelected);
    if (!value || !value->is_number_integer())
        return std::nullopt;
    return value->get<int>();
}

bool CdpElement::SetChecked(bool checked)
{
    return Run(kSetChecked, checked);
}

std::optional<bool> CdpElement::Checked()
{
    const auto value = Read(kGetChecked);
    if (!value || !value->is_boolean())
        return std::nullopt;
    return value->get<bool>();
}

bool CdpElement::Click()
{
    return Run(kClick);
}

bool CdpElement::FireOnChange()
{
    return Run(kFireOnChange);
}

std::optional<QString> CdpElement::TagName()
{
    return ReadText(kGetTag);
}

std::optional<QString> CdpElement::Name()
{
    return ReadText(kGetName);
}

std::optional<qint64> CdpElement::UniqueId()
{
    // The browser's own node number: stable for the node's life, and nothing is left behind in the page.
    const int target = Target();
    if (target < 0)
        return std::nullopt;
    const auto element = mContext->CallOn(mArrayId, kElement, Json::array({{{"value", target}}}), false);
    if (!element || !(*element)["objectId"].is_string())
        return std::nullopt;
    const auto node = mContext->Command("DOM.describeNode", {{"objectId", (*element)["objectId"]}});
    if (!node || !(*node)["node"].is_object() || !(*node)["node"]["backendNodeId"].is_number_integer())
        return std::nullopt;
    return (*node)["node"]["backendNodeId"].get<qint64>();
}

std::optional<bool> CdpElement::OptionSelected(int index)
{
    const auto value = Read(kGetOption, index);
    if (!value || !value->is_boolean())
        return std::nullopt;
    return value->get<bool>();
}

bool CdpElement::SetOptionSelected(int index, bool selected)
{
    return Run(kSetOption, Json::array({index, selected}));
}

bool CdpElement::FireOnChangeWithoutArgument()
{
    return Run(kFireOnChangeBare);
}

int CdpElement::Target() const
{
    if (mIndex >= 0)
        return mIndex;
    return mLength == 1 ? 0 : -1;
}

bool CdpElement::Run(const char* function, const Json& value)
{
    const int target = Target();
    if (target < 0)
        return false; // a radio group as a whole has no value; the filler must pick a member
    Json arguments = Json::array({{{"value", target}}});
    if (value.is_object())
        arguments.push_back(value);
    else if (!value.is_null())
        arguments.push_back({{"value", value}});
    const auto result = mContext->CallOn(mArrayId, function, arguments, true);
    if (!result || !result->contains("value"))
        return false;
    const Json& ok = (*result)["value"];
    return ok.is_boolean() && ok.get<bool>();
}

std::optional<Json> CdpElement::Read(const char* function, const Json& value)
{
    const int target = Target();
    if (target < 0)
        return std::nullopt;
    Json arguments = Json::array({{{"value", target}}});
    if (!value.is_null())
        arguments.push_back({{"value", value}});
    const auto result = mContext->CallOn(mArrayId, function, arguments, true);
    if (!result || !result->contains("value") || (*result)["value"].is_null())
        return std::nullopt;
    return (*result)["value"];
}

std::optional<QString> CdpElement::ReadText(const char* function)
{
    const auto value = Read(function);
    if (!value || !value->is_string())
        return std::nullopt;
    return QString::fromStdString(value->get<std::string>());
}
