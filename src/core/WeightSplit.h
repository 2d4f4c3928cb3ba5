#pragma once

#include <array>

// Grams per pound and per ounce, the only conversion factors the program uses.
inline constexpr double kGramsPerPound = 453.5923697;
inline constexpr double kGramsPerOunce = 28.349523125;

// The forms SplitWeight gives a weight in. The values are the unit masks of recorded pages (kg 1, g 2,
// lb 4, oz 8) added up, which is how user pages ask for a form.
namespace SplitMode {
enum : int
{
    Kg = 1, // kg, 3 decimals
    G = 2, // g, whole
    KgG = 3, // whole kg and the remaining g
    Lb = 4, // lb, 3 decimals
    Oz = 8, // oz, 1 decimal
    LbOz = 12, // whole lb and the remaining oz, 1 decimal
};
} // namespace SplitMode

// Where each unit stands in SplitWeight's result.
namespace SplitPart {
enum : int
{
    Kg = 0,
    G = 1,
    Lb = 2,
    Oz = 3,
};
} // namespace SplitPart

// Splits a weight in kilograms into {kg, g, lb, oz} for the given mode (a SplitMode value).
// Parts the mode does not produce, and every part of an unknown mode, are 0.
std::array<double, 4> SplitWeight(double kg, int mode);
