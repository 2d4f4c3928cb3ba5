#include "CArtwork.h"

#include "ArtworkPaint.h"
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

// Window shape and skins

// Control rectangles of the main window the skin is laid out around.
constexpr QRect ReadoutRect = WindowLayout::Readout;
constexpr auto ButtonRects = WindowLayout::Buttons;

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
    p.drawPixmap(ReadoutRect.topLeft(), CArtwork::ReadoutBackground());

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

} // namespace

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
