#include "AppState.h"

#include "IniFile.h"
#include "UsbDevice.h"
#include "WebBrowser.h"

namespace {
std::unique_ptr<AppState>& Slot()
{
    static std::unique_ptr<AppState> state;
    return state;
}
} // namespace

AppState::AppState() = default;
AppState::~AppState() = default;

AppState& AppState::Instance()
{
    auto& slot = Slot();
    if (!slot)
        slot = std::make_unique<AppState>();
    return *slot;
}

void AppState::Reset()
{
    Slot() = std::make_unique<AppState>();
}
