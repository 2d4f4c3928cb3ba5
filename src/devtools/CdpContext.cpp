#include "CdpContext.h"

#include "DevToolsSession.h"

#include <atomic>
#include <cmath>

namespace {
std::atomic<int> gGroupCounter {0};
} // namespace

CdpContext::CdpContext(std::shared_ptr<DevToolsSession> session, std::string sessionId, int timeoutMs,
                       FrameSessions frameSessions)
    : mSession(std::move(session))
    , mSessionId(std::move(sessionId))
    , mGroup("pesavo-" + std::to_string(++gGroupCounter))
    , mTimeoutMs(timeoutMs)
    , mFrameSessions(std::move(frameSessions))
{ }

CdpContext::~CdpContext()
{
    if (mSession && mSession->IsOpen())
        mSession->Send("Runtime.releaseObjectGroup", {{"objectGroup", mGroup}}, mSessionId);
}

std::optional<CdpContext::Json> CdpContext::CallOn(const std::string& objectId, const char* function,
                                                   const Json& arguments, bool returnByValue, int timeoutMs,
                                                   bool awaitPromise)
{
    Json params = {{"objectId", objectId},           {"functionDeclaration", function}, {"arguments", arguments},
                   {"returnByValue", returnByValue}, {"objectGroup", mGroup},           {"silent", true}};
    if (awaitPromise)
        params["awaitPromise"] = true;
    const auto reply
        = mSession->Call("Runtime.callFunctionOn", params, mSessionId, timeoutMs > 0 ? timeoutMs : mTimeoutMs);
    if (!reply || reply->contains("exceptionDetails") || !reply->contains("result"))
        return std::nullopt;
    return (*reply)["result"];
}

bool CdpContext::CallOnLater(const std::string& objectId, const char* function, const Json& arguments,
                             std::function<void(std::optional<Json>)> done)
{
    const Json params
        = {{"objectId", objectId}, {"functionDeclaration", function}, {"arguments", arguments}, {"returnByValue", true},
           {"awaitPromise", true}, {"objectGroup", mGroup},           {"silent", true}};
    return mSession->Send("Runtime.callFunctionOn", params, mSessionId, [done = std::move(done)](const Json& reply) {
        const Json result = reply.value("result", Json::object());
        if (reply.contains("error") || result.contains("exceptionDetails") || !result.contains("result"))
            done(std::nullopt);
        else
            done(result["result"].value("value", Json()));
    }) != 0;
}

std::optional<CdpContext::Json> CdpContext::Evaluate(const char* expression, bool returnByValue, int contextId)
{
    Json params
        = {{"expression", expression}, {"returnByValue", returnByValue}, {"objectGroup", mGroup}, {"silent", true}};
    if (contextId != 0)
        params["contextId"] = contextId;
    const auto reply = mSession->Call("Runtime.evaluate", params, mSessionId, mTimeoutMs);
    if (!reply || reply->contains("exceptionDetails") || !reply->contains("result"))
        return std::nullopt;
    return (*reply)["result"];
}

std::optional<CdpContext::Json> CdpContext::Command(const std::string& method, const Json& params)
{
    return mSession->Call(method, params, mSessionId, mTimeoutMs);
}

std::pair<std::shared_ptr<CdpContext>, std::string> CdpContext::FrameDocument(const std::string& ownerObjectId)
{
    const auto node = Command("DOM.describeNode", {{"objectId", ownerObjectId}});
    // A frame that went away meanwhile is described without its node: read nothing that is not there.
    const Json described = node ? node->value("node", Json()) : Json();
    if (!described.is_object() || !described.value("frameId", Json()).is_string())
        return {};
    const std::string frameId = described.value("frameId", std::string());
    const std::string frameSession = mFrameSessions ? mFrameSessions(frameId) : std::string();
    // Another process has its own target, where the frame is the top one; ours runs in the same session.
    auto context = frameSession.empty()
        ? std::make_shared<CdpContext>(mSession, mSessionId, mTimeoutMs, mFrameSessions)
        : std::make_shared<CdpContext>(mSession, frameSession, mTimeoutMs, mFrameSessions);
    std::string document = context->IsolatedDocument(frameId);
    if (document.empty())
        return {};
    return {std::move(context), std::move(document)};
}

std::string CdpContext::MainFrameId()
{
    const auto tree = Command("Page.getFrameTree", Json::object());
    if (!tree)
        return {};
    const Json frame = tree->value("frameTree", Json::object()).value("frame", Json::object());
    return frame.value("id", Json()).is_string() ? frame["id"].get<std::string>() : std::string();
}

std::optional<int> CdpContext::IsolatedWorld(const std::string& frameId)
{
    if (frameId.empty())
        return std::nullopt;
    // One world per frame and name: the browser hands back the same one to every call.
    const auto world = Command("Page.createIsolatedWorld",
                               {{"frameId", frameId}, {"worldName", "pesavo"}, {"grantUniveralAccess", true}});
    if (!world || !world->value("executionContextId", Json()).is_number_integer())
        return std::nullopt;
    return (*world)["executionContextId"].get<int>();
}

std::string CdpContext::IsolatedDocument(const std::string& frameId)
{
    const auto world = IsolatedWorld(frameId);
    const auto document = world ? Evaluate("document", false, *world) : std::nullopt;
    if (!document || !document->value("objectId", Json()).is_string())
        return {};
    return (*document)["objectId"].get<std::string>();
}

int CdpContext::ArrayLength(const Json& remoteObject)
{
    if (!remoteObject.contains("description") || !remoteObject["description"].is_string())
        return -1;
    const std::string description = remoteObject["description"].get<std::string>();
    const std::string prefix = "Array(";
    if (description.rfind(prefix, 0) != 0 || description.back() != ')')
        return -1;
    try {
        return std::stoi(description.substr(prefix.size()));
    } catch (...) {
        return -1;
    }
}

CdpContext::Json CdpContext::NumberArgument(double value)
{
    if (std::isnan(value))
        return {{"unserializableValue", "NaN"}};
    if (std::isinf(value))
        return {{"unserializableValue", value > 0 ? "Infinity" : "-Infinity"}};
    return {{"value", value}};
}
