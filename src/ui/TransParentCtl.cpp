#include "TransParentCtl.h"

#include "MWindowUtil.h"

#include <QBitmap>

#include <cmath>

TransParentCtl::TransParentCtl(QWidget* container)
    : QWidget(container)
{
    setObjectName(QStringLiteral("TransParentCtl"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(0, 0);
}

void TransParentCtl::SetMaskPicture(const QImage& mask)
{
    mMask = mask.convertToFormat(QImage::Format_RGB32);
    RebuildOutline();
    Refresh();
}

void TransParentCtl::SetMaskColor(quint32 color)
{
    mMaskColor = color;
    RebuildOutline();
    Refresh();
}

void TransParentCtl::RebuildOutline()
{
    if (mMask.isNull()) {
        mOutline = QRegion();
        return;
    }
    // Exact colour equality, no tolerance. The mask's pixels are opaque, so a colour
    // with any other alpha (the default) matches none of them.
    const QRgb cut = mMaskColor > 0xFFFFFFu ? QRgb(mMaskColor) : QRgb(0xFF000000u | mMaskColor);
    const QImage kept = mMask.createMaskFromColor(cut, Qt::MaskInColor);
    mOutline = QRegion(QBitmap::fromImage(kept));
}

QRegion TransParentCtl::hRgn() const
{
    const QWidget* container = parentWidget();
    QRegion region = mMask.isNull() ? QRegion(0, 0, 1, 1) : mOutline;
    if (!container)
        return region;
    const QRect outer = container->frameGeometry();
    const double border = (outer.width() - container->width()) * 0.5;
    const double caption = outer.height() - border - container->height();
    return region.translated(int(std::nearbyint(border)), int(std::nearbyint(caption)));
}

void TransParentCtl::Refresh()
{
    if (mMask.isNull())
        return;
    resize(mMask.size());
    if (QWidget* container = parentWidget()) {
        // Frameless containers have border and caption 0, so the outer-window region
        // is also the client mask Qt wants. An empty outline must show nothing of the
        // window, but Qt reads an empty mask as "no mask", the whole window: one pixel
        // outside the window keeps a mask that covers none of it.
        QRegion region = hRgn();
        if (region.isEmpty())
            region = QRegion(-1, -1, 1, 1);
        MWindowUtil::SetOutline(container, region);
    }
}
