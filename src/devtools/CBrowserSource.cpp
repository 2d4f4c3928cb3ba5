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
        if (!page->OpenNewPage(!mOptions.headless))
            return Failed(error, page->LastError());
        return page;
    }
    mSession.reset();
    // A browser started just now brings a window of its own: every use takes that one, so the user meets a
    // single window whatever opened it. A browser an earlier run left keeps its windows; we open ours beside.
    auto page = ChromiumBrowser::Launch(mOptions);
    if (!page->IsAlive())
        return Failed(error, page->LastError());
    mSession = page->Session();
    return page;
}
