#include "ArtworkPaint.h"
#include "CArtwork.h"
#include "WindowLayout.h"

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
    {QLatin1String("TARE"), WindowLayout::Tare.size(), Picto::Tare, QLatin1String("TARE")},
    {QLatin1String("HOLD"), WindowLayout::AutoHold.size(), Picto::Hold, QLatin1String("HOLD")},
    {QLatin1String("KGLB"), WindowLayout::KgLb.size(), Picto::Unit, QLatin1String("kg / lb")},
    {QLatin1String("CONVERT"), WindowLayout::Converter.size(), Picto::Convert, QLatin1String("CONVERT")},
    {QLatin1String("OPTION"), WindowLayout::Options.size(), Picto::Gear, QLatin1String("OPTIONS")},
    {QLatin1String("AUTOLAUNCH"), WindowLayout::Web.size(), Picto::Web, QLatin1String("WEB LAUNCH")},
    {QLatin1String("MIN"), WindowLayout::Minimise.size(), Picto::Minimise, QLatin1String()},
    {QLatin1String("CLOSE"), WindowLayout::Close.size(), Picto::Close, QLatin1String()},
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

} // namespace

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
