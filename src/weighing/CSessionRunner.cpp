#include "CSessionRunner.h"

#include <cstdlib>

CSessionRunner::CSessionRunner(std::function<void(const std::string&)> output)
    : mOutput(std::move(output))
    , mEngine(mTimer)
{
    mEngine.StatusChange = [this](std::int32_t& code) {
        Emit("status", std::to_string(code));
    };
    mEngine.ScaleError = [this](std::int32_t& code) {
        Emit("error", std::to_string(code));
    };
}

std::string CSessionRunner::FormatWeight(std::int32_t grams)
{
    const std::int64_t g = grams;
    const std::int64_t whole = std::llabs(g) / 1000;
    const std::int64_t frac = std::llabs(g) % 1000;
    std::string out = g < 0 ? "-" : "";
    out += std::to_string(whole);
    out += '.';
    if (frac < 100)
        out += '0';
    if (frac < 10)
        out += '0';
    out += std::to_string(frac);
    return out;
}

void CSessionRunner::Emit(const char* what, const std::string& value)
{
    if (mOutput)
        mOutput(std::to_string(mTimer.Now()) + ' ' + what + ' ' + value);
}

void CSessionRunner::Apply(const SessionEvent& event)
{
    mTimer.AdvanceTo(event.time);
    switch (event.kind) {
    case SessionEvent::Kind::Report:
        mEngine.NewData(event.bytes);
        // Read the way the main window reads it after every report.
        Emit("weight", FormatWeight(mEngine.WeightGrams()));
        break;
    case SessionEvent::Kind::Tare:
        mEngine.Tare();
        break;
    case SessionEvent::Kind::Hold:
        mEngine.SetHold(event.hold);
        Emit("hold", mEngine.Hold() ? "1" : "0");
        break;
    case SessionEvent::Kind::Restart:
        mEngine.InitCnt = 0;
        break;
    case SessionEvent::Kind::Tick:
        break;
    }
}
