#include "CdpDocument.h"

#include "CdpContext.h"
#include "CdpElement.h"

#include <QJsonDocument>

#include <algorithm>

namespace {
using Json = nlohmann::json;

// document.all[name] is the element, or a live collection when several share the name; both become a
// plain array so an element and a radio group are handled alike. Frames are other realms, where
// instanceof Element is false: ask the node type instead.
constexpr const char* kAll = "function(n) { const r = this.all[n]; if (!r || typeof r !== 'object') return null; "
                             "const a = r.nodeType === 1 ? [r] : Array.from(r); return a.length ? a : null; }";
constexpr const char* kAllItem = "function(i) { const e = this.all[i]; return e ? [e] : null; }";
constexpr const char* kUrl = "function() { return this.URL; }";
// The frames are the document's frame elements in document order, the order in which the page's own
// window.frames lists them; the browser is then asked which frame each one holds.
constexpr const char* kFrameCount = "function() { return this.querySelectorAll('iframe, frame').length; }";
constexpr const char* kFrame = "function(i) { return this.querySelectorAll('iframe, frame')[i] || null; }";
constexpr const char* kTitle = "function() { return String(this.title); }";
constexpr const char* kByName = "function(n) { const a = Array.from(this.getElementsByName(n)); "
                                "return a.length ? a : null; }";

// Every form field of the document in one pass. The key number is the field's 1-based position among
// the elements of its name (0 when the name is unique); the name lists are taken once per name.
constexpr const char* kRecord = R"js(function() {
  const d = this, fields = [];
  // getElementsByName for every name at once: one walk, not one per field.
  const byName = new Map(), position = new Map(), checked = new Map();
  for (const e of d.getElementsByTagName('*')) {
    const n = e.getAttribute('name');
    if (n === null) continue;
    let a = byName.get(n);
    if (!a) byName.set(n, a = []);
    position.set(e, a.length);
    a.push(e);
  }
  const skipped = ['hidden', 'button', 'image', 'submit', 'reset'];
  for (const e of d.querySelectorAll('input, select, textarea')) {
    try {
      const tag = String(e.localName), type = String(e.type || '').toLowerCase();
      if (type === 'hidden' || (tag === 'input' && skipped.includes(type))) continue;
      const name = typeof e.name === 'string' ? e.name : '';
      const same = byName.get(name) || [];
      const at = position.get(e);
      const n = same.length === 1 ? 0 : (at === undefined || same[at] !== e ? same.length : at + 1);
      const f = {tag, type, name, n};
      if (tag === 'input' && type === 'radio') {
        if (!checked.has(name)) checked.set(name, same.findIndex(s => s.checked === true));
        f.checked = checked.get(name);
      } else if (tag === 'input' && type === 'checkbox') f.checked = e.checked === true;
      else if (tag === 'select') {
        f.index = e.selectedIndex; f.selected = [];
        Array.from(e.options).forEach((o, i) => { if (o.selected) f.selected.push(i); });
      } else f.value = String(e.value);
      fields.push(f);
    } catch (x) {}
  }
  return {url: String(d.URL), title: String(d.title), frames: d.querySelectorAll('iframe, frame').length, fields};
})js";

// The writes of one replay in one pass. Pages built on a framework keep their own copy of each value and
// ignore a bare assignment: the element's own setter is called past any the page put on the element,
// and the events of a person's input follow, so the page's state takes the value too.
constexpr const char* kReplay = R"js(function(writes) {
  const d = this;
  const set = (e, p, v) => {
    for (let o = Object.getPrototypeOf(e); o; o = Object.getPrototypeOf(o)) {
      const s = Object.getOwnPropertyDescriptor(o, p);
      if (s && s.set) { s.set.call(e, v); return; }
    }
    e[p] = v;
  };
  const fire = (e, types) => { for (const t of types) e.dispatchEvent(new Event(t, {bubbles: true})); };
  // document.all is falsy by design: index it without testing it.
  const all = n => {
    let r = null;
    try { r = d.all[n]; } catch (x) {}
    return !r || typeof r !== 'object' ? [] : r.nodeType === 1 ? [r] : Array.from(r);
  };
  const find = (n, name) => {
    if (n !== 0) return d.getElementsByName(name)[n - 1] || null;
    const a = all(name);
    return a.length === 1 ? a[0] : null;
  };
  const lf = t => t.replace(/\r\n?/g, '\n');
  return writes.map(([kind, n, name, v, plain]) => {
    try {
      const e = kind === 'r' ? all(name)[v] : find(n, name);
      if (!e) return 0;
      if (plain && String(e.type).toLowerCase() === 'password') return 1;
      if (kind === 'r' || kind === 'c') {
        if (!('checked' in e)) return 1;
        const on = kind === 'r' ? true : v === true;
        set(e, 'checked', on); fire(e, ['input', 'change']);
        return e.checked === on ? 2 : 1;
      }
      if (kind === 's') {
        if (!e.options) return 1;
        if (String(e.type).toLowerCase() === 'select-multiple') {
          let ok = true;
          for (const x of v.m) { if (e.options[x]) e.options[x].selected = true; else ok = false; }
          fire(e, ['input', 'change']);
          return ok ? 2 : 1;
        }
        set(e, 'selectedIndex', v.i); fire(e, ['input', 'change']);
        return e.selectedIndex === v.i ? 2 : 1;
      }
      if (!('value' in e)) return 1;
      const text = String(v);
      set(e, 'value', text); fire(e, ['input', 'change']);
      return lf(String(e.value)) === lf(text) ? 2 : 1;
    } catch (x) { return 1; }
  });
})js";

