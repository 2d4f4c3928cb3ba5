#pragma once

#include "ScaleReport.h"

#include <array>
#include <cstdint>

// A scale report as the device delivers it, by the program's own encoder.
inline std::array<std::uint8_t, 9> scaleReport(int adcCount, int calLoad = 5000, int calCount = 20000,
                                               std::uint8_t marker = 0xAB)
{
    return ScaleReport::Encode(calLoad, calCount, adcCount, marker);
}
