#include "ArtworkPaint.h"
#include "CArtwork.h"
#include "CSevenSegment.h"

#include <QFont>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace ArtworkPaint;

namespace {

// The liquid-crystal readout

namespace Lcd {
// A cool sage glass: greenish grey, dark segments, ghosts a few shades darker than the glass.
const QColor Glass(0xbd, 0xc8, 0xb2);
const QColor Ink(0x1b, 0x24, 0x1f);
const QColor Ghost = Mix(Glass, Ink, 0.085);
const QColor InkShadow(0x1b, 0x24, 0x1f, 38);
constexpr int ShadeWidth = 3; // inner shadow band at the glass edge; glyphs never reach into it
} // namespace Lcd

QImage GlassImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Lcd::Glass);
    return image;
}

CSevenSegment::Style DigitStyle()
{
    CSevenSegment::Style style;
    style.lit = Lcd::Ink;
    style.unlit = Lcd::Ghost;
    style.shadow = Lcd::InkShadow;
    style.thickness = 3.4;
    style.slant = 0.09;
    return style;
}

QImage DigitImage(int digit)
{
    QImage image = GlassImage(CArtwork::DigitSize);
    QPainter p(&image);
    const QRectF box(1.0, 1.0, CArtwork::DigitSize.width() - 2.4, CArtwork::DigitSize.height() - 2.4);
    CSevenSegment::Paint(p, box, CSevenSegment::SegmentsOf(digit), DigitStyle());
    return image;
}

// Dots sit where the digits would put them: the picture's top is at y 20 (point, sign) or 16 (colon)
// of the readout, digits run from y 10 to 44.
constexpr qreal DigitTop = 10.0;
constexpr qreal DigitFoot = 10.0 + 34.0 - 2.4; // bottom of the digit box

void Dot(QPainter& p, QPointF centre, qreal size, const QColor& color)
{
    const QRectF r(centre.x() - size / 2, centre.y() - size / 2, size, size);
    p.setPen(Qt::NoPen);
    p.setBrush(Lcd::InkShadow);
    p.drawRoundedRect(r.translated(0.8, 0.9), 0.8, 0.8);
    p.setBrush(color);
    p.drawRoundedRect(r, 0.8, 0.8);
}

QImage PointImage(const QString& key)
{
    QImage image = GlassImage(CArtwork::PointSize);
    if (key == u"PTNULL"_s)
        return image;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal dot = 3.4;
    const qreal cx = CArtwork::PointSize.width() / 2.0;
    if (key == u"PT"_s) {
        // Picture top at readout y 20: the dot rests on the digits' baseline.
        Dot(p, {cx - 0.5, DigitFoot - dot / 2 - 20.0}, dot, Lcd::Ink);
    } else if (key == u"PTCOL"_s) {
        // Picture top at readout y 16: two dots around the digits' middle, leaning with them.
        const qreal middle = DigitTop + 34.0 / 2 - 16.0;
        Dot(p, {cx + 0.6, middle - 6.0}, dot, Lcd::Ink);
        Dot(p, {cx - 0.6, middle + 6.0}, dot, Lcd::Ink);
    } else if (key == u"PTNEG"_s) {
        // Picture top at readout y 20: the bar level with the digits' middle segment.
        const qreal middle = DigitTop + (34.0 - 2.4) / 2 + 1.0 - 20.0;
        const QRectF bar(1.0, middle - 1.7, CArtwork::PointSize.width() - 2.0, 3.4);
        p.setPen(Qt::NoPen);
        p.setBrush(Lcd::InkShadow);
        p.drawRoundedRect(bar.translated(0.8, 0.9), 1.2, 1.2);
        p.setBrush(Lcd::Ink);
        p.drawRoundedRect(bar, 1.2, 1.2);
    }
    return image;
}

void LcdText(QPainter& p, const QRectF& rect, const QString& text, const QFont& font, Qt::Alignment align)
{
    p.setFont(font);
    p.setPen(Lcd::InkShadow);
    p.drawText(rect.translated(0.7, 0.8), align, text);
    p.setPen(Lcd::Ink);
    p.drawText(rect, align, text);
}

QImage UnitLabelImage(const QString& text)
{
    QImage image = GlassImage(CArtwork::UnitLabelSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    LcdText(p, QRectF(0, -1, CArtwork::UnitLabelSize.width(), CArtwork::UnitLabelSize.height() + 1), text,
            ArtFont(11, QFont::Bold), Qt::AlignCenter);
    return image;
}

enum class MessageIcon
{
    Plug,
    Warning,
    Lock
};

void PaintMessageIcon(QPainter& p, MessageIcon icon, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(Lcd::Ink);
    switch (icon) {
    case MessageIcon::Warning: {
        QPainterPath tri;
        tri.moveTo(r.center().x(), r.top());
        tri.lineTo(r.right(), r.bottom());
        tri.lineTo(r.left(), r.bottom());
        tri.closeSubpath();
        p.drawPath(tri);
        p.setBrush(Lcd::Glass);
        const qreal cx = r.center().x();
        p.drawRect(QRectF(cx - 0.6, r.top() + r.height() * 0.35, 1.2, r.height() * 0.33));
        p.drawRect(QRectF(cx - 0.6, r.bottom() - r.height() * 0.22, 1.2, 1.2));
        break;
    }
    case MessageIcon::Lock: {
        const QRectF body(r.left() + 0.5, r.top() + r.height() * 0.45, r.width() - 1.0, r.height() * 0.55);
        p.drawRoundedRect(body, 1.0, 1.0);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Lcd::Ink, 1.3));
        const QRectF shackle(r.left() + r.width() * 0.22, r.top() + 0.6, r.width() * 0.56, r.height() * 0.8);
        p.drawArc(shackle, 0, 180 * 16);
        p.drawLine(QPointF(shackle.left(), shackle.center().y()), QPointF(shackle.left(), body.top()));
        p.drawLine(QPointF(shackle.right(), shackle.center().y()), QPointF(shackle.right(), body.top()));
        break;
    }
    case MessageIcon::Plug: {
        // "Nothing there": a ring with a bar through it.
        const qreal d = qMin(r.width(), r.height()) - 1.0;
        const QRectF ring(r.center().x() - d / 2, r.center().y() - d / 2, d, d);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Lcd::Ink, 1.4));
        p.drawEllipse(ring);
        p.drawLine(QPointF(ring.left() + d * 0.2, ring.bottom() - d * 0.2),
                   QPointF(ring.right() - d * 0.2, ring.top() + d * 0.2));
        break;
    }
    }
    p.restore();
}

