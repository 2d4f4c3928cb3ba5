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
    CdpDocument(std::shared_ptr<CdpContext> context, std::string objectId);

    std::shared_ptr<HtmlElement> All(const QString& nameOrId) override;
    std::optional<QString> URL() override;
    int FrameCount() override;
    std::shared_ptr<HtmlDocument> Frame(int index) override;
    std::shared_ptr<HtmlElement> AllItem(int index) override;
    std::optional<QString> Title() override;
    std::shared_ptr<HtmlElement> ElementsByName(const QString& name) override;
    std::optional<QJsonObject> RecordFields() override;
    std::optional<QJsonArray> ReplayFields(const QJsonArray& writes) override;

private:
    std::shared_ptr<HtmlElement> ElementsFrom(const char* function, const nlohmann::json& argument);

    std::shared_ptr<CdpContext> mContext;
    std::string mObjectId;
};
