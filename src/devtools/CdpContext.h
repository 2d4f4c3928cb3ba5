#pragma once

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

class DevToolsSession;

// What a document read shares with the elements taken from it: the page session and one object group,
// released in the page when the last of them goes.
class CdpContext final
{
public:
    using Json = nlohmann::json;
    // The session of the out-of-process frame with this frame id; empty when the frame is in our process.
    using FrameSessions = std::function<std::string(const std::string& frameId)>;
    CdpContext(std::shared_ptr<DevToolsSession> session, std::string sessionId, int timeoutMs,
               FrameSessions frameSessions = {});
    ~CdpContext();
    CdpContext(const CdpContext&) = delete;
    CdpContext& operator=(const CdpContext&) = delete;

    // Runs `function` with `this` bound to the remote object and the arguments passed as JSON values, so
    // no value ever becomes script text. The RemoteObject result, or std::nullopt when the call failed,
    // timed out or the page threw.
    // With awaitPromise, a function that answers a promise gives what it resolves to.
    std::optional<Json> CallOn(const std::string& objectId, const char* function, const Json& arguments,
                               bool returnByValue, int timeoutMs = 0, bool awaitPromise = false);
    // CallOn without waiting, for a function that answers a promise: `done` gets the value it resolves to,
    // or std::nullopt when it failed, threw or its document went away. It runs as soon as the reply is read,
    // possibly inside another call, so it may only note what it says. False when nothing could be sent.
    bool CallOnLater(const std::string& objectId, const char* function, const Json& arguments,
                     std::function<void(std::optional<Json>)> done);
    // Evaluates an expression in the page's main world, its result kept in our object group.
    std::optional<Json> Evaluate(const char* expression, bool returnByValue, int contextId = 0);
    // Any other command on this context's session.
    std::optional<Json> Command(const std::string& method, const Json& params);
    // A context for the document of the frame whose owner element is `ownerObjectId` (an iframe or frame
    // of this document), and that document's object id in a world of ours. The frame may be of another
    // origin: then it is reached through its own target (another process).
    std::pair<std::shared_ptr<CdpContext>, std::string> FrameDocument(const std::string& ownerObjectId);
    // The id of the top frame of this context's session, from the browser; empty when it cannot be read.
    std::string MainFrameId();
    // A world of ours in the frame: it shares the frame's DOM, but the page's script can neither reach its
    // objects nor redefine what it sees (document.URL, window.frames, prototypes). Its execution context id.
    std::optional<int> IsolatedWorld(const std::string& frameId);
    // The frame's document as seen from that world; empty when it cannot be had.
    std::string IsolatedDocument(const std::string& frameId);
    int TimeoutMs() const { return mTimeoutMs; }
    // The object group every remote object of this context belongs to.
    const std::string& Group() const { return mGroup; }
    // Array(3) -> 3: the length of a remote array from its description.
    static int ArrayLength(const Json& remoteObject);
    // A CDP call argument for a double (NaN and infinities have no JSON form).
    static Json NumberArgument(double value);

private:
    std::shared_ptr<DevToolsSession> mSession;
    std::string mSessionId;
    std::string mGroup;
    int mTimeoutMs;
    FrameSessions mFrameSessions;
};
