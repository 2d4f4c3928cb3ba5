#include "ChromiumBrowser.h"

#include "BrowserConnection.h"
#include "CdpContext.h"
#include "CdpDocument.h"
#include "DevToolsSession.h"

#include <QDebug>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {
using Json = nlohmann::json;
constexpr int kBrowserCallMs = 5000;
constexpr int kAliveCheckMs = 1000;
constexpr int kLoadCheckMs = 15000;

std::string Text(const Json& object, const char* key)
{
    if (!object.is_object() || !object.contains(key) || !object[key].is_string())
        return {};
    return object[key].get<std::string>();
}
} // namespace

std::unique_ptr<ChromiumBrowser> ChromiumBrowser::Launch(const BrowserLaunchOptions& options, QObject* parent,
                                                         Opening opening)
{
    QElapsedTimer clock;
    clock.start();
    BrowserConnection::Result connection = BrowserConnection::Open(options);
    auto browser = std::make_unique<ChromiumBrowser>(connection.session, parent);
    browser->mClock = clock;
    if (connection.keeperMs >= 0)
        browser->mStages.emplace_back("keeper", connection.keeperMs);
    if (!connection.session) {
        browser->mLastError = connection.error;
        return browser;
    }
    browser->mStages.emplace_back("browser", connection.browserMs);
    // A browser we just started has one blank tab: that becomes our page. A browser left running by an
    // earlier run of Pesavo keeps its windows for the user; we open one of our own beside them.
    std::string firstPage;
    if (connection.freshBrowser) {
        const auto targets = connection.session->Call("Target.getTargets", Json::object(), {}, kBrowserCallMs);
        if (targets && (*targets)["targetInfos"].is_array()) {
            for (const Json& info : (*targets)["targetInfos"]) {
                if (Text(info, "type") == "page") {
                    firstPage = Text(info, "targetId");
                    break;
                }
            }
        }
    }
    if (firstPage.empty() && opening == Opening::InBackground)
        browser->OpenNewWindow();
    else if (firstPage.empty())
        browser->OpenNewPage(true);
    else
        browser->AttachTo(firstPage);
    return browser;
}

ChromiumBrowser::ChromiumBrowser(std::shared_ptr<DevToolsSession> session, QObject* parent)
    : WebBrowser(parent)
    , mSession(std::move(session))
{
    if (!mSession)
        return;
    connect(mSession.get(), &DevToolsSession::EventReceived, this, &ChromiumBrowser::OnEvent);
    connect(mSession.get(), &DevToolsSession::Disconnected, this, &ChromiumBrowser::Quit);
    mInterceptor = mSession->AddInterceptor([this](const Json& event) { return OnFrameTarget(event); });
}

ChromiumBrowser::~ChromiumBrowser()
{
    if (mSession && mInterceptor >= 0)
        mSession->RemoveInterceptor(mInterceptor);
    // The window stays for the user; we only stop listening to it.
    if (mSession && mSession->IsOpen() && !mSessionId.empty() && mAlive)
        mSession->Send("Target.detachFromTarget", {{"sessionId", mSessionId}});
    if (mSession && mSession->IsOpen()) {
        for (const auto& [target, session] : mOtherTabs)
            mSession->Send("Target.detachFromTarget", {{"sessionId", session}});
    }
}

bool ChromiumBrowser::OpenNewPage(bool newWindow)
{
    if (!mSession) {
        return false;
    }
    if (!mClock.isValid())
        mClock.start();
    const auto created
        = mSession->Call("Target.createTarget", {{"url", "about:blank"}, {"newWindow", newWindow}}, {}, kBrowserCallMs);
    if (!created) {
        mLastError = mSession->LastError();
        return false;
    }
    return AttachTo(Text(*created, "targetId"));
}

