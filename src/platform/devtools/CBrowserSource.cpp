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

std::unique_ptr<WebBrowser> CBrowserSource::OpenPage(WebPageUse use, QString* error)
{
    if (IsConnected()) {
        auto page = std::make_unique<ChromiumBrowser>(mSession);
        if (!page->OpenNewPage(!mOptions.headless))
            return Failed(error, page->LastError());
        return page;
    }
    mSession.reset();
    if (use == WebPageUse::Launcher) {
        // Takes the carrier page a previous run left open, or the first tab of a browser just started.
        auto page = ChromiumBrowser::Launch(mOptions);
        if (!page->IsAlive())
            return Failed(error, page->LastError());
        mSession = page->Session();
        return page;
    }
    BrowserConnection::Result connection = BrowserConnection::Open(mOptions);
    if (!connection.session)
        return Failed(error, connection.error);
    mSession = connection.session;
    auto page = std::make_unique<ChromiumBrowser>(mSession);
    if (!page->OpenNewPage(!mOptions.headless))
        return Failed(error, page->LastError());
    return page;
}
