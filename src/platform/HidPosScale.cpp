#include "HidPosScale.h"

#include "ScaleReport.h"

#include <algorithm>
#include <cmath>

namespace {

// The engine's own report for a reading in counts of the calibration the adapter reports in.
QByteArray EngineReport(int counts)
{
    const auto report = ScaleReport::Encode(HidPosScale::CalLoadGrams, HidPosScale::CalCount, counts);
    return QByteArray(reinterpret_cast<const char*>(report.data()), qsizetype(report.size()));
}

constexpr int ReportBytes = 6; // id, status, unit, exponent, weight low, weight high
// Exponents beyond this are no real scale's; such a report is not used.
constexpr int MaxExponent = 9;

} // namespace

double HidPosScale::UnitGrams(int unit)
{
    switch (unit) {
    case Milligram:
        return 0.001;
    case Gram:
        return 1.0;
    case Kilogram:
        return 1000.0;
    case Carat:
        return 0.2;
    case Grain:
        return 0.06479891;
    case TroyOunce:
        return 31.1034768;
    case Ounce:
        return 28.349523125;
    case Pound:
        return 453.59237;
    default:
        return 0.0;
    }
}

QByteArray HidPosScale::Translate(const QByteArray& report)
{
    if (report.size() < ReportBytes)
        return {};
    const auto id = std::uint8_t(report[0]);
    // Id 0: a scale without numbered reports.
    if (id != 0 && id != 3 && id != 9)
        return {};
    if (mFirstReport) {
        mFirstReport = false;
        return {};
    }
    const auto status = std::uint8_t(report[1]);
    const auto unit = std::uint8_t(report[2]);
    // The exponent is a signed byte: 0xFF is -1.
    const int rawExponent = std::uint8_t(report[3]);
    const int exponent = rawExponent > 127 ? rawExponent - 256 : rawExponent;
    const int weight = std::uint8_t(report[4]) | (std::uint8_t(report[5]) << 8);

    double grams = 0.0;
    switch (status) {
    case StableAtZero:
        break;
    case InMotion:
    case Stable:
    case UnderZero: {
        const double unitGrams = UnitGrams(unit);
        if (unitGrams == 0.0 || std::abs(exponent) > MaxExponent)
            return {};
        grams = weight * std::pow(10.0, exponent) * unitGrams;
        // Under zero the weight is sent as its size, without sign.
        if (status == UnderZero)
            grams = -std::abs(grams);
        break;
    }
    case Fault:
    case OverWeight:
    case NeedsCalibration:
    case NeedsRezero:
        return EngineReport(SaturatedCount);
    default:
        return {};
    }
    const double counts = std::clamp(std::nearbyint(grams * CalCount / CalLoadGrams), -32768.0, 32767.0);
    return EngineReport(int(counts));
}

QByteArray HidPosScale::MakeReport(int reportId, int status, int unit, int exponent, int weight)
{
    QByteArray report(ReportBytes, '\0');
    report[0] = char(reportId);
    report[1] = char(status);
    report[2] = char(unit);
    report[3] = char(std::int8_t(exponent));
    report[4] = char(weight & 0xFF);
    report[5] = char((weight >> 8) & 0xFF);
    return report;
}
