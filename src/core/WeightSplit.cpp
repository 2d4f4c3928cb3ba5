#include "WeightSplit.h"

#include "Utility.h"

#include <algorithm>
#include <cmath>

std::array<double, 4> SplitWeight(double kg, int mode)
{
    std::array<double, 4> parts {0.0, 0.0, 0.0, 0.0};
    switch (mode) {
    case 1:
        parts[0] = Utility::RoundDigits(kg, 3);
        break;
    case 2:
        parts[1] = Utility::RoundDigits(kg * 1000.0, 0);
        break;
    case 3:
        parts[0] = std::trunc(kg);
        parts[1] = Utility::RoundDigits((kg - parts[0]) * 1000.0, 0);
        break;
    case 4:
        parts[2] = Utility::RoundDigits(kg * 1000.0 / kGramsPerPound, 3);
        break;
    case 8:
        parts[3] = Utility::RoundDigits(kg * 1000.0 / kGramsPerOunce, 1);
        break;
    case 12: {
        parts[2] = std::trunc(kg * 1000.0 / kGramsPerPound);
        parts[3] = Utility::RoundDigits((kg * 1000.0 - parts[2] * kGramsPerPound) / kGramsPerOunce, 1);
        // A remainder just under a pound rounds to 16.0 ounces: show it as the next pound. Only upwards: the
        // readout's rule carries when the ounces read "16", and -16.0 reads otherwise.
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
