#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One input of a weighing session, as recorded by --record and read by --replay:
//   <ms> report <hex bytes> | <ms> tare | <ms> hold <0|1> | <ms> restart | <ms> tick
struct SessionEvent
{
    enum class Kind
    {
        Report,
        Tare,
        Hold,
        Restart,
        Tick
    };

    std::int64_t time = 0;
    Kind kind = Kind::Tick;
    std::vector<std::uint8_t> bytes; // Report only
    bool hold = false; // Hold only

    enum class Parse
    {
        Event,
        Skip,
        Invalid
    };
    // Blank lines and lines starting with '#' give Skip; anything else that is not
    // one well-formed item gives Invalid with a reason in `error`.
    static Parse FromLine(std::string_view line, SessionEvent& out, std::string& error);

    std::string ToLine() const;
};
