#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The scale's own report, the one format every part of the program reads or makes: report id, marker,
// spare byte, then CalLoad, CalCount and AdcCount as big-endian signed 16-bit numbers.
struct ScaleReport
{
    static constexpr std::size_t Size = 9;
    static constexpr std::uint8_t Marker = 0xAB;

    std::int32_t calLoad = 0;
    std::int32_t calCount = 0;
    std::int32_t adcCount = 0;

    // Numbers outside 16 bits are clamped to the nearest end.
    static std::array<std::uint8_t, Size> Encode(std::int32_t calLoad, std::int32_t calCount, std::int32_t adcCount,
                                                 std::uint8_t marker = Marker);
    // Nothing when the report is too short to hold bytes 1 to 8 or lacks the marker.
    static std::optional<ScaleReport> Decode(std::span<const std::uint8_t> report);
};
