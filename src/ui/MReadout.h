#pragma once

#include "WeightSplit.h"

#include <QImage>
#include <QPoint>
#include <QString>

#include <array>

class QWidget;

// The liquid-crystal readout: unit conversion of a weight, composition of the
// readout picture from the glyphs and copying it into both display windows.
namespace MReadout {

inline constexpr double GramsPerPound = kGramsPerPound;
inline constexpr double GramsPerOunce = kGramsPerOunce;

using ::SplitWeight;

void InitSkinLayout();
void PlaceControl(QWidget* control, QPoint position);

// Draws a weight in kilograms in the chosen unit and refreshes both readouts.
void DrawWeight(double weightKg);
void DrawMessage(QPoint position, const QString& key);
void DrawMessage(QPoint position, int imageIndex);
void RefreshReadout();

// The composition buffer ("picHiden": the hidden picture the readout is composed on before it is shown),
// and what was last painted at each place (the picture's
// key, or the digit image index as text), so that callers can ask what is shown.
QImage& PicHiden();
QString PaintedAt(QPoint position);

} // namespace MReadout
