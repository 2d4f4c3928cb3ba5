#include "CSevenSegment.h"

#include <QPainter>
#include <QPolygonF>
#include <QTransform>

#include <array>

unsigned CSevenSegment::SegmentsOf(int digit)
{
    static constexpr std::array<unsigned, 10> table {
        A | B | C | D | E | F, // 0
        B | C, // 1
        A | B | D | E | G, // 2
        A | B | C | D | G, // 3
        B | C | F | G, // 4
        A | C | D | F | G, // 5
        A | C | D | E | F | G, // 6
        A | B | C, // 7
        A | B | C | D | E | F | G, // 8
        A | B | C | D | F | G, // 9
    };
    if (digit < 0 || digit > 9)
        return 0;
    return table[static_cast<std::size_t>(digit)];
}

namespace {

// A bar with pointed ends from (x0, y) to (x1, y), or from (x, y0) to (x, y1).
QPolygonF HorizontalBar(qreal x0, qreal x1, qreal y, qreal t)
{
    const qreal h = t / 2;
    return QPolygonF({{x0, y}, {x0 + h, y - h}, {x1 - h, y - h}, {x1, y}, {x1 - h, y + h}, {x0 + h, y + h}});
}

QPolygonF VerticalBar(qreal x, qreal y0, qreal y1, qreal t)
{
    const qreal h = t / 2;
    return QPolygonF({{x, y0}, {x + h, y0 + h}, {x + h, y1 - h}, {x, y1}, {x - h, y1 - h}, {x - h, y0 + h}});
}

} // namespace

QPainterPath CSevenSegment::SegmentPath(int segment, const QRectF& box, qreal thickness, qreal slant)
{
    const qreal t = thickness;
    const qreal lean = slant * box.height();
    // The upright digit occupies the box minus the lean; the shear then tilts it.
    const qreal w = box.width() - lean;
    const qreal hgt = box.height();
    const qreal gap = qMax<qreal>(0.5, t * 0.18); // the hairline between neighbouring segments
    const qreal left = t / 2;
    const qreal right = w - t / 2;
    const qreal top = t / 2;
    const qreal bottom = hgt - t / 2;
    const qreal mid = hgt / 2;

    QPolygonF bar;
    switch (segment) {
    case 0:
        bar = HorizontalBar(left + gap, right - gap, top, t);
        break;
    case 1:
        bar = VerticalBar(right, top + gap, mid - gap, t);
        break;
    case 2:
        bar = VerticalBar(right, mid + gap, bottom - gap, t);
        break;
    case 3:
        bar = HorizontalBar(left + gap, right - gap, bottom, t);
        break;
    case 4:
        bar = VerticalBar(left, mid + gap, bottom - gap, t);
        break;
    case 5:
        bar = VerticalBar(left, top + gap, mid - gap, t);
        break;
    case 6:
        bar = HorizontalBar(left + gap, right - gap, mid, t);
        break;
    default:
        return {};
    }
    // x' = x + slant * (height - y): the foot stays put, the head leans right.
    const QTransform shear(1, 0, -slant, 1, lean + box.left(), box.top());
    QPainterPath path;
    path.addPolygon(shear.map(bar));
    path.closeSubpath();
    return path;
}

void CSevenSegment::Paint(QPainter& painter, const QRectF& box, unsigned litMask, const Style& style)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    for (int s = 0; s < 7; ++s) {
        if ((litMask & (1u << s)) != 0)
            continue;
        painter.fillPath(SegmentPath(s, box, style.thickness, style.slant), style.unlit);
    }
    if (style.shadow.isValid()) {
        const QRectF shadowBox = box.translated(0.8, 0.9);
        for (int s = 0; s < 7; ++s) {
            if ((litMask & (1u << s)) != 0)
                painter.fillPath(SegmentPath(s, shadowBox, style.thickness, style.slant), style.shadow);
        }
    }
    for (int s = 0; s < 7; ++s) {
        if ((litMask & (1u << s)) != 0)
            painter.fillPath(SegmentPath(s, box, style.thickness, style.slant), style.lit);
    }
    painter.restore();
}
