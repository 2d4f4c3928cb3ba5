#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

// Gives its container window an irregular outline: every pixel of the mask picture
// whose colour differs from the mask colour is kept, the rest is cut away. The
// mask's top-left pixel lands on the container's client origin, wherever the
// control itself sits.
class TransParentCtl final : public QWidget
{
    Q_OBJECT
public:
    // The platform's button-face colour: no 24-bit pixel equals it, so nothing is cut
    // away until a real colour is set.
    static constexpr quint32 DefaultMaskColor = 0x8000000F;

    explicit TransParentCtl(QWidget* container);

    QImage MaskPicture() const { return mMask; }
    void SetMaskPicture(const QImage& mask);
    quint32 MaskColor() const { return mMaskColor; }
    void SetMaskColor(quint32 color);

    // The window region ("hRgn"), a new one each time: the outline moved into the container's outer-window
    // coordinates (by its frame border and caption).
    QRegion hRgn() const;
    void Refresh();

    // The outline in the control's own coordinates.
    const QRegion& Outline() const { return mOutline; }

private:
    void RebuildOutline();

    QImage mMask;
    quint32 mMaskColor = DefaultMaskColor;
    QRegion mOutline;
};
