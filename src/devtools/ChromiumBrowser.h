#pragma once

#include "BrowserLaunchOptions.h"
#include "WebBrowser.h"

#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

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
    static std::unique_ptr<ChromiumBrowser> Launch(const BrowserLaunchOptions& options, QObject* parent = nullptr);

    // A page on a connection that is already open: a new one, or an existing target.
    explicit ChromiumBrowser(std::shared_ptr<DevToolsSession> session, QObject* parent = nullptr);
    ~ChromiumBrowser() override;
    bool OpenNewPage(bool newWindow);
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

private:
    void OnEvent(const nlohmann::json& event);
    // Frames of other sites run in processes of their own: each is attached as a target as soon as it
    // exists, so a document read can reach into it. Seen inline, before any reply that waits on it.
    bool OnFrameTarget(const nlohmann::json& event);
    bool IsOurSession(const std::string& sessionId) const;
    void OnLoadEvent();
    void Quit();
    std::optional<int> WindowId(const std::string& targetId);
    int ReadyState(int timeoutMs);
    std::shared_ptr<HtmlDocument> DocumentOf(const std::string& sessionId);
    bool IsInFront(const std::string& sessionId);
    // A document property read in a world of ours in the top frame of the session, so that the page
    // cannot answer for the browser; empty when it cannot be read.
    std::string ReadInWorld(const std::string& sessionId, const char* expression, int timeoutMs);

    std::shared_ptr<DevToolsSession> mSession;
    std::string mTargetId;
    std::string mSessionId;
    bool mAlive = false;
    bool mQuitSignalled = false;
    // From our Page.navigate until its reply (the new document committed, or the navigation failed): the
    // document shown meanwhile is on its way out, and one whose server never answers would hold every call
    // into it for the call's whole deadline.
    bool mNavigating = false;
    int mNavigationId = 0;
    int mDomTimeoutMs = 2000;
    QString mLastError;
    int mInterceptor = -1;
    // Frame (target) id -> session of the frames in other processes, shared with the documents read.
    std::shared_ptr<std::map<std::string, std::string>> mFrameSessions
        = std::make_shared<std::map<std::string, std::string>>();
    std::map<std::string, std::string> mFrameUrls; // frame id -> address, for DocumentComplete
    std::map<std::string, std::string> mOtherTabs; // target id -> our session, tabs beside ours we looked at
};
