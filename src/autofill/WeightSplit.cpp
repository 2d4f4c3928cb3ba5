#include "WeightSplit.h"

#include <algorithm>
#include <cmath>

double RoundHalfEven(double value, int digits)
{
    if (!std::isfinite(value))
        return value;
    const double scale = std::pow(10.0, digits);
    const double scaled = value * scale;
    // Ties are judged on the decimal number, not on its binary neighbour: 0.35 and 2.675 sit a
    // hair below the tie in binary, 1.2355 a hair above it, yet all three are ties to round to
    // even. Anything within a few units of the last place of the tie counts as the tie.
    const double floorPart = std::floor(scaled);
    const double distance = scaled - floorPart - 0.5;
    double whole;
    if (std::abs(distance) <= 1e-9 * std::max(1.0, std::abs(scaled)))
        whole = std::fmod(floorPart, 2.0) == 0.0 ? floorPart : floorPart + 1.0;
    else
        whole = std::nearbyint(scaled);
    // Dividing a whole number by a power of ten gives the double nearest to the decimal result,
    // so a page shows it as short decimal text.
    return whole / scale;
}

std::array<double, 4> SplitWeight(double kg, int mode)
{
    std::array<double, 4> parts {0.0, 0.0, 0.0, 0.0};
    switch (mode) {
    case 1:
        parts[0] = RoundHalfEven(kg, 3);
        break;
    case 2:
        parts[1] = RoundHalfEven(kg * 1000.0, 0);
        break;
    case 3:
        parts[0] = std::trunc(kg);
        parts[1] = RoundHalfEven((kg - parts[0]) * 1000.0, 0);
        break;
    case 4:
        parts[2] = RoundHalfEven(kg * 1000.0 / kGramsPerPound, 3);
        break;
    case 8:
        parts[3] = RoundHalfEven(kg * 1000.0 / kGramsPerOunce, 1);
        break;
    case 12: {
        parts[2] = std::trunc(kg * 1000.0 / kGramsPerPound);
        parts[3] = RoundHalfEven((kg * 1000.0 - parts[2] * kGramsPerPound) / kGramsPerOunce, 1);
        // A remainder just under a pound rounds to 16.0 ounces: show it as the next pound.
        if (parts[3] == 16.0) {
            parts[2] += 1.0;
            parts[3] = 0.0;
        }
        break;
    }
    default:
        break;
    }
    return parts;
}
