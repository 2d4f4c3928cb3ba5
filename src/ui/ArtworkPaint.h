#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <functional>

// Small painting helpers shared by the artwork's drawings (readout, buttons, skins, icons).
namespace ArtworkPaint {

// The picture under key from the pixmap cache, drawn by make on first use.
QPixmap Cached(const QString& key, const std::function<QImage()>& make);
QImage TransparentImage(QSize size);
QFont ArtFont(qreal pixelSize, int weight, bool condensed = false);
// a blended towards b by t (0..1), alpha included.
QColor Mix(const QColor& a, const QColor& b, qreal t);
QColor WithAlpha(QColor c, int alpha);
qreal Luminance(const QColor& c);

} // namespace ArtworkPaint
