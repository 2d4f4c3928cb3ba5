#include "DevToolsSession.h"

#include "DevToolsPipe.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <vector>

namespace {
// A single write to the keeper never needs long; a stuck peer is treated as gone.
constexpr int kSendTimeoutMs = 2000;
// How long a wait for a reply goes before it looks whether the program was told to end.
constexpr int kInterruptCheckMs = 200;
bool (*gInterrupted)() = nullptr;
DevToolsSession::SlowestCall gSlowest;

// Notes how long the call it lives in held the thread.
class CallClock
{
public:
    explicit CallClock(const std::string& method)
        : mMethod(method)
    {
        mTimer.start();
    }
    ~CallClock()
    {
        const qint64 ms = mTimer.elapsed();
        if (ms > gSlowest.ms)
            gSlowest = {mMethod, ms};
    }
    CallClock(const CallClock&) = delete;
    CallClock& operator=(const CallClock&) = delete;

private:
    const std::string& mMethod;
    QElapsedTimer mTimer;
};
} // namespace

DevToolsSession::SlowestCall DevToolsSession::TakeSlowestCall()
{
    return std::exchange(gSlowest, SlowestCall {});
}

DevToolsSession::DevToolsSession(std::unique_ptr<DevToolsPipe> pipe, QObject* parent)
    : QObject(parent)
    , mPipe(std::move(pipe))
{
    connect(mPipe.get(), &DevToolsPipe::ReadyRead, this, &DevToolsSession::OnReadyRead);
    connect(mPipe.get(), &DevToolsPipe::Closed, this, &DevToolsSession::LoseConnection);
}

DevToolsSession::~DevToolsSession() = default;

void DevToolsSession::SetInterruptCheck(bool (*check)())
{
    gInterrupted = check;
}

std::optional<DevToolsSession::Json> DevToolsSession::Call(const std::string& method, const Json& params,
                                                           const std::string& sessionId, int timeoutMs)
{
    const CallClock clock(method);
    if (gInterrupted && gInterrupted()) {
        mLastError = QStringLiteral("Pesavo is ending: %1 not sent").arg(QString::fromStdString(method));
        return std::nullopt;
    }
    if (!mOpen) {
        mLastError = QStringLiteral("The browser connection is closed");
        return std::nullopt;
    }
    if (BlockedByDialog(method, sessionId)) {
        mLastError = QStringLiteral("The page shows a dialog and answers nothing until it is closed");
        return std::nullopt;
    }
    const int id = ++mNextId;
    Json message = {{"id", id}, {"method", method}, {"params", params}};
    if (!sessionId.empty())
        message["sessionId"] = sessionId;
    mAwaiting[id] = true;
    if (!mPipe->Send(message.dump(-1, ' ', false, Json::error_handler_t::replace), kSendTimeoutMs)) {
        mAwaiting.erase(id);
        mLastError = QStringLiteral("Could not send %1 to the browser").arg(QString::fromStdString(method));
        LoseConnection();
        return std::nullopt;
    }
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        auto it = mReplies.find(id);
        if (it != mReplies.end()) {
            Json reply = std::move(it->second);
            mReplies.erase(it);
            mAwaiting.erase(id);
            if (reply.contains("error")) {
                const Json& error = reply["error"];
                const bool hasText = error.is_object() && error.contains("message") && error["message"].is_string();
                mLastError = hasText ? QString::fromStdString(error["message"].get<std::string>())
                                     : QStringLiteral("The browser refused %1").arg(QString::fromStdString(method));
                return std::nullopt;
            }
            if (reply.contains("result") && reply["result"].is_object())
                return std::move(reply["result"]);
            return Json::object();
        }
        const qint64 left = timeoutMs - timer.elapsed();
        if (gInterrupted && gInterrupted()) {
            mAwaiting.erase(id);
            mLastError = QStringLiteral("Pesavo is ending: %1 abandoned").arg(QString::fromStdString(method));
            return std::nullopt;
        }
        if (left <= 0) {
            mAwaiting.erase(id);
            mLastError = QStringLiteral("%1 timed out after %2 ms").arg(QString::fromStdString(method)).arg(timeoutMs);
            return std::nullopt;
        }
        std::vector<std::string> messages;
        const bool open = mPipe->Receive(messages, int(std::min<qint64>(left, kInterruptCheckMs)));
        for (const std::string& text : messages)
            Handle(text);
        if (mReplies.find(id) == mReplies.end() && BlockedByDialog(method, sessionId)) {
            // Opened by this very call (a change handler that alerts) or just before it: the reply would
            // come only once the user has answered the dialog.
            mAwaiting.erase(id);
            mLastError = QStringLiteral("The page opened a dialog during %1").arg(QString::fromStdString(method));
            return std::nullopt;
        }
        if (!open && mReplies.find(id) == mReplies.end()) {
            mAwaiting.erase(id);
            LoseConnection();
            mLastError = mPipe->CloseReason().isEmpty()
                ? QStringLiteral("The browser connection closed during %1").arg(QString::fromStdString(method))
                : mPipe->CloseReason();
            return std::nullopt;
        }
    }
}