bool ChromiumBrowser::OpenNewWindow()
{
    if (!mSession)
        return false;
    if (!mClock.isValid())
        mClock.start();
    const QPointer<ChromiumBrowser> self(this);
    const int id = mSession->Send(
        "Target.createTarget", {{"url", "about:blank"}, {"newWindow", true}}, {}, [self](const Json& reply) {
            if (!self)
                return;
            const std::string target = Text(reply.value("result", Json::object()), "targetId");
            const QString error = QString::fromStdString(Text(reply.value("error", Json::object()), "message"));
            // The answer may be read inside another call: the session is called again from the event loop.
            // The timer goes with the browser: no guard of its own.
            ChromiumBrowser* browser = self.data();
            QTimer::singleShot(0, browser, [browser, target, error] { browser->FinishOpening(target, error); });
        });
    if (id == 0) {
        mLastError = QStringLiteral("The browser connection is closed");
        return false;
    }
    mOpening = true;
    mAlive = true;
    mQuitSignalled = false;
    return true;
}

void ChromiumBrowser::FinishOpening(const std::string& targetId, const QString& error)
{
    if (!mOpening)
        return;
    mOpening = false;
    if (targetId.empty() || !AttachTo(targetId)) {
        if (mLastError.isEmpty() || !error.isEmpty())
            mLastError = error.isEmpty() ? QStringLiteral("The browser did not open a window") : error;
        qWarning().noquote() << "Browser window not opened:" << mLastError;
        Quit();
        return;
    }
    if (!mPendingUrl.isEmpty())
        Navigate(std::exchange(mPendingUrl, QString()));
}

bool ChromiumBrowser::AttachTo(const std::string& targetId)
{
    if (!mSession || targetId.empty())
        return false;
    const auto attached
        = mSession->Call("Target.attachToTarget", {{"targetId", targetId}, {"flatten", true}}, {}, kBrowserCallMs);
    if (!attached) {
        mLastError = mSession->LastError();
        return false;
    }
    mTargetId = targetId;
    mSessionId = Text(*attached, "sessionId");
    // Not waited for: a new page's renderer may take a few hundred milliseconds to answer, and the navigation
    // can go meanwhile. A page that finished loading before then had its load event unseen: it is checked
    // once the answer is in.
    mPageEnabled = false;
    const QPointer<ChromiumBrowser> self(this);
    if (!mSession->Send("Page.enable", Json::object(), mSessionId, [self](const Json&) {
            if (ChromiumBrowser* browser = self.data())
                QTimer::singleShot(0, browser, [browser] { browser->PageEnabled(); });
        })) {
        mLastError = mSession->LastError();
        return false;
    }
    // Frames of other sites: attached as they appear, running on without waiting for us.
    mSession->Send("Target.setAutoAttach", {{"autoAttach", true}, {"waitForDebuggerOnStart", false}, {"flatten", true}},
                   mSessionId);
    mAlive = true;
    mQuitSignalled = false;
    Stage("target");
    return true;
}

void ChromiumBrowser::PageEnabled()
{
    mPageEnabled = true;
    if (mNavigationId != 0 && !mNavigating && !mLoadSeen)
        OnLoadEvent();
}

void ChromiumBrowser::Stage(const char* name)
{
    if (mClock.isValid())
        mStages.emplace_back(name, mClock.elapsed());
}

bool ChromiumBrowser::IsOurSession(const std::string& sessionId) const
{
    if (sessionId.empty())
        return false;
    if (sessionId == mSessionId)
        return true;
    for (const auto& [tab, session] : mOtherTabs) {
        if (session == sessionId)
            return true;
    }
    for (const auto& [frame, session] : *mFrameSessions) {
        if (session == sessionId)
            return true;
    }
    return false;
}

