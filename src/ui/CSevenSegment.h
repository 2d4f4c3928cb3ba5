#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

// Geometry of one slanted seven-segment digit. Kept apart from the pictures so
// the segment table can be checked on its own and reused at any size (readout
// glyphs, tray pictogram).
class CSevenSegment final
{
public:
    // Bit i is segment i: a top, b upper right, c lower right, d bottom,
    // e lower left, f upper left, g middle.
    enum Segment : unsigned
    {
        A = 1u << 0,
        B = 1u << 1,
        C = 1u << 2,
        D = 1u << 3,
        E = 1u << 4,
        F = 1u << 5,
        G = 1u << 6
    };
    static constexpr unsigned AllSegments = 0x7Fu;

    // The lit segments of a decimal digit; anything but 0..9 lights nothing.
    static unsigned SegmentsOf(int digit);

    // The outline of one segment (index 0..6) of a digit filling box, with
    // strokes of the given thickness, leaning right by slant (x shift per unit
    // of height). The box already has room for the lean.
    static QPainterPath SegmentPath(int segment, const QRectF& box, qreal thickness, qreal slant);

    struct Style
    {
        QColor lit;
        QColor unlit; // the faint ghost of the dark segments
        QColor shadow; // cast by lit segments onto the backplane; invalid for none
        qreal thickness = 3.0;
        qreal slant = 0.1;
    };
    // Paints every segment: those in litMask in the lit colour, the rest as ghosts.
    static void Paint(QPainter& painter, const QRectF& box, unsigned litMask, const Style& style);
};
