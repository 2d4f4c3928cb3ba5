#pragma once

#include <iosfwd>

// `pesavo --replay FILE`: runs the engine over a recorded session on a virtual
// clock. Returns the process exit status: 0, or 2 for input it cannot parse
// (the message names the line on `err`).
class CReplay
{
public:
    static int Run(std::istream& in, std::ostream& out, std::ostream& err);
};
