#pragma once

#include <array>
#include <cstdint>

// A scale report as the device delivers it: report id, marker, spare byte, then
// CalLoad, CalCount and AdcCount as big-endian signed 16-bit numbers.
inline std::array<std::uint8_t, 9> scaleReport(int adcCount, int calLoad = 5000, int calCount = 20000,
                                               std::uint8_t marker = 0xAB)
{
    auto hi = [](int v) {
        return static_cast<std::uint8_t>((v >> 8) & 0xFF);
    };
    auto lo = [](int v) {
        return static_cast<std::uint8_t>(v & 0xFF);
    };
    return {0x00, marker, 0x00, hi(calLoad), lo(calLoad), hi(calCount), lo(calCount), hi(adcCount), lo(adcCount)};
}
