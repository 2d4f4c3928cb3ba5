#pragma once

#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>

class DevToolsPipe;

// The DevTools protocol over one message stream: numbered calls with deadlines, replies matched by id,
// events handed out from the event loop. Calls block on the stream (poll with a deadline), never on a
// nested event loop; events that arrive meanwhile are queued and delivered once the loop runs again,
// except those an interceptor takes, which must be answered for the awaited reply to come at all.
class DevToolsSession final : public QObject
{
    Q_OBJECT
public:
    using Json = nlohmann::json;
    // Returns true when it handled the event; it is then not queued.
    using Interceptor = std::function<bool(const Json& event)>;

    explicit DevToolsSession(std::unique_ptr<DevToolsPipe> pipe, QObject* parent = nullptr);
    ~DevToolsSession() override;
    // Asked while a call waits: when it answers true (the program was told to end), every call gives up at
    // once instead of running to its deadline. Set once at start; a plain function, safe to ask anywhere.
    static void SetInterruptCheck(bool (*check)());
    // The call that held the thread longest since the last time this was asked, and for how many
    // milliseconds: what the benchmarks print beside the event loop's longest stall.
    struct SlowestCall
    {
        std::string method;
        qint64 ms = 0;
    };
    static SlowestCall TakeSlowestCall();

    // The call's "result" object, or std::nullopt on an error reply, a timeout or a lost connection;
    // LastError() then says which.
    std::optional<Json> Call(const std::string& method, const Json& params = Json::object(),
                             const std::string& sessionId = {}, int timeoutMs = 5000);
    // Sends without waiting. Returns the id, or 0 when nothing was sent. The reply is dropped when it comes,
    // or handed to onReply: that runs as soon as the reply is read, possibly inside another call, so it may
    // only note what it says, never call the session.
    using ReplyHandler = std::function<void(const Json& reply)>;
    int Send(const std::string& method, const Json& params = Json::object(), const std::string& sessionId = {},
             ReplyHandler onReply = {});

    // Interceptors see events inline, even in the middle of a Call. Removing by the returned key.
    int AddInterceptor(Interceptor interceptor);
    void RemoveInterceptor(int key);

    bool IsOpen() const { return mOpen; }
    QString LastError() const { return mLastError; }
    void Close();

Q_SIGNALS:
    void EventReceived(const nlohmann::json& event);
    void Disconnected();

private:
    void OnReadyRead();
    void Handle(const std::string& text);
    void ScheduleDelivery();
    // Delivers the events queued when it starts (or all of them, when the connection is going away);
    // events that the handlers' own calls read wait for the next turn of the event loop, so a page that
    // keeps firing events cannot hold the loop.
    void DeliverEvents(bool all = false);
    void TrackDialogs(const Json& event);
    bool BlockedByDialog(const std::string& method, const std::string& sessionId) const;
    void LoseConnection();

    std::unique_ptr<DevToolsPipe> mPipe;
    int mNextId = 0;
    int mNextInterceptor = 0;
    std::map<int, Interceptor> mInterceptors;
    std::map<int, Json> mReplies; // replies to calls still waiting
    std::map<int, bool> mAwaiting;
    std::map<int, ReplyHandler> mReplyHandlers;
    std::deque<Json> mEvents;
    // Page sessions that show an alert, confirm, prompt or leave-page dialog: their page answers no script
    // until the user closes it.
    std::set<std::string> mDialogSessions;
    bool mDeliveryScheduled = false;
    bool mDelivering = false;
    bool mOpen = true;
    bool mDisconnectSignalled = false;
    QString mLastError;
};
