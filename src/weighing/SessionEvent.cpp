#include "SessionEvent.h"

#include <charconv>
#include <cstdio>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::vector<std::string_view> tokens(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSpace(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isSpace(line[i]))
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool parseTime(std::string_view s, std::int64_t& out)
{
    if (s.empty())
        return false;
    const auto* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, out, 10);
    return ec == std::errc() && ptr == end && out >= 0;
}

bool parseByte(std::string_view s, std::uint8_t& out)
{
    if (s.size() < 1 || s.size() > 2)
        return false;
    unsigned value = 0;
    const auto* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, value, 16);
    if (ec != std::errc() || ptr != end || value > 0xFF)
        return false;
    out = static_cast<std::uint8_t>(value);
    return true;
}

} // namespace

SessionEvent::Parse SessionEvent::FromLine(std::string_view line, SessionEvent& out, std::string& error)
{
    const auto t = tokens(line);
    if (t.empty() || t[0].front() == '#')
        return Parse::Skip;
    if (!parseTime(t[0], out.time)) {
        error = "expected a time in milliseconds, found '" + std::string(t[0]) + "'";
        return Parse::Invalid;
    }
    if (t.size() < 2) {
        error = "missing item after the time";
        return Parse::Invalid;
    }
    const std::string_view what = t[1];
    out.bytes.clear();
    out.hold = false;
    if (what == "report") {
        out.kind = Kind::Report;
        for (std::size_t i = 2; i < t.size(); ++i) {
            std::uint8_t b = 0;
            if (!parseByte(t[i], b)) {
                error = "not a hex byte: '" + std::string(t[i]) + "'";
                return Parse::Invalid;
            }
            out.bytes.push_back(b);
        }
        return Parse::Event;
    }
    if (what == "hold") {
        if (t.size() != 3 || (t[2] != "0" && t[2] != "1")) {
            error = "hold takes 0 or 1";
            return Parse::Invalid;
        }
        out.kind = Kind::Hold;
        out.hold = t[2] == "1";
        return Parse::Event;
    }
    struct Word
    {
        std::string_view name;
        Kind kind;
    };
    static constexpr Word plain[] = {{"tare", Kind::Tare}, {"restart", Kind::Restart}, {"tick", Kind::Tick}};
    for (const auto& w : plain) {
        if (what == w.name) {
            if (t.size() != 2) {
                error = std::string(what) + " takes no arguments";
                return Parse::Invalid;
            }
            out.kind = w.kind;
            return Parse::Event;
        }
    }
    error = "unknown item '" + std::string(what) + "'";
    return Parse::Invalid;
}

std::string SessionEvent::ToLine() const
{
    std::string line = std::to_string(time);
    switch (kind) {
    case Kind::Report:
        line += " report";
        for (auto b : bytes) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", b);
            line += hex;
        }
        break;
    case Kind::Tare:
        line += " tare";
        break;
    case Kind::Hold:
        line += hold ? " hold 1" : " hold 0";
        break;
    case Kind::Restart:
        line += " restart";
        break;
    case Kind::Tick:
        line += " tick";
        break;
    }
    return line;
}
