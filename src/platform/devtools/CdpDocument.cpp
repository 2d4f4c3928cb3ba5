#include "CdpDocument.h"

#include "CdpContext.h"
#include "CdpElement.h"

namespace {
using Json = nlohmann::json;

// document.all[name] is the element, or a live collection when several share the name; both become a
// plain array so an element and a radio group are handled alike. Frames are other realms, where
// instanceof Element is false: ask the node type instead.
constexpr const char* kAll = "function(n) { const r = this.all[n]; if (!r || typeof r !== 'object') return null; "
                             "const a = r.nodeType === 1 ? [r] : Array.from(r); return a.length ? a : null; }";
constexpr const char* kAllItem = "function(i) { const e = this.all[i]; return e ? [e] : null; }";
constexpr const char* kUrl = "function() { return this.URL; }";
constexpr const char* kFrameCount = "function() { const w = this.defaultView; return w ? w.frames.length : 0; }";
// Another origin's frame throws on .document: that frame is simply not ours to fill.
constexpr const char* kFrame = "function(i) { const w = this.defaultView; const f = w && w.frames[i]; "
                               "try { return f ? f.document : null; } catch (e) { return null; } }";

bool IsObject(const Json& remote)
{
    return remote.value("type", std::string()) == "object" && remote.contains("objectId")
        && remote["objectId"].is_string();
}
} // namespace

CdpDocument::CdpDocument(std::shared_ptr<CdpContext> context, std::string objectId)
    : mContext(std::move(context))
    , mObjectId(std::move(objectId))
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
    const auto result = mContext->CallOn(mObjectId, kFrameCount, Json::array(), true);
    if (!result || !result->contains("value") || !(*result)["value"].is_number_integer())
        return 0;
    return (*result)["value"].get<int>();
}

std::shared_ptr<HtmlDocument> CdpDocument::Frame(int index)
{
    if (index < 0)
        return nullptr;
    const auto result = mContext->CallOn(mObjectId, kFrame, Json::array({{{"value", index}}}), false);
    if (!result || !IsObject(*result))
        return nullptr;
    return std::make_shared<CdpDocument>(mContext, (*result)["objectId"].get<std::string>());
}

std::shared_ptr<HtmlElement> CdpDocument::AllItem(int index)
{
    if (index < 0)
        return nullptr;
    return ElementsFrom(kAllItem, index);
}

std::shared_ptr<HtmlElement> CdpDocument::ElementsFrom(const char* function, const Json& argument)
{
    const auto result = mContext->CallOn(mObjectId, function, Json::array({{{"value", argument}}}), false);
    if (!result || !IsObject(*result))
        return nullptr;
    const int length = CdpContext::ArrayLength(*result);
    if (length <= 0)
        return nullptr;
    return std::make_shared<CdpElement>(mContext, (*result)["objectId"].get<std::string>(), length);
}
