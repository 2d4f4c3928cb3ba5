#pragma once

#include "FakeDocument.h"
#include "WebBrowser.h"

#include <QPointer>
#include <QStringList>

#include <memory>

// A browser window that records where it is sent; its page is an in-memory one at the last address.
class RecordingBrowser final : public WebBrowser
{
public:
    explicit RecordingBrowser(QStringList* navigations)
        : mNavigations(navigations)
        , page(std::make_shared<FakeDocument>(&writes))
    { }
    bool Navigate(const QString& url) override
    {
        *mNavigations << url;
        page->address = url;
        return true;
    }
    bool Visible() override { return visible; }
    bool SetVisible(bool on) override { return visible = on, true; }
    bool IsAlive() override { return alive; }
    int ReadyState() override { return alive ? 4 : 0; }
    std::shared_ptr<HtmlDocument> Document() override { return alive ? page : nullptr; }
    QString LastError() const override { return QString(); }

    // The person closes the window.
    void Close()
    {
        alive = false;
        Q_EMIT OnQuit();
    }

    QStringList* mNavigations;
    QStringList writes;
    std::shared_ptr<FakeDocument> page;
    bool visible = false;
    bool alive = true;
};

// A browser factory's windows, and every address any of them was sent to, in order. While `refusal` is
// not null no window can be started, and that is the reason given.
struct RecordingBrowsers
{
    QStringList navigations;
    QList<QPointer<RecordingBrowser>> made;
    QString refusal;

    std::unique_ptr<WebBrowser> Make(QString* error)
    {
        if (!refusal.isNull()) {
            *error = refusal;
            return nullptr;
        }
        auto browser = std::make_unique<RecordingBrowser>(&navigations);
        made << browser.get();
        return browser;
    }
    RecordingBrowser* Last() const { return made.isEmpty() ? nullptr : made.last().data(); }
};