QImage MessageImage(const QString& text, MessageIcon icon)
{
    QImage image = GlassImage(CArtwork::MessageSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const qreal h = CArtwork::MessageSize.height();
    PaintMessageIcon(p, icon, QRectF(1.5, 1.0, 9.0, h - 2.0));
    // Squeeze the word sideways rather than clip it when the font runs wide.
    const QFont font = ArtFont(8.6, QFont::Bold, true);
    const qreal room = CArtwork::MessageSize.width() - 13.0;
    const qreal wide = QFontMetricsF(font).horizontalAdvance(text);
    p.translate(12.5, 0);
    if (wide > room)
        p.scale(room / wide, 1.0);
    LcdText(p, QRectF(0, -0.5, qMax(room, wide) + 1, h + 1), text, font, Qt::AlignLeft | Qt::AlignVCenter);
    return image;
}

QImage ReadoutImage()
{
    const QSize size = CArtwork::ReadoutSize;
    QImage image = GlassImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    // The glass sits a little below the bezel: darker along the top and left edges, a thin lit
    // line along the bottom and right. Only the outer band is shaded so glyphs stay seamless.
    for (int i = 0; i < Lcd::ShadeWidth; ++i) {
        const qreal k = 1.0 - i / static_cast<qreal>(Lcd::ShadeWidth);
        p.setPen(Mix(Lcd::Glass, Lcd::Ink, 0.30 * k * k + 0.04));
        p.drawLine(i, i, size.width() - 1 - i, i);
        p.drawLine(i, i, i, size.height() - 1 - i);
        p.setPen(Mix(Lcd::Glass, Lcd::Ink, 0.14 * k * k));
        p.drawLine(size.width() - 1 - i, i + 1, size.width() - 1 - i, size.height() - 1 - i);
    }
    p.setPen(Mix(Lcd::Glass, Qt::white, 0.35));
    p.drawLine(1, size.height() - 1, size.width() - 1, size.height() - 1);
    p.setPen(Mix(Lcd::Glass, Qt::white, 0.15));
    p.drawLine(2, size.height() - 2, size.width() - 2, size.height() - 2);
    p.end();

    // Unlit places as the readout starts: five ghost digits, nothing else.
    QPainter g(&image);
    const QImage ghost = DigitImage(-1);
    for (int x : {20, 50, 80, 110, 140})
        g.drawImage(x, 10, ghost);
    return image;
}

} // namespace

QPixmap CArtwork::NumPicture(int index)
{
    if (index < 1 || index > 10)
        return {};
    const int digit = index - 1;
    return Cached(u"digit-%1"_s.arg(digit), [digit] { return DigitImage(digit); });
}

QPixmap CArtwork::NumPicture(const QString& key)
{
    if (key == u"NULL"_s)
        return Cached(u"digit-null"_s, [] { return DigitImage(-1); });
    if (key == u"PT"_s || key == u"PTCOL"_s || key == u"PTNEG"_s || key == u"PTNULL"_s)
        return Cached(u"num-"_s + key, [key] { return PointImage(key); });
    if (key == u"MSGKG"_s)
        return Cached(key, [] { return UnitLabelImage(u"kg"_s); });
    if (key == u"MSGLB"_s)
        return Cached(key, [] { return UnitLabelImage(u"lb"_s); });
    if (key == u"MSGOZ"_s)
        return Cached(key, [] { return UnitLabelImage(u"oz"_s); });
    if (key == u"MSGDETACH"_s)
        return Cached(key, [] { return MessageImage(u"NO SCALE"_s, MessageIcon::Plug); });
    if (key == u"MSGERROR"_s)
        return Cached(key, [] { return MessageImage(u"ERROR"_s, MessageIcon::Warning); });
    if (key == u"MSGHOLD"_s)
        return Cached(key, [] { return MessageImage(u"HOLD"_s, MessageIcon::Lock); });
    if (key == u"MSGNULL"_s)
        return Cached(key, [] { return GlassImage(BlankMessageSize); });
    return {};
}

QPixmap CArtwork::ReadoutBackground()
{
    return Cached(u"readout"_s, [] { return ReadoutImage(); });
}
