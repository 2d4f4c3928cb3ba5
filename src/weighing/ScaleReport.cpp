#include "ScaleReport.h"

#include <algorithm>

namespace {

void PutInt16(std::array<std::uint8_t, ScaleReport::Size>& report, std::size_t at, std::int32_t value)
{
    const auto bits = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(value, -32768, 32767)));
    report[at] = static_cast<std::uint8_t>(bits >> 8);
    report[at + 1] = static_cast<std::uint8_t>(bits & 0xFF);
}

std::int32_t GetInt16(std::uint8_t high, std::uint8_t low)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((high << 8) | low));
}

} // namespace

std::array<std::uint8_t, ScaleReport::Size> ScaleReport::Encode(std::int32_t calLoad, std::int32_t calCount,
                                                                std::int32_t adcCount, std::uint8_t marker)
{
    std::array<std::uint8_t, Size> report {};
    report[1] = marker;
    PutInt16(report, 3, calLoad);
    PutInt16(report, 5, calCount);
    PutInt16(report, 7, adcCount);
    return report;
}

std::optional<ScaleReport> ScaleReport::Decode(std::span<const std::uint8_t> report)
{
    if (report.size() < Size || report[1] != Marker)
        return std::nullopt;
    return ScaleReport {GetInt16(report[3], report[4]), GetInt16(report[5], report[6]), GetInt16(report[7], report[8])};
}
