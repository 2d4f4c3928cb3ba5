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

namespace {

// ---------------------------------------------------------------------------
// Shared helpers

QPixmap Cached(const QString& key, const std::function<QImage()>& make)
{
    const QString cacheKey = u"pesavo-art/"_s + key;
    QPixmap pixmap;
    if (QPixmapCache::find(cacheKey, &pixmap))
        return pixmap;
    pixmap = QPixmap::fromImage(make());
    QPixmapCache::insert(cacheKey, pixmap);
    return pixmap;
}

QImage TransparentImage(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QFont ArtFont(qreal pixelSize, int weight, bool condensed = false)
{
    QFont font(u"DejaVu Sans"_s);
    font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setWeight(static_cast<QFont::Weight>(weight));
    if (condensed)
        font.setStretch(QFont::Condensed);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QColor Mix(const QColor& a, const QColor& b, qreal t)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                            static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor WithAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

qreal Luminance(const QColor& c)
{
    return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF();
}

// ---------------------------------------------------------------------------
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

// ---------------------------------------------------------------------------
// Buttons

enum class Picto
{
    None,
    Tare,
    Hold,
    Unit,
    Convert,
    Web,
    Gear,
    Minimise,
    Close
};

struct ButtonStyle
{
    QLatin1String key;
    QSize size;
    Picto picto;
    QLatin1String caption;
};

constexpr std::array<ButtonStyle, 8> Buttons {{
    {QLatin1String("TARE"), {73, 28}, Picto::Tare, QLatin1String("TARE")},
    {QLatin1String("HOLD"), {73, 28}, Picto::Hold, QLatin1String("HOLD")},
    {QLatin1String("KGLB"), {73, 28}, Picto::Unit, QLatin1String("kg / lb")},
    {QLatin1String("CONVERT"), {73, 28}, Picto::Convert, QLatin1String("CONVERT")},
    {QLatin1String("OPTION"), {60, 23}, Picto::Gear, QLatin1String("OPTIONS")},
    {QLatin1String("AUTOLAUNCH"), {130, 28}, Picto::Web, QLatin1String("WEB LAUNCH")},
    {QLatin1String("MIN"), {10, 10}, Picto::Minimise, QLatin1String()},
    {QLatin1String("CLOSE"), {10, 10}, Picto::Close, QLatin1String()},
}};

// Splits "TARE1" into ("TARE", true); false when the key has no 0/1 suffix.
bool SplitButtonKey(const QString& key, QString* base, bool* pressed)
{
    if (key.size() < 2)
        return false;
    const QChar last = key.back();
    if (last != u'0' && last != u'1')
        return false;
    *base = key.left(key.size() - 1);
    *pressed = last == u'1';
    return true;
}

const ButtonStyle* FindButton(const QString& base)
{
    for (const ButtonStyle& style : Buttons) {
        if (base == style.key)
            return &style;
    }
    return nullptr;
}

void PaintPicto(QPainter& p, Picto picto, const QRectF& r, const QColor& ink)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal s = qMin(r.width(), r.height());
    const QPointF c = r.center();
    QPen pen(ink, qMax<qreal>(1.1, s * 0.13), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (picto) {
    case Picto::None:
    case Picto::Unit:
        break;
    case Picto::Tare: {
        // Two wedges closing in on a zero: "back to zero".
        const qreal zw = s * 0.34;
        p.drawEllipse(QRectF(c.x() - zw / 2, c.y() - s * 0.32, zw, s * 0.64));
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        const qreal tip = zw / 2 + s * 0.12;
        const qreal back = tip + s * 0.28;
        const qreal half = s * 0.2;
        for (int side : {-1, 1}) {
            QPainterPath wedge;
            wedge.moveTo(c.x() + side * tip, c.y());
            wedge.lineTo(c.x() + side * back, c.y() - half);
            wedge.lineTo(c.x() + side * back, c.y() + half);
            wedge.closeSubpath();
            p.drawPath(wedge);
        }
        break;
    }
    case Picto::Hold: {
        const QRectF body(c.x() - s * 0.36, c.y() - s * 0.05, s * 0.72, s * 0.5);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawRoundedRect(body, s * 0.08, s * 0.08);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const QRectF arc(c.x() - s * 0.22, c.y() - s * 0.45, s * 0.44, s * 0.6);
        p.drawArc(arc, 0, 180 * 16);
        p.drawLine(QPointF(arc.left(), arc.center().y()), QPointF(arc.left(), body.top()));
        p.drawLine(QPointF(arc.right(), arc.center().y()), QPointF(arc.right(), body.top()));
        break;
    }
    case Picto::Convert: {
        const qreal dx = s * 0.42;
        const qreal dy = s * 0.2;
        p.drawLine(QPointF(c.x() - dx, c.y() - dy), QPointF(c.x() + dx, c.y() - dy));
        p.drawLine(QPointF(c.x() + dx, c.y() - dy), QPointF(c.x() + dx - s * 0.18, c.y() - dy - s * 0.16));
        p.drawLine(QPointF(c.x() + dx, c.y() + dy), QPointF(c.x() - dx, c.y() + dy));
        p.drawLine(QPointF(c.x() - dx, c.y() + dy), QPointF(c.x() - dx + s * 0.18, c.y() + dy + s * 0.16));
        break;
    }
    case Picto::Web: {
        pen.setWidthF(qMax<qreal>(1.0, s * 0.09));
        p.setPen(pen);
        const qreal rad = s * 0.44;
        p.drawEllipse(c, rad, rad);
        p.drawEllipse(c, rad * 0.42, rad);
        p.drawLine(QPointF(c.x() - rad, c.y()), QPointF(c.x() + rad, c.y()));
        p.drawLine(QPointF(c.x() - rad * 0.85, c.y() - rad * 0.5), QPointF(c.x() + rad * 0.85, c.y() - rad * 0.5));
        p.drawLine(QPointF(c.x() - rad * 0.85, c.y() + rad * 0.5), QPointF(c.x() + rad * 0.85, c.y() + rad * 0.5));
        break;
    }
    case Picto::Gear: {
        QPainterPath gear;
        const int teeth = 8;
        const qreal outer = s * 0.48;
        const qreal inner = s * 0.34;
        for (int i = 0; i < teeth * 4; ++i) {
            const qreal a = (i - 0.5) * M_PI / (teeth * 2);
            const qreal rr = ((i / 2) % 2 == 0) ? outer : inner;
            const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
            if (i == 0)
                gear.moveTo(pt);
            else
                gear.lineTo(pt);
        }
        gear.closeSubpath();
        gear.addEllipse(c, s * 0.14, s * 0.14);
        gear.setFillRule(Qt::OddEvenFill);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(gear);
        break;
    }
    case Picto::Minimise:
        p.drawLine(QPointF(r.left(), c.y()), QPointF(r.right(), c.y()));
        break;
    case Picto::Close:
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomLeft());
        break;
    }
    p.restore();
}

// Graphite keys that sit well on every skin colour.
QImage ButtonImage(const ButtonStyle& style, bool pressed)
{
    QImage image = TransparentImage(style.size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF outer = QRectF(QPointF(0, 0), QSizeF(style.size)).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool tiny = style.size.width() <= 12;

    if (tiny) {
        // The window's own minimise and close: small round keys, close in a warm red.
        const bool close = style.picto == Picto::Close;
        const QColor base = close ? QColor(0xd9, 0x4b, 0x43) : QColor(0xe3, 0xa6, 0x2f);
        QRadialGradient face(outer.center() - QPointF(1.2, 1.6), outer.width() * 0.75);
        face.setColorAt(0, pressed ? base.darker(125) : base.lighter(135));
        face.setColorAt(1, pressed ? base.darker(150) : base.darker(108));
        p.setPen(QPen(base.darker(190), 0.9));
        p.setBrush(face);
        p.drawEllipse(outer);
        PaintPicto(p, style.picto, outer.adjusted(2.8, 2.8, -2.8, -2.8), QColor(0x3a, 0x16, 0x12, pressed ? 230 : 170));
        return image;
    }

    const qreal radius = style.size.height() * 0.26;
    const QColor top = pressed ? QColor(0x22, 0x25, 0x29) : QColor(0x52, 0x58, 0x61);
    const QColor bottom = pressed ? QColor(0x33, 0x37, 0x3d) : QColor(0x2b, 0x2f, 0x34);
    QLinearGradient face(0, 0, 0, style.size.height());
    face.setColorAt(0, top);
    face.setColorAt(1, bottom);
    p.setPen(QPen(QColor(0x12, 0x14, 0x17), 1.0));
    p.setBrush(face);
    p.drawRoundedRect(outer, radius, radius);

    const QRectF inner = outer.adjusted(1, 1, -1, -1);
    if (pressed) {
        // Pushed in: the top edge falls into shadow.
        QLinearGradient shade(0, inner.top(), 0, inner.top() + 5);
        shade.setColorAt(0, QColor(0, 0, 0, 110));
        shade.setColorAt(1, QColor(0, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawRoundedRect(inner, radius - 1, radius - 1);
    } else {
        // Raised: a lit top rim and a soft gloss on the upper half.
        p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(inner, radius - 1, radius - 1);
        QLinearGradient gloss(0, inner.top(), 0, inner.center().y());
        gloss.setColorAt(0, QColor(255, 255, 255, 38));
        gloss.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(gloss);
        p.drawRoundedRect(QRectF(inner.left(), inner.top(), inner.width(), inner.height() / 2), radius - 1, radius - 1);
    }

    const QPointF shift = pressed ? QPointF(0.0, 1.0) : QPointF(0.0, 0.0);
    // While held the caption lights up, so a press reads even on a glance.
    const QColor ink = pressed ? QColor(0x8f, 0xd8, 0xff) : QColor(0xf3, 0xf6, 0xf8);
    const qreal h = style.size.height();
    const QFont font = ArtFont(h >= 26 ? 10.5 : 9.0, QFont::Bold, style.caption.size() > 5);
    const QFontMetricsF fm(font);
    const QString caption = style.caption;
    const qreal textWidth = fm.horizontalAdvance(caption);
    const qreal pictoSize = style.picto == Picto::Unit ? 0.0 : h * (style.picto == Picto::Tare ? 0.56 : 0.46);
    const qreal gap = pictoSize > 0 ? 4.0 : 0.0;
    const qreal total = pictoSize + gap + textWidth;
    qreal x = (style.size.width() - total) / 2.0;
    if (pictoSize > 0) {
        const QRectF picto(x, (h - pictoSize) / 2.0, pictoSize, pictoSize);
        PaintPicto(p, style.picto, picto.translated(shift), ink);
        x += pictoSize + gap;
    }
    p.setFont(font);
    const QRectF textRect(x, 0, textWidth + 1, h);
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(textRect.translated(shift + QPointF(0, -0.8)), Qt::AlignLeft | Qt::AlignVCenter, caption);
    p.setPen(ink);
    p.drawText(textRect.translated(shift), Qt::AlignLeft | Qt::AlignVCenter, caption);
    return image;
}

QImage CompactButtonImage(Picto picto, bool pressed)
{
    const QSize size = CArtwork::CompactButtonSize;
    QImage image = TransparentImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool close = picto == Picto::Close;
    if (pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(close ? QColor(0xd9, 0x4b, 0x43) : QColor(255, 255, 255, 70));
        p.drawRoundedRect(r, 2.0, 2.0);
    }
    PaintPicto(p, picto, r.adjusted(2.2, 2.2, -2.2, -2.2), pressed ? QColor(Qt::white) : QColor(0xc8, 0xd0, 0xd8));
    return image;
}

// ---------------------------------------------------------------------------
// Window shape and skins

// Control rectangles of the main window the skin is laid out around.
constexpr QRect ReadoutRect {130, 100, 225, 61};
constexpr std::array<QRect, 8> ButtonRects {{
    {30, 110, 73, 28}, // tare
    {30, 150, 73, 28}, // kg/lb
    {390, 110, 73, 28}, // hold
    {390, 150, 73, 28}, // convert
    {180, 168, 130, 28}, // web
    {210, 222, 60, 23}, // options
    {425, 97, 10, 10}, // minimise
    {440, 97, 10, 10}, // close
}};

// The outline of the scale: a weighing platter on a short column above the body, and two feet.
// inset shrinks every part, so the same geometry gives the mask, the rim and the faces.
QPainterPath PlatterPath(qreal inset)
{
    QPainterPath path;
    const QRectF r = QRectF(34, 4, 432, 36).adjusted(inset, inset, -inset, -inset);
    path.addRoundedRect(r, 18 - inset, 18 - inset);
    return path;
}

QPainterPath ColumnPath(qreal inset)
{
    QPainterPath path;
    path.moveTo(206 + inset, 36);
    path.lineTo(294 - inset, 36);
    path.lineTo(318 - inset, 92);
    path.lineTo(182 + inset, 92);
    path.closeSubpath();
    return path;
}

QPainterPath BodyPath(qreal inset)
{
    QPainterPath path;
    const QRectF r = QRectF(6, 84, 488, 184).adjusted(inset, inset, -inset, -inset);
    path.addRoundedRect(r, 26 - inset, 26 - inset);
    return path;
}

QPainterPath FeetPath(qreal inset)
{
    QPainterPath path;
    for (qreal x : {46.0, 394.0})
        path.addRoundedRect(QRectF(x, 258, 60, 19).adjusted(inset, inset, -inset, -inset), 5, 5);
    return path;
}

QPainterPath ShapePath()
{
    QPainterPath path = BodyPath(0).united(PlatterPath(0)).united(ColumnPath(0)).united(FeetPath(0));
    return path.simplified();
}

QImage MaskImage()
{
    QImage image(CArtwork::MaskSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(ShapePath());
    return image;
}

struct SkinTheme
{
    QLatin1String name;
    QRgb top;
    QRgb bottom;
    QRgb accent;
};

constexpr std::array<SkinTheme, 9> Themes {{
    {QLatin1String("Graphite"), 0x60666f, 0x2c2f34, 0x52c7f5},
    {QLatin1String("Ocean"), 0x3478b5, 0x16395c, 0x8ad8ff},
    {QLatin1String("Forest"), 0x43845c, 0x1d412e, 0xb2e58a},
    {QLatin1String("Ruby"), 0xb23b48, 0x5a1520, 0xffc09a},
    {QLatin1String("Amber"), 0xe08d36, 0x8c4712, 0xfff0b0},
    {QLatin1String("Plum"), 0x825099, 0x3b214e, 0xeab8ff},
    {QLatin1String("Sand"), 0xd8c7a3, 0x9a8459, 0x5b4528},
    {QLatin1String("Arctic"), 0xeef1f4, 0xaeb7c1, 0x2f7fd0},
    {QLatin1String("Midnight"), 0x2a3550, 0x0f1422, 0x6d9bff},
}};

const SkinTheme& Theme(int skin)
{
    if (skin < 0 || skin >= static_cast<int>(Themes.size()))
        skin = 0;
    return Themes[static_cast<std::size_t>(skin)];
}

void PaintPlatter(QPainter& p, const SkinTheme& theme)
{
    // Brushed metal: the part that touches the parcels. Its front lip picks up a hint of the
    // housing colour so platter and body read as one object.
    const QColor tint(theme.top);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2a, 0x2e, 0x33));
    p.drawPath(PlatterPath(0));
    QLinearGradient metal(0, 5, 0, 39);
    metal.setColorAt(0.0, QColor(0xf4, 0xf6, 0xf8));
    metal.setColorAt(0.55, QColor(0xc9, 0xcf, 0xd6));
    metal.setColorAt(0.56, Mix(QColor(0xa9, 0xb1, 0xba), tint, 0.22));
    metal.setColorAt(1.0, Mix(QColor(0x7c, 0x85, 0x8f), tint, 0.30));
    p.setBrush(metal);
    p.drawPath(PlatterPath(1.4));
    // The top surface, seen slightly from above, with a soft reflection.
    QLinearGradient surface(0, 6, 0, 24);
    surface.setColorAt(0, QColor(0xfb, 0xfc, 0xfd));
    surface.setColorAt(1, QColor(0xd5, 0xda, 0xe0));
    p.setBrush(surface);
    p.drawRoundedRect(QRectF(46, 7, 408, 17), 8.5, 8.5);
    QLinearGradient glint(46, 0, 454, 0);
    glint.setColorAt(0.0, QColor(255, 255, 255, 0));
    glint.setColorAt(0.3, QColor(255, 255, 255, 150));
    glint.setColorAt(0.45, QColor(255, 255, 255, 0));
    glint.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(glint);
    p.drawRoundedRect(QRectF(46, 8, 408, 6), 3, 3);
    // Fine brushing lines.
    p.setPen(QPen(QColor(255, 255, 255, 90), 0.6));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(70 + i * 6, 11.5 + i * 3), QPointF(430 - i * 6, 11.5 + i * 3));
}

void PaintColumn(QPainter& p, const SkinTheme& theme)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(theme.bottom).darker(150));
    p.drawPath(ColumnPath(0));
    QLinearGradient shade(182, 0, 318, 0);
    const QColor base = QColor(theme.bottom);
    shade.setColorAt(0.0, base.darker(135));
    shade.setColorAt(0.45, QColor(theme.top).darker(108));
    shade.setColorAt(1.0, base.darker(145));
    p.setBrush(shade);
    p.drawPath(ColumnPath(1.5));
    // The platter's shadow falls on the column.
    QLinearGradient drop(0, 38, 0, 50);
    drop.setColorAt(0, QColor(0, 0, 0, 120));
    drop.setColorAt(1, QColor(0, 0, 0, 0));
    p.setBrush(drop);
    p.drawPath(ColumnPath(1.5));
}

void PaintBody(QPainter& p, const SkinTheme& theme)
{
    const QColor top(theme.top);
    const QColor bottom(theme.bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(bottom.darker(170));
    p.drawPath(BodyPath(0));

    QLinearGradient face(0, 85, 0, 267);
    face.setColorAt(0.0, top.lighter(108));
    face.setColorAt(0.5, Mix(top, bottom, 0.45));
    face.setColorAt(1.0, bottom);
    p.setBrush(face);
    p.drawPath(BodyPath(1.5));

    // Bevel: a lit upper rim and a shaded lower rim, both inside the outline, each fading out
    // down the sides so there is no visible end.
    QLinearGradient lit(0, 85, 0, 150);
    lit.setColorAt(0, QColor(255, 255, 255, 120));
    lit.setColorAt(0.35, QColor(255, 255, 255, 50));
    lit.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(lit), 1.4));
    p.drawPath(BodyPath(2.4));
    QLinearGradient dark(0, 200, 0, 267);
    dark.setColorAt(0, QColor(0, 0, 0, 0));
    dark.setColorAt(1, QColor(0, 0, 0, 90));
    p.setPen(QPen(QBrush(dark), 1.6));
    p.drawPath(BodyPath(2.6));

