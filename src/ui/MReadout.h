#pragma once

#include <QImage>
#include <QPoint>
#include <QString>

#include <array>

class QWidget;

// The liquid-crystal readout: unit conversion of a weight, composition of the
// readout picture from the glyphs and copying it into both display windows.
namespace MReadout {

inline constexpr double GramsPerPound = 453.5923697;
inline constexpr double GramsPerOunce = 28.349523125;
inline constexpr int ReadoutWidth = 225;
inline constexpr int ReadoutHeight = 61;

// Element 0 kilograms, 1 grams, 2 pounds, 3 ounces; which are filled depends on the
// mode (1 kg, 2 g, 3 kg + g, 4 lb, 8 oz, 12 lb + oz). Unknown modes give zeros.
std::array<double, 4> SplitWeight(double weightKg, int mode);

// Rounds to the given number of decimals, ties to the even neighbour.
double RoundHalfEven(double value, int digits);

void InitSkinLayout();
void PlaceControl(QWidget* control, QPoint position);

// Draws a weight in kilograms in the unit gUnit and refreshes both readouts.
void DrawWeight(double weightKg);
void DrawMessage(QPoint position, const QString& key);
void DrawMessage(QPoint position, int imageIndex);
void RefreshReadout();

// The composition buffer, and what was last painted at each place (the picture's
// key, or the digit image index as text), so that callers can ask what is shown.
QImage& PicHiden();
QString PaintedAt(QPoint position);

} // namespace MReadout
