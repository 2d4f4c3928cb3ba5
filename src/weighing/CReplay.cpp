#include "CReplay.h"

#include "CSessionRunner.h"

#include <istream>
#include <ostream>
#include <string>

int CReplay::Run(std::istream& in, std::ostream& out, std::ostream& err)
{
    CSessionRunner runner([&out](const std::string& line) { out << line << '\n'; });
    std::string line;
    std::string error;
    SessionEvent event;
    long long lineNo = 0;
    std::int64_t lastTime = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        switch (SessionEvent::FromLine(line, event, error)) {
        case SessionEvent::Parse::Skip:
            continue;
        case SessionEvent::Parse::Invalid:
            out.flush();
            err << "replay: line " << lineNo << ": " << error << '\n';
            return 2;
        case SessionEvent::Parse::Event:
            break;
        }
        if (event.time < lastTime) {
            out.flush();
            err << "replay: line " << lineNo << ": time " << event.time << " is before the previous line's " << lastTime
                << '\n';
            return 2;
        }
        lastTime = event.time;
        runner.Apply(event);
    }
    out.flush();
    return 0;
}