int DevToolsSession::Send(const std::string& method, const Json& params, const std::string& sessionId,
                          ReplyHandler onReply)
{
    if (!mOpen)
        return 0;
    const int id = ++mNextId;
    Json message = {{"id", id}, {"method", method}, {"params", params}};
    if (!sessionId.empty())
        message["sessionId"] = sessionId;
    if (!mPipe->Send(message.dump(-1, ' ', false, Json::error_handler_t::replace), kSendTimeoutMs)) {
        LoseConnection();
        return 0;
    }
    if (onReply)
        mReplyHandlers[id] = std::move(onReply);
    return id;
}

int DevToolsSession::AddInterceptor(Interceptor interceptor)
{
    const int key = ++mNextInterceptor;
    mInterceptors[key] = std::move(interceptor);
    return key;
}

void DevToolsSession::RemoveInterceptor(int key)
{
    mInterceptors.erase(key);
}

void DevToolsSession::Close()
{
    mPipe->Close();
    LoseConnection();
}

void DevToolsSession::OnReadyRead()
{
    std::vector<std::string> messages;
    const bool open = mPipe->Receive(messages, 0);
    for (const std::string& text : messages)
        Handle(text);
    const QPointer<DevToolsSession> self(this);
    DeliverEvents(); // a handler may delete us
    if (self && !open)
        LoseConnection();
}

void DevToolsSession::Handle(const std::string& text)
{
    Json message = Json::parse(text, nullptr, false);
    if (message.is_discarded() || !message.is_object()) {
        qWarning("DevTools: dropped a message that is not a JSON object (%zu bytes)", text.size());
        return;
    }
    if (message.contains("id")) {
        const Json& idValue = message["id"];
        if (!idValue.is_number_integer())
            return;
        const int id = idValue.get<int>();
        if (mAwaiting.count(id)) {
            mReplies[id] = std::move(message);
        } else if (const auto handler = mReplyHandlers.find(id); handler != mReplyHandlers.end()) {
            const ReplyHandler onReply = std::move(handler->second);
            mReplyHandlers.erase(handler);
            onReply(message);
        }
        return; // late replies to timed-out or fire-and-forget calls
    }
    if (!message.contains("method") || !message["method"].is_string())
        return;
    TrackDialogs(message);
    // A copy: an interceptor may add or remove interceptors.
    const auto interceptors = mInterceptors;
    for (const auto& [key, interceptor] : interceptors) {
        if (interceptor(message))
            return;
    }
    mEvents.push_back(std::move(message));
    ScheduleDelivery();
}

void DevToolsSession::ScheduleDelivery()
{
    if (mDeliveryScheduled)
        return;
    mDeliveryScheduled = true;
    QTimer::singleShot(0, this, [this] {
        mDeliveryScheduled = false;
        DeliverEvents();
    });
}

void DevToolsSession::DeliverEvents(bool all)
{
    if (mDelivering)
        return; // a handler's call read more events: the outer loop picks them up
    mDelivering = true;
    const QPointer<DevToolsSession> self(this);
    size_t count = mEvents.size();
    while (!mEvents.empty() && (all || count-- > 0)) {
        const Json event = std::move(mEvents.front());
        mEvents.pop_front();
        Q_EMIT EventReceived(event);
        if (!self)
            return; // the last owner let go of us from a handler
    }
    mDelivering = false;
    if (!mEvents.empty())
        ScheduleDelivery();
}

void DevToolsSession::TrackDialogs(const Json& event)
{
    const std::string& method = event["method"].get_ref<const std::string&>();
    if (method != "Page.javascriptDialogOpening" && method != "Page.javascriptDialogClosed"
        && method != "Inspector.detached")
        return;
    const auto session = event.find("sessionId");
    if (session == event.end() || !session->is_string())
        return;
    if (method == "Page.javascriptDialogOpening")
        mDialogSessions.insert(session->get<std::string>());
    else
        mDialogSessions.erase(session->get<std::string>());
}

bool DevToolsSession::BlockedByDialog(const std::string& method, const std::string& sessionId) const
{
    // Only script and DOM work waits for the page's main thread; the browser itself still answers.
    if (sessionId.empty() || !mDialogSessions.count(sessionId))
        return false;
    // The frame tree and a world of ours come from the page's renderer too.
    return method.rfind("Runtime.", 0) == 0 || method.rfind("DOM.", 0) == 0 || method == "Page.getFrameTree"
        || method == "Page.createIsolatedWorld";
}

void DevToolsSession::LoseConnection()
{
    mOpen = false;
    if (mDisconnectSignalled)
        return;
    mDisconnectSignalled = true;
    QTimer::singleShot(0, this, [this] {
        // The last words of the browser (our page going away) still reach the listeners, before the end.
        std::vector<std::string> messages;
        mPipe->Receive(messages, 0);
        for (const std::string& text : messages)
            Handle(text);
        const QPointer<DevToolsSession> self(this);
        DeliverEvents(true);
        if (self)
            Q_EMIT Disconnected();
    });
}
