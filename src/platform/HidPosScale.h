#pragma once

#include <QByteArray>

#include <cstdint>

// Standard USB point-of-sale scales (HID usage page 0x8D), the kind most postal
// scales on desks are, read through the same weighing engine as our own scale.
//
// Their weight report (report id 3, on some models 9) is status, unit, a signed
// decimal exponent and a 16-bit little-endian weight. Translate() turns each one
// into the engine's report: the calibration of the scale the engine was made for
// (5000 g over 20000 counts, a quarter gram a count) and the weight as counts.
// Keeping that calibration keeps the engine's over-capacity and overload limits,
// which it reckons in that scale's counts, where they belong.
class HidPosScale final
{
public:
    static constexpr std::uint32_t UsagePage = 0x8D;
    static constexpr int CalLoadGrams = 5000;
    static constexpr int CalCount = 20000;
    // What a scale past its range (or faulty) is given: the top of the count
    // range, as a load cell beyond its range saturates, so the engine raises its
    // overload error as it would for our own scale.
    static constexpr int SaturatedCount = 32767;

    // Scale Status selectors, numbered from 1 as the scale sends them.
    enum Status : std::uint8_t
    {
        Fault = 1,
        StableAtZero = 2,
        InMotion = 3,
        Stable = 4,
        UnderZero = 5,
        OverWeight = 6,
        NeedsCalibration = 7,
        NeedsRezero = 8,
    };
    // Weight Unit selectors, numbered from 1.
    enum Unit : std::uint8_t
    {
        Milligram = 1,
        Gram = 2,
        Kilogram = 3,
        Carat = 4,
        Grain = 6,
        TroyOunce = 10,
        Ounce = 11,
        Pound = 12,
    };

    // The scale was (re)opened: the first report after this may be one the scale
    // kept from before and is not used.
    void Reset() { mFirstReport = true; }

    // The engine's report (report-id byte 0 first) for one report as read, its id
    // byte first; empty when the report carries no weight to use: another report,
    // a report cut short, the stale first one, an unknown status or unit (a scale
    // that has just woken sends all zeros, which is not a stable 0).
    QByteArray Translate(const QByteArray& report);

    // A weight report as a scale sends it, for the simulated scale and the tests.
    static QByteArray MakeReport(int reportId, int status, int unit, int exponent, int weight);
    // Grams in one unit; 0 for a unit we do not know.
    static double UnitGrams(int unit);

private:
    bool mFirstReport = true;
};
