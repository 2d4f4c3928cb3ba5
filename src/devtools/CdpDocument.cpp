#include "CdpDocument.h"

#include "CdpContext.h"
#include "CdpElement.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <deque>

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
// window.frames lists them, then the frames inside its open shadow roots (after them, so that a page
// recorded before those were seen keeps its numbering); the browser is then asked which frame each holds.
// An ARIA combobox is known by its name, id or label, and shows the text of the option chosen.
#define PESAVO_COMBO                                                                                                   \
    "const comboKey = e => e.getAttribute('name') || e.id || e.getAttribute('aria-label') || ''; "                     \
    "const comboText = e => String(e.localName === 'input' ? e.value : e.textContent).trim();"
#define PESAVO_FRAMES_OF                                                                                               \
    "const framesOf = d => { const out = Array.from(d.querySelectorAll('iframe, frame')); "                            \
    "const walk = r => { for (const e of r.querySelectorAll('*')) { const s = e.shadowRoot; "                          \
    "if (s) { out.push(...s.querySelectorAll('iframe, frame')); walk(s); } } }; walk(d); return out; };"
constexpr const char* kFrameCount = "function() { " PESAVO_FRAMES_OF " return framesOf(this).length; }";
constexpr const char* kFrame = "function(i) { " PESAVO_FRAMES_OF " return framesOf(this)[i] || null; }";
constexpr const char* kTitle = "function() { return String(this.title); }";
constexpr const char* kByName = "function(n) { const a = Array.from(this.getElementsByName(n)); "
                                "return a.length ? a : null; }";

// Every form field of the document in one pass, open shadow roots included. The key number is the field's
// 1-based position among the elements of its name in its own tree (0 when the name is unique there); a
// field inside shadow roots also gets the path to its tree: each host by its tag and its 1-based position
// among the elements of that tag in the host's own tree, as "/ship-form.1/address-box.2".
constexpr const char* kRecord = "function() { " PESAVO_FRAMES_OF PESAVO_COMBO R"js(
  const d = this, fields = [];
  const skipped = ['hidden', 'button', 'image', 'submit', 'reset'];
  const trees = [[d, '']];
  for (let t = 0; t < trees.length; ++t) {
    const [tree, path] = trees[t];
    // The elements of every name at once: one walk, not one per field; and the shadow hosts with it.
    const byName = new Map(), position = new Map(), checked = new Map(), tags = new Map();
    for (const e of tree.querySelectorAll('*')) {
      const tag = e.localName;
      tags.set(tag, (tags.get(tag) || 0) + 1);
      if (e.shadowRoot) trees.push([e.shadowRoot, path + '/' + tag + '.' + tags.get(tag)]);
      const n = e.getAttribute('name');
      if (n === null) continue;
      let a = byName.get(n);
      if (!a) byName.set(n, a = []);
      position.set(e, a.length);
      a.push(e);
    }
    for (const e of tree.querySelectorAll('input, select, textarea')) {
      try {
        if (e.localName === 'input' && e.getAttribute('role') === 'combobox') continue;
        const tag = String(e.localName), type = String(e.type || '').toLowerCase();
        if (type === 'hidden' || (tag === 'input' && skipped.includes(type))) continue;
        const name = typeof e.name === 'string' ? e.name : '';
        const same = byName.get(name) || [];
        const at = position.get(e);
        const n = same.length === 1 ? 0 : (at === undefined || same[at] !== e ? same.length : at + 1);
        const f = {tag, type, name, n};
        if (path) f.shadow = path;
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
    // Lists drawn from other elements (ARIA comboboxes), by their name, id or label: the text chosen.
    const combos = new Map();
    for (const e of tree.querySelectorAll('[role=combobox]')) {
      const key = e.localName === 'select' ? '' : comboKey(e);
      if (!key) continue;
      if (!combos.has(key)) combos.set(key, []);
      combos.get(key).push(e);
    }
    for (const [name, list] of combos) list.forEach((e, i) => {
      const f = {tag: 'combobox', type: 'combobox', name, n: list.length === 1 ? 0 : i + 1, value: comboText(e)};
      if (path) f.shadow = path;
      fields.push(f);
    });
  }
  return {url: String(d.URL), title: String(d.title), frames: framesOf(d).length, fields};
})js";