// A replay or a recording walks the whole document in one call: give it longer than a single write.
constexpr int kBatchTimeoutMs = 15000;

Json ToJson(const QJsonValue& value)
{
    const QByteArray text = QJsonDocument(QJsonArray {value}).toJson(QJsonDocument::Compact);
    const Json parsed = Json::parse(text.toStdString(), nullptr, false);
    return parsed.is_array() && !parsed.empty() ? parsed[0] : Json();
}

QJsonValue FromJson(const Json& value)
{
    const std::string text = Json::array({value}).dump(-1, ' ', false, Json::error_handler_t::replace);
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text));
    return document.isArray() && !document.array().isEmpty() ? document.array().first() : QJsonValue();
}

bool IsObject(const Json& remote)
{
    return remote.value("type", std::string()) == "object" && remote.contains("objectId")
        && remote["objectId"].is_string();
}
} // namespace

CdpDocument::CdpDocument(std::shared_ptr<CdpContext> context, std::string objectId, int depth)
    : mContext(std::move(context))
    , mObjectId(std::move(objectId))
    , mDepth(depth)
{ }

std::shared_ptr<HtmlElement> CdpDocument::All(const QString& nameOrId)
{
    return ElementsFrom(kAll, nameOrId.toStdString());
}

std::optional<QString> CdpDocument::URL()
{
    const auto result = mContext->CallOn(mObjectId, kUrl, Json::array(), true);
    if (!result || !result->contains("value") || !(*result)["value"].is_string())
        return std::nullopt;
    return QString::fromStdString((*result)["value"].get<std::string>());
}

int CdpDocument::FrameCount()
{
    if (mDepth >= MaxFrameDepth)
        return 0;
    const auto result = mContext->CallOn(mObjectId, kFrameCount, Json::array(), true);
    if (!result || !result->contains("value") || !(*result)["value"].is_number_integer())
        return 0;
    return std::min((*result)["value"].get<int>(), MaxFrames);
}

std::shared_ptr<HtmlDocument> CdpDocument::Frame(int index)
{
    if (index < 0 || index >= MaxFrames || mDepth >= MaxFrameDepth)
        return nullptr;
    const auto result = mContext->CallOn(mObjectId, kFrame, Json::array({{{"value", index}}}), false);
    if (!result || !IsObject(*result))
        return nullptr;
    auto [context, documentId] = mContext->FrameDocument((*result)["objectId"].get<std::string>());
    if (!context)
        return nullptr;
    return std::make_shared<CdpDocument>(std::move(context), std::move(documentId), mDepth + 1);
}

std::optional<QString> CdpDocument::Title()
{
    const auto result = mContext->CallOn(mObjectId, kTitle, Json::array(), true);
    if (!result || !(*result)["value"].is_string())
        return std::nullopt;
    return QString::fromStdString((*result)["value"].get<std::string>());
}

std::shared_ptr<HtmlElement> CdpDocument::ElementsByName(const QString& name)
{
    return ElementsFrom(kByName, name.toStdString());
}

std::optional<QJsonObject> CdpDocument::RecordFields()
{
    const auto result = mContext->CallOn(mObjectId, kRecord, Json::array(), true, kBatchTimeoutMs);
    if (!result || !(*result)["value"].is_object())
        return std::nullopt;
    return FromJson((*result)["value"]).toObject();
}

std::optional<QJsonArray> CdpDocument::ReplayFields(const QJsonArray& writes)
{
    const Json argument = ToJson(writes);
    const auto result
        = mContext->CallOn(mObjectId, kReplay, Json::array({{{"value", argument}}}), true, kBatchTimeoutMs);
    if (!result || !(*result)["value"].is_array())
        return std::nullopt;
    return FromJson((*result)["value"]).toArray();
}

std::shared_ptr<HtmlElement> CdpDocument::AllItem(int index)
{
    if (index < 0)
        return nullptr;
    return ElementsFrom(kAllItem, index);
}

std::string CdpDocument::PageWorldDocument()
{
    if (!mPageWorldId.empty())
        return mPageWorldId;
    const auto node = mContext->Command("DOM.describeNode", {{"objectId", mObjectId}});
    if (!node || !node->value("node", Json::object()).value("backendNodeId", Json()).is_number_integer())
        return {};
    // Without a context the node is resolved in the main world of its frame.
    const auto resolved = mContext->Command(
        "DOM.resolveNode", {{"backendNodeId", (*node)["node"]["backendNodeId"]}, {"objectGroup", mContext->Group()}});
    if (!resolved || !resolved->value("object", Json::object()).value("objectId", Json()).is_string())
        return {};
    mPageWorldId = (*resolved)["object"]["objectId"].get<std::string>();
    return mPageWorldId;
}

std::shared_ptr<HtmlElement> CdpDocument::ElementsFrom(const char* function, const Json& argument)
{
    const std::string document = PageWorldDocument();
    if (document.empty())
        return nullptr;
    const auto result = mContext->CallOn(document, function, Json::array({{{"value", argument}}}), false);
    if (!result || !IsObject(*result))
        return nullptr;
    const int length = CdpContext::ArrayLength(*result);
    if (length <= 0)
        return nullptr;
    return std::make_shared<CdpElement>(mContext, (*result)["objectId"].get<std::string>(), length);
}