    // Soft sheen across the upper body.
    QLinearGradient sheen(0, 86, 0, 160);
    sheen.setColorAt(0, QColor(255, 255, 255, 46));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawPath(BodyPath(3.0).intersected([] {
        QPainterPath upper;
        upper.addRect(0, 84, 500, 76);
        return upper;
    }()));
}

void PaintRecess(QPainter& p, const QRectF& r, qreal radius, qreal depth)
{
    // A socket pressed into the panel: dark at the top edge, a lit lip at the bottom edge.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRoundedRect(r.translated(0, 1.0), radius, radius);
    QLinearGradient well(0, r.top(), 0, r.bottom());
    well.setColorAt(0, QColor(0, 0, 0, static_cast<int>(170 * depth)));
    well.setColorAt(1, QColor(0, 0, 0, static_cast<int>(95 * depth)));
    p.setBrush(well);
    p.drawRoundedRect(r, radius, radius);
}

QImage SkinImage(int skin)
{
    const SkinTheme& theme = Theme(skin);
    QImage image(CArtwork::SkinSize, QImage::Format_RGB32);
    // Beyond the outline the mask cuts everything away; the rim colour there keeps the
    // stair-stepped edge of the mask from showing a light fringe.
    image.fill(QColor(theme.bottom).darker(170));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    PaintColumn(p, theme);
    PaintPlatter(p, theme);
    PaintBody(p, theme);
    PaintRecess(p, QRectF(ReadoutRect).adjusted(-5, -5, 5, 5), 7, 1.0);
    // The bezel round the glass.
    p.setPen(QPen(QColor(0x10, 0x12, 0x14), 1.0));
    p.setBrush(QColor(0x1c, 0x20, 0x24));
    p.drawRoundedRect(QRectF(ReadoutRect).adjusted(-3.5, -3.5, 3.5, 3.5), 5, 5);
    p.drawImage(ReadoutRect.topLeft(), ReadoutImage());

    for (std::size_t i = 0; i < ButtonRects.size(); ++i) {
        const QRectF r = QRectF(ButtonRects[i]);
        if (r.width() <= 12)
            continue;
        PaintRecess(p, r.adjusted(-1.5, -1.5, 1.5, 1.5), r.height() * 0.26 + 1.5, 0.75);
    }
    // One pill-shaped socket for the window's minimise and close keys.
    PaintRecess(p, QRectF(421.5, 94.5, 32, 16), 8, 0.8);

    const QColor accent(theme.accent);
    const bool light = Luminance(QColor(theme.top)) > 0.6;
    const QColor print = light ? QColor(0x2a, 0x2f, 0x36) : QColor(0xf2, 0xf4, 0xf7);

    // Accent strip under the controls, like a trim line on the housing.
    QLinearGradient trim(40, 0, 460, 0);
    trim.setColorAt(0.0, WithAlpha(accent, 0));
    trim.setColorAt(0.2, WithAlpha(accent, 200));
    trim.setColorAt(0.8, WithAlpha(accent, 200));
    trim.setColorAt(1.0, WithAlpha(accent, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(trim);
    p.drawRoundedRect(QRectF(40, 254, 420, 2.2), 1.1, 1.1);

    // Name plate: engraved lettering, bottom left and bottom right of the body.
    const QFont brand = ArtFont(15, QFont::Black);
    p.setFont(brand);
    const QRectF brandRect(30, 220, 140, 28);
    p.setPen(light ? QColor(255, 255, 255, 150) : QColor(0, 0, 0, 110));
    p.drawText(brandRect.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, u"PESAVO"_s);
    p.setPen(WithAlpha(print, 225));
    p.drawText(brandRect, Qt::AlignLeft | Qt::AlignVCenter, u"PESAVO"_s);
    const QFont small = ArtFont(8.5, QFont::DemiBold);
    p.setFont(small);
    const QRectF tagRect(320, 220, 143, 28);
    p.setPen(WithAlpha(print, 170));
    p.drawText(tagRect, Qt::AlignRight | Qt::AlignVCenter, u"DIGITAL POSTAL SCALE"_s);
    // A status dot beside the name, in the theme's accent.
    QRadialGradient led(QPointF(116, 233), 4);
    led.setColorAt(0, accent.lighter(140));
    led.setColorAt(1, accent.darker(130));
    p.setPen(QPen(QColor(0, 0, 0, 90), 0.8));
    p.setBrush(led);
    p.drawEllipse(QPointF(116, 234), 2.6, 2.6);
    return image;
}

// ---------------------------------------------------------------------------
// Pictograms for the tray and the application icon

struct ScaleLook
{
    QColor body;
    QColor platter;
    QColor glass;
    QColor ink;
    int platterDrop = 0; // pixels of a 32-pixel icon
    int litBars = 3; // readout bars lit, from the left
    bool crossed = false;
};

// A postal scale seen from the front, drawn into a square of side s.
void PaintScale(QPainter& p, qreal s, const ScaleLook& look)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(s / 32.0, s / 32.0);
    const QColor outline = look.body.darker(200);
    const qreal drop = look.platterDrop;

    // Column.
    p.setPen(Qt::NoPen);
    p.setBrush(look.body.darker(140));
    p.drawRect(QRectF(13, 8 + drop, 6, 8));
    // Platter.
    QLinearGradient metal(0, 5 + drop, 0, 10 + drop);
    metal.setColorAt(0, look.platter.lighter(115));
    metal.setColorAt(1, look.platter.darker(120));
    p.setPen(QPen(outline, 1.0));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(3.5, 5.5 + drop, 25, 4), 2, 2);
    // Body.
    QLinearGradient face(0, 14, 0, 29);
    face.setColorAt(0, look.body.lighter(125));
    face.setColorAt(1, look.body.darker(115));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(2.5, 14.5, 27, 14.5), 3.5, 3.5);
    // Readout window.
    p.setPen(QPen(look.body.darker(250), 0.8));
    p.setBrush(look.glass);
    p.drawRoundedRect(QRectF(6.5, 17.5, 19, 7.5), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(i < look.litBars ? look.ink : Mix(look.glass, look.ink, 0.15));
        p.drawRoundedRect(QRectF(8.5 + i * 5.3, 19.3, 4.0, 4.0), 0.7, 0.7);
    }
    if (look.crossed) {
        // A red stroke through the scale: no device.
        p.setPen(QPen(QColor(255, 255, 255, 220), 5.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 27), QPointF(27, 5));
        p.setPen(QPen(QColor(0xd3, 0x2f, 0x2f), 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 27), QPointF(27, 5));
    }
    p.restore();
}