// The writes of one replay in one pass. Pages built on a framework keep their own copy of each value and
// ignore a bare assignment: the element's own setter is called past any the page put on the element,
// and the events of a person's input follow, so the page's state takes the value too. A framework
// follows the click on a check box or a radio button, not a written state: those are clicked.
constexpr const char* kReplay = "async function(writes) { " PESAVO_COMBO R"js(
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
  // A shadow path ("/ship-form.1/address-box.2") leads from the document to the tree a field is in.
  const trees = new Map();
  const treeOf = path => {
    if (trees.has(path)) return trees.get(path);
    let t = d;
    for (const step of path.split('/').slice(1)) {
      const dot = step.lastIndexOf('.');
      const host = dot > 0 ? t.querySelectorAll(CSS.escape(step.slice(0, dot)))[Number(step.slice(dot + 1)) - 1] : null;
      t = host && host.shadowRoot;
      if (!t) break;
    }
    const named = new Map();
    if (t) for (const e of t.querySelectorAll('[name]')) {
      const n = e.getAttribute('name');
      if (!named.has(n)) named.set(n, []);
      named.get(n).push(e);
    }
    const tree = t ? {t, named} : null;
    trees.set(path, tree);
    return tree;
  };
  const members = (name, path) => {
    if (!path) return all(name);
    const tree = treeOf(path);
    return tree ? tree.named.get(name) || [] : [];
  };
  const find = (n, name, path) => {
    if (!path && n !== 0) return d.getElementsByName(name)[n - 1] || null;
    if (path && n !== 0) return members(name, path)[n - 1] || null;
    const a = members(name, path);
    if (a.length === 0 && path && treeOf(path)) return treeOf(path).t.getElementById(name);
    return a.length === 1 ? a[0] : null;
  };
  const combo = (n, name, path) => {
    const tree = path ? treeOf(path) : {t: d};
    const a = tree ? Array.from(tree.t.querySelectorAll('[role=combobox]'))
      .filter(e => e.localName !== 'select' && comboKey(e) === name) : [];
    return n === 0 ? (a.length === 1 ? a[0] : null) : a[n - 1] || null;
  };
  // As a person's press: the pointer and mouse events that component libraries open their lists on.
  const press = e => {
    for (const t of ['pointerdown', 'mousedown', 'pointerup', 'mouseup'])
      e.dispatchEvent(new (t[0] === 'p' ? PointerEvent : MouseEvent)(t, {bubbles: true, cancelable: true, composed: true}));
    e.click();
  };
  // The option of that text in the list the combobox controls, or in any list shown (lists are often
  // drawn at the end of the document).
  const option = (e, text) => {
    const id = e.getAttribute('aria-controls') || e.getAttribute('aria-owns');
    const root = e.getRootNode();
    const box = id && root.getElementById ? root.getElementById(id) : null;
    const options = [...(box || root).querySelectorAll('[role=option]'), ...(box ? [] : d.querySelectorAll('[role=option]'))];
    return options.find(o => String(o.textContent).trim() === text) || null;
  };
  const lf = t => t.replace(/\r\n?/g, '\n');
  // A combobox draws its list once the framework has rendered, a moment after the press: only its write
  // waits for that. The others run at once, all in one turn, as before.
  const settle = () => new Promise(r => setTimeout(r, 20));
  const choose = async (e, text) => {
    let o = option(e, text);
    if (!o) { press(e); await settle(); o = option(e, text); }
    if (!o) return 0;
    press(o);
    await settle();
    return comboText(e) === text ? 2 : 1;
  };
  const out = [];
  for (const [kind, n, name, v, plain, path] of writes) {
    // Awaited only when it is a promise: an await lets the page's framework render between two writes.
    const r = (() => {
    try {
      if (kind === 'o') {
        const e = combo(n, name, path || ''), text = String(v);
        if (!e) return 0;
        return comboText(e) === text ? 2 : choose(e, text).catch(() => 1);
      }
      const e = kind === 'r' ? members(name, path || '')[v] : find(n, name, path || '');
      if (!e) return 0;
      if (plain && String(e.type).toLowerCase() === 'password') return 1;
      if (kind === 'r' || kind === 'c') {
        if (!('checked' in e)) return 1;
        const on = kind === 'r' ? true : v === true;
        if (e.checked !== on) e.click();
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
    })();
    out.push(typeof r === 'number' ? r : await r);
  }
  return out;
})js";

// Resolves once the document changes as a page rendering its form late does, a moment after the first
// change so that a render in progress can finish; or with false when the time is up. It never polls: each
// tree (the document, every open shadow root) has an observer of its own.
constexpr const char* kWatch = R"js(function(ms, settle) {
  const d = this;
  return new Promise(resolve => {
    const observers = [];
    let done = false, soon = 0, limit = 0;
    const finish = changed => {
      if (done) return;
      done = true;
      for (const o of observers) o.disconnect();
      clearTimeout(limit); clearTimeout(soon);
      resolve(changed);
    };
    limit = setTimeout(() => finish(false), ms);
    const observe = tree => {
      const o = new MutationObserver(() => { if (!soon) soon = setTimeout(() => finish(true), settle); });
      o.observe(tree, {childList: true, subtree: true, attributes: true, attributeFilter: ['type', 'name']});
      observers.push(o);
      for (const e of tree.querySelectorAll('*')) if (e.shadowRoot) observe(e.shadowRoot);
    };
    observe(d);
  });
})js";
#undef PESAVO_FRAMES_OF
#undef PESAVO_COMBO

