#pragma once

#include "HtmlDocument.h"

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

class CdpContext;

// A document of our page (the top one or a frame's), held as a remote object.
class CdpDocument final : public HtmlDocument
{
public:
    // `objectId` is the document in a world of ours (CdpContext::IsolatedDocument), never the page's own
    // wrapper: every function below then sees the DOM as it is, whatever the page redefined. `depth` is
    // how deep in frames the document sits (0 for the top one).
    CdpDocument(std::shared_ptr<CdpContext> context, std::string objectId, int depth = 0);
    // Frames nested deeper than this, or past this number in one document, are not visited: a page that
    // nests itself or adds frames without end cannot make a walk endless.
    static constexpr int MaxFrameDepth = 4;
    static constexpr int MaxFrames = 64;

    std::shared_ptr<HtmlElement> All(const QString& nameOrId) override;
    std::optional<QString> URL() override;
    int FrameCount() override;
    std::shared_ptr<HtmlDocument> Frame(int index) override;
    std::shared_ptr<HtmlElement> AllItem(int index) override;
    std::optional<QString> Title() override;
    std::shared_ptr<HtmlElement> ElementsByName(const QString& name) override;
    std::optional<QJsonObject> RecordFields() override;
    std::optional<QJsonArray> ReplayFields(const QJsonArray& writes) override;
    // The frames are watched from the event loop after this returns, for as long as the caller holds this
    // document; a new watch replaces the one before.
    bool WatchChanges(int timeoutMs, std::function<void(bool changed)> done) override;

private:
    struct Watch;
    bool Arm(const std::shared_ptr<Watch>& watch, std::shared_ptr<CdpDocument> self);
    static void WatchNextFrame(const std::weak_ptr<Watch>& weak);
    std::shared_ptr<CdpDocument> FrameDocument(int index);
    // The same document as the page's own script sees it. The carrier fillers call the page's change
    // handlers, which live in the page's world only; they run on their carrier's site alone.
    std::string PageWorldDocument();
    std::shared_ptr<HtmlElement> ElementsFrom(const char* function, const nlohmann::json& argument);

    std::shared_ptr<CdpContext> mContext;
    std::string mObjectId;
    int mDepth = 0;
    std::string mPageWorldId;
    std::shared_ptr<Watch> mWatch;
};