bool ChromiumBrowser::OnFrameTarget(const Json& event)
{
    const std::string method = Text(event, "method");
    // A new top document, or its contexts gone: our world in it goes too. Seen inline, so that no call after
    // it uses the old one.
    if (method == "Page.frameNavigated" || method == "Runtime.executionContextsCleared") {
        const Json frame = event.value("params", Json::object()).value("frame", Json::object());
        if (method != "Page.frameNavigated" || Text(frame, "parentId").empty())
            mWorlds.erase(Text(event, "sessionId"));
        return false;
    }
    if (method != "Target.attachedToTarget" && method != "Target.detachedFromTarget")
        return false;
    if (!IsOurSession(Text(event, "sessionId")) || !event.contains("params"))
        return false;
    const Json& params = event["params"];
    const std::string child = Text(params, "sessionId");
    if (method == "Target.detachedFromTarget") {
        mWorlds.erase(child);
        std::erase_if(*mFrameSessions, [&](const auto& entry) { return entry.second == child; });
        return false;
    }
    const Json info = params.value("targetInfo", Json::object());
    if (Text(info, "type") != "iframe" || child.empty())
        return false;
    (*mFrameSessions)[Text(info, "targetId")] = child;
    mSession->Send("Page.enable", Json::object(), child);
    mSession->Send("Target.setAutoAttach", {{"autoAttach", true}, {"waitForDebuggerOnStart", false}, {"flatten", true}},
                   child);
    return false;
}

bool ChromiumBrowser::ClosePage()
{
    if (!mSession || mTargetId.empty())
        return false;
    return mSession->Call("Target.closeTarget", {{"targetId", mTargetId}}, {}, kBrowserCallMs).has_value();
}

bool ChromiumBrowser::Navigate(const QString& url)
{
    if (!mAlive || !mSession->IsOpen())
        return false;
    // An address that is not a document (javascript:, data:, ...) would run in whatever site the window
    // shows now, with its cookies.
    if (!IsNavigable(url)) {
        mLastError = QStringLiteral("Refused to open %1: only http, https and file addresses are opened").arg(url);
        qWarning().noquote() << mLastError;
        return false;
    }
    if (mOpening) {
        mPendingUrl = url;
        return true;
    }
    // The reply comes only once the document answers (with interception, once we answered it): never wait.
    const QPointer<ChromiumBrowser> self(this);
    const int id = mSession->Send("Page.navigate", {{"url", url.toStdString()}}, mSessionId, [self](const Json& reply) {
        // Only the reply to the latest navigation ends the wait.
        if (self && reply.value("id", 0) == self->mNavigationId) {
            self->mNavigating = false;
            self->Stage("committed");
        }
    });
    mNavigationId = id;
    mNavigating = id != 0;
    mLoadSeen = false;
    return mNavigating;
}

std::optional<int> ChromiumBrowser::WindowId(const std::string& targetId)
{
    const auto window = mSession->Call("Browser.getWindowForTarget", {{"targetId", targetId}}, {}, kAliveCheckMs);
    if (!window || !(*window)["windowId"].is_number_integer())
        return std::nullopt;
    return (*window)["windowId"].get<int>();
}

bool ChromiumBrowser::Visible()
{
    if (!mAlive)
        return false;
    if (mOpening) // a new window is shown as it comes
        return true;
    const auto window = mSession->Call("Browser.getWindowForTarget", {{"targetId", mTargetId}}, {}, kAliveCheckMs);
    if (!window || !(*window)["bounds"].is_object())
        return false;
    return Text((*window)["bounds"], "windowState") != "minimized";
}

bool ChromiumBrowser::SetVisible(bool visible)
{
    if (!mAlive)
        return false;
    if (mOpening)
        return visible;
    const auto windowId = WindowId(mTargetId);
    if (!windowId)
        return false;
    const Json bounds = {{"windowState", visible ? "normal" : "minimized"}};
    if (!mSession->Call("Browser.setWindowBounds", {{"windowId", *windowId}, {"bounds", bounds}}, {}, kAliveCheckMs))
        return false;
    if (visible)
        mSession->Send("Page.bringToFront", Json::object(), mSessionId);
    return true;
}

bool ChromiumBrowser::IsAlive()
{
    if (!mAlive || !mSession->IsOpen())
        return false;
    if (mOpening)
        return true;
    // The window may be gone without an event reaching us yet (or while nobody listened).
    const auto info = mSession->Call("Target.getTargetInfo", {{"targetId", mTargetId}}, {}, kAliveCheckMs);
    return info.has_value();
}