// A replay or a recording walks the whole document in one call: give it longer than a single write.
constexpr int kBatchTimeoutMs = 15000;
// From the first change seen to the answer: a framework renders a form in a few steps, not in one.
constexpr int kWatchSettleMs = 60;
// Between the frames a watch reaches into.
constexpr int kFrameStepMs = 5;

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
    return FrameDocument(index);
}

std::shared_ptr<CdpDocument> CdpDocument::FrameDocument(int index)
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
    if (!result || !result->value("value", Json()).is_string())
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
    if (!result || !result->value("value", Json()).is_object())
        return std::nullopt;
    return FromJson((*result)["value"]).toObject();
}

std::optional<QJsonArray> CdpDocument::ReplayFields(const QJsonArray& writes)
{
    const Json argument = ToJson(writes);
    const auto result
        = mContext->CallOn(mObjectId, kReplay, Json::array({{{"value", argument}}}), true, kBatchTimeoutMs, true);
    if (!result || !result->value("value", Json()).is_array())
        return std::nullopt;
    return FromJson((*result)["value"]).toArray();
}

// One watch over a document and its frames: the first of them to answer decides. Only the document the
// caller holds owns it; what waits in the browser or in the event loop holds it weakly, so that letting go
// of the document ends the watch, and nothing posted keeps the browser connection alive.
struct CdpDocument::Watch
{
    struct Pending
    {
        std::shared_ptr<CdpDocument> document;
        int next = 0;
        int count = -1;
    };
    std::function<void(bool)> done;
    QDeadlineTimer deadline;
    bool answered = false;
    // Documents whose frames are still to be watched.
    std::deque<Pending> pending;

    void Answer(bool changed)
    {
        if (std::exchange(answered, true))
            return;
        pending.clear();
        // From the event loop, never from inside the call that read the reply.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [done = done, changed] { done(changed); }, Qt::QueuedConnection);
    }
};

bool CdpDocument::WatchChanges(int timeoutMs, std::function<void(bool changed)> done)
{
    mWatch = std::make_shared<Watch>(Watch {std::move(done), QDeadlineTimer(std::max(timeoutMs, 0)), false, {}});
    if (!Arm(mWatch, std::make_shared<CdpDocument>(mContext, mObjectId, mDepth))) {
        mWatch.reset();
        return false;
    }
    WatchNextFrame(mWatch);
    return true;
}

bool CdpDocument::Arm(const std::shared_ptr<Watch>& watch, std::shared_ptr<CdpDocument> self)
{
    const int ms = static_cast<int>(std::max<qint64>(watch->deadline.remainingTime(), 0));
    const Json arguments = Json::array({{{"value", ms}}, {{"value", kWatchSettleMs}}});
    const std::weak_ptr<Watch> weak = watch;
    if (!mContext->CallOnLater(mObjectId, kWatch, arguments, [weak](std::optional<Json> value) {
            // A document that went away (a frame reloaded) is a change too.
            if (const auto watch = weak.lock())
                watch->Answer(!value || !value->is_boolean() || value->get<bool>());
        }))
        return false;
    watch->pending.push_back({std::move(self)});
    return true;
}

void CdpDocument::WatchNextFrame(const std::weak_ptr<Watch>& weak)
{
    // Each frame costs a few round trips, slow ones while the page is busy. One frame per timer tick, so that
    // whatever else waits in the event loop goes first: a page of many frames, or one that adds and drops
    // them without end, cannot hold the window still.
    QTimer::singleShot(kFrameStepMs, QCoreApplication::instance(), [weak] {
        const auto watch = weak.lock();
        if (!watch || watch->answered || watch->deadline.hasExpired() || watch->pending.empty())
            return;
        // Taken out while the browser is asked: an answer that comes in meanwhile empties the list.
        Watch::Pending at = std::move(watch->pending.front());
        watch->pending.pop_front();
        if (at.count < 0)
            at.count = at.document->FrameCount();
        if (at.next < at.count) {
            const auto frame = at.document->FrameDocument(at.next++);
            if (watch->answered)
                return;
            watch->pending.push_front(std::move(at));
            if (frame)
                frame->Arm(watch, frame);
        }
        if (!watch->pending.empty())
            WatchNextFrame(weak);
    });
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
