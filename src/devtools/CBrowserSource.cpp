#include "CBrowserSource.h"

#include "BrowserConnection.h"
#include "ChromiumBrowser.h"
#include "DevToolsSession.h"

#include <utility>

namespace {

std::unique_ptr<WebBrowser> Failed(QString* error, const QString& why)
{
    if (error)
        *error = why.isEmpty() ? WebBrowser::NoBrowserMessage() : why;
    return nullptr;
}

} // namespace

CBrowserSource::CBrowserSource(BrowserLaunchOptions options)
    : mOptions(std::move(options))
{ }

CBrowserSource::~CBrowserSource() = default;

bool CBrowserSource::IsConnected() const
{
    return mSession && mSession->IsOpen();
}

std::unique_ptr<WebBrowser> CBrowserSource::OpenPage(WebPageUse, QString* error)
{
    if (IsConnected()) {
        auto page = std::make_unique<ChromiumBrowser>(mSession);
        if (!page->OpenNewWindow())
            return Failed(error, page->LastError());
        return page;
    }
    mSession.reset();
    // A browser started just now brings a window of its own: every use takes that one, so the user meets a
    // single window whatever opened it. A browser an earlier run left keeps its windows; we open ours beside.
    auto page = ChromiumBrowser::Launch(mOptions, nullptr, ChromiumBrowser::Opening::InBackground);
    if (!page->IsAlive())
        return Failed(error, page->LastError());
    mSession = page->Session();
    return page;
}

bool CBrowserSource::PrepareBrowser(QString* error)
{
    if (IsConnected() || BrowserConnection::IsListening(mOptions.socketPath))
        return true;
    mSession.reset();
    BrowserLaunchOptions prepared = mOptions;
    prepared.windowless = true;
    prepared.windowlessExitMs = mPreparedIdleMs;
    QString why;
    if (BrowserConnection::StartKeeper(prepared, &why))
        return true;
    if (error)
        *error = why;
    return false;
}
