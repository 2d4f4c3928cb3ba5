#include "ArtworkPaint.h"

#include <QPixmapCache>

using namespace Qt::Literals::StringLiterals;

namespace ArtworkPaint {

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

QFont ArtFont(qreal pixelSize, int weight, bool condensed)
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

} // namespace ArtworkPaint