QImage ScaleIconImage(int size, const ScaleLook& look)
{
    QImage image = TransparentImage(QSize(size, size));
    QPainter p(&image);
    PaintScale(p, size, look);
    return image;
}

ScaleLook PresentLook()
{
    return {QColor(0x25, 0x7c, 0xc4), QColor(0xd6, 0xdc, 0xe2), QColor(0xc6, 0xe8, 0xa8), QColor(0x14, 0x30, 0x1a)};
}

ScaleLook AbsentLook()
{
    ScaleLook look {QColor(0x8d, 0x93, 0x99), QColor(0xc4, 0xc8, 0xcc), QColor(0xb7, 0xbc, 0xb4),
                    QColor(0x5a, 0x5e, 0x60)};
    look.litBars = 0;
    look.crossed = true;
    return look;
}

QIcon IconFrom(const QString& name, const std::function<ScaleLook()>& look, std::initializer_list<int> sizes)
{
    QIcon icon;
    for (int size : sizes)
        icon.addPixmap(Cached(u"%1-%2"_s.arg(name).arg(size), [&] { return ScaleIconImage(size, look()); }));
    return icon;
}

QImage AppIconImage(int size)
{
    QImage image = TransparentImage(QSize(size, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const qreal k = size / 32.0;
    const QRectF tile(0.5 * k, 0.5 * k, 31 * k, 31 * k);
    QLinearGradient bg(0, 0, 0, size);
    bg.setColorAt(0, QColor(0x3d, 0x4a, 0x5c));
    bg.setColorAt(1, QColor(0x1b, 0x22, 0x2c));
    p.setPen(QPen(QColor(0x0e, 0x12, 0x18), k * 0.8));
    p.setBrush(bg);
    p.drawRoundedRect(tile, 7 * k, 7 * k);
    p.translate(3 * k, 3.5 * k);
    ScaleLook look = PresentLook();
    look.body = QColor(0x2f, 0x8f, 0xd8);
    PaintScale(p, 26 * k, look);
    return image;
}

QImage CompactBackgroundImage()
{
    const QSize size = CArtwork::CompactSize;
    const int title = CArtwork::CompactTitleHeight;
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0x1c, 0x20, 0x24));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    QLinearGradient strip(0, 0, 0, title);
    strip.setColorAt(0, QColor(0x4a, 0x51, 0x5a));
    strip.setColorAt(1, QColor(0x26, 0x2a, 0x30));
    p.fillRect(QRect(0, 0, size.width(), title), strip);
    p.setPen(QColor(255, 255, 255, 60));
    p.drawLine(QPointF(0, 0.5), QPointF(size.width(), 0.5));
    p.setPen(QColor(0x0c, 0x0e, 0x10));
    p.drawLine(QPointF(0, title - 0.5), QPointF(size.width(), title - 0.5));

    ScaleLook look = PresentLook();
    p.save();
    p.translate(3, 1.5);
    PaintScale(p, 12, look);
    p.restore();
    p.setFont(ArtFont(9.5, QFont::Bold));
    p.setPen(QColor(0, 0, 0, 140));
    const QRectF caption(18, 0, 150, title);
    p.drawText(caption.translated(0, 1), Qt::AlignLeft | Qt::AlignVCenter, u"Pesavo"_s);
    p.setPen(QColor(0xe9, 0xed, 0xf1));
    p.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, u"Pesavo"_s);

    // Under the readout: the same glass, so a gap while it loads never flashes black.
    p.drawImage(0, title, ReadoutImage());
    return image;
}

} // namespace

