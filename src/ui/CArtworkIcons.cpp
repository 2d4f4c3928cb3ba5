#include "ArtworkPaint.h"
#include "CArtwork.h"

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
    p.drawPixmap(0, title, CArtwork::ReadoutBackground());
    return image;
}

} // namespace

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
