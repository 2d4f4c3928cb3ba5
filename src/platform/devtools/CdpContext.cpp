#include "CdpContext.h"

#include "DevToolsSession.h"

#include <atomic>
#include <cmath>

namespace {
std::atomic<int> gGroupCounter {0};
} // namespace

CdpContext::CdpContext(std::shared_ptr<DevToolsSession> session, std::string sessionId, int timeoutMs)
    : mSession(std::move(session))
    , mSessionId(std::move(sessionId))
    , mGroup("pesavo-" + std::to_string(++gGroupCounter))
    , mTimeoutMs(timeoutMs)
{ }

CdpContext::~CdpContext()
{
    if (mSession && mSession->IsOpen())
        mSession->Send("Runtime.releaseObjectGroup", {{"objectGroup", mGroup}}, mSessionId);
}

std::optional<CdpContext::Json> CdpContext::CallOn(const std::string& objectId, const char* function,
                                                   const Json& arguments, bool returnByValue)
{
    Json params = {{"objectId", objectId},           {"functionDeclaration", function}, {"arguments", arguments},
                   {"returnByValue", returnByValue}, {"objectGroup", mGroup},           {"silent", true}};
    const auto reply = mSession->Call("Runtime.callFunctionOn", params, mSessionId, mTimeoutMs);
    if (!reply || reply->contains("exceptionDetails") || !reply->contains("result"))
        return std::nullopt;
    return (*reply)["result"];
}

std::optional<CdpContext::Json> CdpContext::Evaluate(const char* expression, bool returnByValue)
{
    Json params
        = {{"expression", expression}, {"returnByValue", returnByValue}, {"objectGroup", mGroup}, {"silent", true}};
    const auto reply = mSession->Call("Runtime.evaluate", params, mSessionId, mTimeoutMs);
    if (!reply || reply->contains("exceptionDetails") || !reply->contains("result"))
        return std::nullopt;
    return (*reply)["result"];
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