namespace {
int ReadyStateNumber(const std::string& state)
{
    if (state == "complete")
        return 4;
    if (state == "interactive")
        return 3;
    if (state == "loading")
        return 1;
    return 0;
}
} // namespace

int ChromiumBrowser::ReadyState()
{
    return ReadyState(mDomTimeoutMs);
}

int ChromiumBrowser::ReadyState(int timeoutMs)
{
    if (!mAlive || mOpening)
        return 0;
    return ReadyStateNumber(ReadInWorld(mSessionId, "document.readyState", timeoutMs));
}

std::optional<int> ChromiumBrowser::World(const std::string& sessionId, CdpContext& context, bool* known)
{
    const auto it = mWorlds.find(sessionId);
    *known = it != mWorlds.end();
    if (*known)
        return it->second;
    const auto world = context.IsolatedWorld(context.MainFrameId());
    if (world)
        mWorlds[sessionId] = *world;
    return world;
}

std::string ChromiumBrowser::ReadInWorld(const std::string& sessionId, const char* expression, int timeoutMs)
{
    CdpContext context(mSession, sessionId, timeoutMs);
    for (;;) {
        bool known = false;
        const auto world = World(sessionId, context, &known);
        const auto value = world ? context.Evaluate(expression, true, *world) : std::nullopt;
        if (value || !known)
            return value ? Text(*value, "value") : std::string();
        mWorlds.erase(sessionId); // gone with its document before we heard of it: made afresh
    }
}

std::shared_ptr<HtmlDocument> ChromiumBrowser::Document()
{
    if (!mAlive)
        return nullptr;
    if (mNavigating || mOpening) {
        mLastError = QStringLiteral("The page is still on its way");
        return nullptr;
    }
    return DocumentOf(mSessionId);
}

bool ChromiumBrowser::IsInFront(const std::string& sessionId)
{
    // Of the tabs of a window only the one in front is visible.
    return ReadInWorld(sessionId, "document.visibilityState", mDomTimeoutMs) == "visible";
}

std::shared_ptr<HtmlDocument> ChromiumBrowser::FrontDocument()
{
    if (!mAlive || mOpening)
        return nullptr;
    if (IsInFront(mSessionId))
        return Document();
    const auto window = WindowId(mTargetId);
    const auto targets = mSession->Call("Target.getTargets", Json::object(), {}, kBrowserCallMs);
    if (!window || !targets || !(*targets)["targetInfos"].is_array())
        return Document();
    for (const Json& info : (*targets)["targetInfos"]) {
        const std::string id = Text(info, "targetId");
        if (Text(info, "type") != "page" || id == mTargetId || WindowId(id) != window)
            continue;
        auto known = mOtherTabs.find(id);
        if (known == mOtherTabs.end()) {
            const auto attached
                = mSession->Call("Target.attachToTarget", {{"targetId", id}, {"flatten", true}}, {}, kBrowserCallMs);
            if (!attached)
                continue;
            known = mOtherTabs.emplace(id, Text(*attached, "sessionId")).first;
            // Its frames of other sites, as for our own tab.
            mSession->Call("Target.setAutoAttach",
                           {{"autoAttach", true}, {"waitForDebuggerOnStart", false}, {"flatten", true}}, known->second,
                           kBrowserCallMs);
        }
        if (IsInFront(known->second))
            return DocumentOf(known->second);
    }
    return Document();
}

std::shared_ptr<HtmlDocument> ChromiumBrowser::DocumentOf(const std::string& sessionId)
{
    std::weak_ptr<std::map<std::string, std::string>> frames = mFrameSessions;
    auto context = std::make_shared<CdpContext>(mSession, sessionId, mDomTimeoutMs, [frames](const std::string& id) {
        const auto map = frames.lock();
        if (!map)
            return std::string();
        const auto it = map->find(id);
        return it != map->end() ? it->second : std::string();
    });
    std::string objectId;
    for (;;) {
        bool known = false;
        const auto world = World(sessionId, *context, &known);
        const auto document = world ? context->Evaluate("document", false, *world) : std::nullopt;
        if (document && document->value("objectId", Json()).is_string())
            objectId = (*document)["objectId"].get<std::string>();
        if (!objectId.empty() || !known)
            break;
        mWorlds.erase(sessionId);
    }
    if (objectId.empty()) {
        mLastError = mSession->LastError();
        return nullptr;
    }
    return std::make_shared<CdpDocument>(std::move(context), std::move(objectId));
}

