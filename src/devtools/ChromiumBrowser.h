#pragma once

#include "BrowserLaunchOptions.h"
#include "WebBrowser.h"

#include <QElapsedTimer>

#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

class CdpContext;
class DevToolsSession;

// Our one page (tab or window) in a Chromium-family browser, driven over DevTools.
// Release it with deleteLater() when handling its own OnQuit.
class ChromiumBrowser final : public WebBrowser
{
    Q_OBJECT
public:
    // Connects to the running browser (starting it when needed) and takes our page: the one a previous
    // run of Pesavo used if it is still open, else the first tab of a browser we just started, else a
    // new window. Never nullptr; when it failed, IsAlive() is false and LastError() says why.
    // A new window is asked for and waited for (Wait), or asked for in the background (see OpenNewWindow).
    enum class Opening
    {
        Wait,
        InBackground,
    };
    static std::unique_ptr<ChromiumBrowser> Launch(const BrowserLaunchOptions& options, QObject* parent = nullptr,
                                                   Opening opening = Opening::Wait);

    // A page on a connection that is already open: a new one, or an existing target.
    explicit ChromiumBrowser(std::shared_ptr<DevToolsSession> session, QObject* parent = nullptr);
    ~ChromiumBrowser() override;
    bool OpenNewPage(bool newWindow);
    // Asks for a new window and returns without waiting for the browser to make it (a window takes it a
    // few hundred milliseconds on a small machine); the page is attached from the event loop when it is
    // there. Until then the page counts as alive and visible, a navigation waits for it and there is no
    // document yet; when the browser refuses, LastError() says why and OnQuit follows. False when nothing
    // could be asked.
    bool OpenNewWindow();
    bool AttachTo(const std::string& targetId);
    // Closes our page, as the user closing its tab would.
    bool ClosePage();

    bool Navigate(const QString& url) override;
    bool Visible() override;
    bool SetVisible(bool visible) override;
    bool IsAlive() override;
    int ReadyState() override;
    std::shared_ptr<HtmlDocument> Document() override;
    std::shared_ptr<HtmlDocument> FrontDocument() override;
    QString LastError() const override { return mLastError; }

    const std::string& TargetId() const { return mTargetId; }
    const std::string& SessionId() const { return mSessionId; }
    const std::shared_ptr<DevToolsSession>& Session() const { return mSession; }
    // Deadline of each document or element operation.
    void SetDomTimeout(int ms) { mDomTimeoutMs = ms; }
    // How far the launch has come: milliseconds from the start of Launch (or of OpenNewPage) to each stage
    // reached, in order: "keeper" (its socket took us), "browser" (first answer), "target" (our page attached),
    // "committed" (the navigation's document), "loaded" (the load checked complete).
    using Stages = std::vector<std::pair<const char*, qint64>>;
    const Stages& LaunchStages() const { return mStages; }

private:
    void OnEvent(const nlohmann::json& event);
    // Frames of other sites run in processes of their own: each is attached as a target as soon as it
    // exists, so a document read can reach into it. Seen inline, before any reply that waits on it.
    bool OnFrameTarget(const nlohmann::json& event);
    bool IsOurSession(const std::string& sessionId) const;
    void OnLoadEvent();
    void CheckLoaded();
    void CheckLoaded(int check);
    void PageEnabled();
    void Quit();
    std::optional<int> WindowId(const std::string& targetId);
    int ReadyState(int timeoutMs);
    std::shared_ptr<HtmlDocument> DocumentOf(const std::string& sessionId);
    bool IsInFront(const std::string& sessionId);
    // A document property read in a world of ours in the top frame of the session, so that the page
    // cannot answer for the browser; empty when it cannot be read.
    std::string ReadInWorld(const std::string& sessionId, const char* expression, int timeoutMs);
    // That world's context id, made once per document of the session's top frame; *known when it was kept
    // from before (and may have gone with its document since).
    std::optional<int> World(const std::string& sessionId, CdpContext& context, bool* known);

    void Stage(const char* name);
    void FinishOpening(const std::string& targetId, const QString& error);

    std::shared_ptr<DevToolsSession> mSession;
    QElapsedTimer mClock;
    Stages mStages;
    std::string mTargetId;
    std::string mSessionId;
    bool mAlive = false;
    bool mQuitSignalled = false;
    // From our Page.navigate until its reply (the new document committed, or the navigation failed): the
    // document shown meanwhile is on its way out, and one whose server never answers would hold every call
    // into it for the call's whole deadline.
    bool mNavigating = false;
    bool mOpening = false; // a window asked for, not yet attached
    QString mPendingUrl; // where the window goes once it is there
    int mNavigationId = 0;
    bool mPageEnabled = false; // the page's events are on
    bool mLoadSeen = false; // a load of the latest navigation was seen or checked
    int mLoadCheck = 0; // the load event whose check is awaited; a later one replaces it
    int mDomTimeoutMs = 2000;
    QString mLastError;
    int mInterceptor = -1;
    // Frame (target) id -> session of the frames in other processes, shared with the documents read.
    std::shared_ptr<std::map<std::string, std::string>> mFrameSessions
        = std::make_shared<std::map<std::string, std::string>>();
    std::map<std::string, std::string> mFrameUrls; // frame id -> address, for DocumentComplete
    std::map<std::string, int> mWorlds; // session -> our world in its current top document
    std::map<std::string, std::string> mOtherTabs; // target id -> our session, tabs beside ours we looked at
};
