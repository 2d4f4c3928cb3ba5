#pragma once

#include "HtmlDocument.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

// The browser window we drive. All calls are synchronous on the UI thread, each with a deadline.
// What a browser page is opened for: the web launcher's page, the unit converter's own, or the window in
// which the user shows the add-page wizard the page to teach.
enum class WebPageUse
{
    Launcher,
    Converter,
    AddPage,
};

class WebBrowser : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // What the user is told when no browser could be started and nothing says why.
    static QString NoBrowserMessage() { return QStringLiteral("No web browser could be started."); }
    // Only documents are opened or recorded: http, https and file addresses, and the blank page. Any other
    // scheme (javascript:, data:) runs in the site the window shows, or hides where it really came from.
    static bool IsNavigable(const QString& url)
    {
        const QUrl address(url);
        const QString scheme = address.scheme().toLower();
        return (scheme == QStringLiteral("http") || scheme == QStringLiteral("https")
                || scheme == QStringLiteral("file")
                || (scheme == QStringLiteral("about") && address.path() == QStringLiteral("blank")))
            && address.isValid();
    }
    // Lets go of `browser` and its connections to `receiver`. Inside one of the browser's own signals
    // the object must outlive the emit, so it is deleted by the event loop afterwards.
    static void Release(std::unique_ptr<WebBrowser>& browser, QObject* receiver, bool insideBrowserSignal)
    {
        if (!browser)
            return;
        browser->disconnect(receiver);
        if (insideBrowserSignal)
            browser.release()->deleteLater();
        else
            browser.reset();
    }

    virtual bool Navigate(const QString& url) = 0; // starts navigation, does not wait for the load
    virtual bool Visible() = 0;
    virtual bool SetVisible(bool visible) = 0;
    virtual bool IsAlive() = 0; // whether our page and its window still exist: false once the user closed them
    virtual int ReadyState() = 0; // 4 = complete, 0 when unknown/gone
    virtual std::shared_ptr<HtmlDocument> Document() = 0; // the current top document; nullptr when gone
    // The top document of the tab in front of our window: ours, or a tab the user opened beside it.
    virtual std::shared_ptr<HtmlDocument> FrontDocument() { return Document(); }
    virtual QString LastError() const = 0;
Q_SIGNALS:
    void ProgressChange(int progress, int progressMax); // (0, 0) after a completed load of the main frame
    void OnQuit(); // our page closed or the browser gone
    // A document of our page finished loading: the top one or any frame's, of any origin.
    void DocumentComplete(const QString& url);
    // The top document moved to another address without loading (history.pushState, a new #fragment): what a
    // single-page app does instead of loading its next page.
    void RouteChanged(const QString& url);
};