// ---------------------------------------------------------------------------

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

QSize CArtwork::ButtonSize(const QString& key)
{
    QString base = key;
    bool pressed = false;
    if (!FindButton(base))
        SplitButtonKey(key, &base, &pressed);
    const ButtonStyle* style = FindButton(base);
    return style ? style->size : QSize();
}

QPixmap CArtwork::ButtonPicture(const QString& key)
{
    QString base;
    bool pressed = false;
    if (!SplitButtonKey(key, &base, &pressed))
        return {};
    const ButtonStyle* style = FindButton(base);
    if (!style)
        return {};
    return Cached(u"button-"_s + key, [style, pressed] { return ButtonImage(*style, pressed); });
}

QPixmap CArtwork::CompactButtonPicture(const QString& key)
{
    QString base;
    bool pressed = false;
    if (!SplitButtonKey(key, &base, &pressed))
        return {};
    Picto picto = Picto::None;
    if (base == u"CLOSE"_s)
        picto = Picto::Close;
    else if (base == u"MIN"_s)
        picto = Picto::Minimise;
    else
        return {};
    return Cached(u"compact-"_s + key, [picto, pressed] { return CompactButtonImage(picto, pressed); });
}

QImage CArtwork::WindowMask()
{
    static const QImage mask = MaskImage();
    return mask;
}

