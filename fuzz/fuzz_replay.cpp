// libFuzzer target: any bytes as a recorded session for `--replay`. Every line must parse to an
// event that writes back as a line reading the same, or be refused with a reason; the whole
// replay must end (no crash, no endless loop however far apart the times are).
#include "CReplay.h"
#include "SessionEvent.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (start <= input.size()) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos)
            end = input.size();
        const std::string_view line = input.substr(start, end - start);
        start = end + 1;
        SessionEvent event;
        std::string error;
        switch (SessionEvent::FromLine(line, event, error)) {
        case SessionEvent::Parse::Event: {
            SessionEvent again;
            std::string error2;
            Check(SessionEvent::FromLine(event.ToLine(), again, error2) == SessionEvent::Parse::Event);
            Check(again.time == event.time && again.kind == event.kind && again.bytes == event.bytes
                  && again.hold == event.hold);
            Check(again.ToLine() == event.ToLine());
            break;
        }
        case SessionEvent::Parse::Invalid:
            Check(!error.empty());
            break;
        case SessionEvent::Parse::Skip:
            break;
        }
    }
    std::istringstream in {std::string(input)};
    std::ostringstream out;
    std::ostringstream err;
    const int status = CReplay::Run(in, out, err);
    Check(status == 0 || (status == 2 && !err.str().empty()));
    return 0;
}
