#pragma once

#include <array>

// Grams per pound and per ounce, the only conversion factors the program uses.
inline constexpr double kGramsPerPound = 453.5923697;
inline constexpr double kGramsPerOunce = 28.349523125;

// Splits a weight in kilograms into {kg, g, lb, oz} for the given mode:
//   1  kg (3 decimals)          2  g (whole)            3  whole kg + remaining g
//   4  lb (3 decimals)          8  oz (1 decimal)       12 whole lb + remaining oz (1 decimal)
// Parts the mode does not produce, and every part of an unknown mode, are 0.
std::array<double, 4> SplitWeight(double kg, int mode);