QPixmap CArtwork::SkinPicture(int skin)
{
    if (skin < 0 || skin >= SkinCount())
        skin = 0;
    return Cached(u"skin-%1"_s.arg(skin), [skin] { return SkinImage(skin); });
}

QString CArtwork::SkinName(int skin)
{
    return Theme(skin).name;
}

int CArtwork::SkinCount()
{
    return static_cast<int>(Themes.size());
}

QIcon CArtwork::TrayIcon(int index)
{
    if (index == 1)
        return IconFrom(u"tray-present"_s, PresentLook, {16, 22, 24, 32, 48, 64});
    return IconFrom(u"tray-absent"_s, AbsentLook, {16, 22, 24, 32, 48, 64});
}

QIcon CArtwork::TrayAnimationIcon(int frame)
{
    // The platter bobs and the readout fills while the scale settles in.
    const int f = ((frame % 2) + 2) % 2;
    const auto look = [f] {
        ScaleLook l = PresentLook();
        l.body = QColor(0xe0, 0x8e, 0x2a);
        l.platterDrop = f;
        l.litBars = f == 0 ? 1 : 2;
        return l;
    };
    return IconFrom(u"tray-busy-%1"_s.arg(f), look, {16, 22, 24, 32, 48, 64});
}

QPixmap CArtwork::CompactBackground()
{
    return Cached(u"compact-background"_s, [] { return CompactBackgroundImage(); });
}

QIcon CArtwork::AppIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(Cached(u"app-%1"_s.arg(size), [size] { return AppIconImage(size); }));
    return icon;
}
