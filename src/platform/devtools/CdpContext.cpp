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
                                                   const Json& arguments, bool returnByValue, int timeoutMs)
{
    Json params = {{"objectId", objectId},           {"functionDeclaration", function}, {"arguments", arguments},
                   {"returnByValue", returnByValue}, {"objectGroup", mGroup},           {"silent", true}};
    const auto reply
        = mSession->Call("Runtime.callFunctionOn", params, mSessionId, timeoutMs > 0 ? timeoutMs : mTimeoutMs);
    if (!reply || reply->contains("exceptionDetails") || !reply->contains("result"))
        return std::nullopt;
    return (*reply)["result"];
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
    if (!node || !(*node)["node"].is_object() || !(*node)["node"]["frameId"].is_string())
        return {};
    const std::string frameId = (*node)["node"]["frameId"].get<std::string>();
    const std::string frameSession = mFrameSessions ? mFrameSessions(frameId) : std::string();
    std::shared_ptr<CdpContext> context;
    int contextId = 0;
    if (!frameSession.empty()) {
        // Another process: its own target, whose main world holds the frame's document.
        context = std::make_shared<CdpContext>(mSession, frameSession, mTimeoutMs, mFrameSessions);
    } else {
        // Same process, another origin: the page's scripts may not look in, but a world of ours may.
        const auto world = Command("Page.createIsolatedWorld",
                                   {{"frameId", frameId}, {"worldName", "pesavo"}, {"grantUniveralAccess", true}});
        if (!world || !(*world)["executionContextId"].is_number_integer())
            return {};
        contextId = (*world)["executionContextId"].get<int>();
        context = std::make_shared<CdpContext>(mSession, mSessionId, mTimeoutMs, mFrameSessions);
    }
    const auto document = context->Evaluate("document", false, contextId);
    if (!document || !(*document)["objectId"].is_string())
        return {};
    return {context, (*document)["objectId"].get<std::string>()};
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