void ChromiumBrowser::OnEvent(const Json& event)
{
    if (!mAlive || mOpening)
        return;
    const std::string method = Text(event, "method");
    const std::string sessionId = Text(event, "sessionId");
    const Json params = event.contains("params") ? event["params"] : Json::object();
    if (method == "Page.frameNavigated" && IsOurSession(sessionId) && params["frame"].is_object()) {
        const Json& frame = params["frame"];
        // A new top document takes every frame of the old one with it.
        if (sessionId == mSessionId && Text(frame, "parentId").empty())
            mFrameUrls.clear();
        mFrameUrls[Text(frame, "id")] = Text(frame, "url");
    } else if (method == "Page.frameDetached" && IsOurSession(sessionId)) {
        mFrameUrls.erase(Text(params, "frameId"));
    } else if (method == "Page.frameStoppedLoading" && IsOurSession(sessionId)) {
        const auto url = mFrameUrls.find(Text(params, "frameId"));
        Q_EMIT DocumentComplete(url == mFrameUrls.end() ? QString() : QString::fromStdString(url->second));
        if (!mAlive)
            return;
    }
    if (sessionId == mSessionId) {
        if (method == "Page.loadEventFired")
            OnLoadEvent();
        else if (method == "Page.navigatedWithinDocument" && Text(params, "frameId") == mTargetId)
            Q_EMIT RouteChanged(QString::fromStdString(Text(params, "url")));
        else if (method == "Inspector.detached" || method == "Inspector.targetCrashed")
            Quit();
        return;
    }
    if (!sessionId.empty())
        return; // another page of the same connection, or a frame of ours
    if ((method == "Target.targetDestroyed" || method == "Target.targetCrashed")
        && Text(params, "targetId") == mTargetId)
        Quit();
    else if (method == "Target.detachedFromTarget" && Text(params, "sessionId") == mSessionId)
        Quit();
}

void ChromiumBrowser::OnLoadEvent()
{
    // The load event of the main frame. A page of many thousands of elements keeps its renderer busy laying
    // out for a while after it, and every call into the page would hold our thread until then: a question
    // that runs no page code is sent without waiting, and its answer, read from the event loop, says the
    // renderer is free again. A renderer that never answers gets the check all the same, later.
    mLoadSeen = true;
    const int check = ++mLoadCheck;
    const QPointer<ChromiumBrowser> self(this);
    // The timers carry no guard of their own: one whose browser is gone is dropped with it.
    const int id = mSession->Send(
        "Runtime.evaluate", {{"expression", "0"}, {"returnByValue", true}}, mSessionId, [self, check](const Json&) {
            if (ChromiumBrowser* browser = self.data())
                QTimer::singleShot(0, browser, [browser, check] { browser->CheckLoaded(check); });
        });
    if (id != 0)
        QTimer::singleShot(kLoadCheckMs, this, [this, check] { CheckLoaded(check); });
}

void ChromiumBrowser::CheckLoaded(int check)
{
    // The first of the answer and the deadline checks; the other finds the check taken.
    if (mLoadCheck != check)
        return;
    ++mLoadCheck;
    CheckLoaded();
}

void ChromiumBrowser::CheckLoaded()
{
    // The readiness check guards against a document replaced since the load event.
    if (ReadyState(std::max(mDomTimeoutMs, kLoadCheckMs)) == 4) {
        Stage("loaded");
        Q_EMIT ProgressChange(0, 0);
    }
}

void ChromiumBrowser::Quit()
{
    const bool wasAlive = mAlive;
    mAlive = false;
    if (!wasAlive || mQuitSignalled)
        return;
    mQuitSignalled = true;
    Q_EMIT OnQuit();
}
