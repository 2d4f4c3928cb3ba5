#include "WeightSplit.h"

#include "Utility.h"

#include <algorithm>
#include <cmath>

std::array<double, 4> SplitWeight(double kg, int mode)
{
    std::array<double, 4> parts {0.0, 0.0, 0.0, 0.0};
    switch (mode) {
    case SplitMode::Kg:
        parts[SplitPart::Kg] = Utility::RoundDigits(kg, 3);
        break;
    case SplitMode::G:
        parts[SplitPart::G] = Utility::RoundDigits(kg * 1000.0, 0);
        break;
    case SplitMode::KgG:
        parts[SplitPart::Kg] = std::trunc(kg);
        parts[SplitPart::G] = Utility::RoundDigits((kg - parts[SplitPart::Kg]) * 1000.0, 0);
        break;
    case SplitMode::Lb:
        parts[SplitPart::Lb] = Utility::RoundDigits(kg * 1000.0 / kGramsPerPound, 3);
        break;
    case SplitMode::Oz:
        parts[SplitPart::Oz] = Utility::RoundDigits(kg * 1000.0 / kGramsPerOunce, 1);
        break;
    case SplitMode::LbOz: {
        parts[SplitPart::Lb] = std::trunc(kg * 1000.0 / kGramsPerPound);
        parts[SplitPart::Oz]
            = Utility::RoundDigits((kg * 1000.0 - parts[SplitPart::Lb] * kGramsPerPound) / kGramsPerOunce, 1);
        // A remainder just under a pound rounds to 16.0 ounces: show it as the next pound. Only upwards: the
        // readout's rule carries when the ounces read "16", and -16.0 reads otherwise.
        if (parts[SplitPart::Oz] == 16.0) {
            parts[SplitPart::Lb] += 1.0;
            parts[SplitPart::Oz] = 0.0;
        }
        break;
    }
    default:
        break;
    }
    return parts;
}
