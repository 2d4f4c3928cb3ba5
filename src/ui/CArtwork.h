#pragma once

#include "WindowLayout.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

// Every picture of the program, drawn in code on first use and kept in the
// pixmap cache. Nothing here depends on the current skin or unit: callers pick
// the picture, this class only knows how it looks.
class CArtwork final
{
public:
    CArtwork() = delete;

    // ImgNum: index 1..10 are the digits 0..9 (digit d is index d + 1), as used by DrawWeight.
    // Any other index gives a null pixmap.
    static QPixmap NumPicture(int index);
    // ImgNum by key: "NULL" (unlit digit), "PT", "PTCOL", "PTNEG", "PTNULL" (unlit point/colon/sign),
    // "MSGKG", "MSGLB", "MSGOZ", "MSGDETACH", "MSGERROR", "MSGHOLD", "MSGNULL" (unlit message/label).
    // Unknown key -> null pixmap. Every glyph is opaque and carries the readout's glass colour, so
    // painting one over another replaces it completely.
    static QPixmap NumPicture(const QString& key);
    // The unlit readout, 225 x 61, that picHiden starts from.
    static QPixmap ReadoutBackground();
    // ImgButton of the main window: "AUTOLAUNCH0/1", "CLOSE0/1", "CONVERT0/1", "HOLD0/1", "KGLB0/1",
    // "MIN0/1", "OPTION0/1", "TARE0/1", each at the size of its button. The corners outside the
    // rounded face are transparent, so show them on a widget that does not fill its background.
    // Unknown key -> null pixmap.
    static QPixmap ButtonPicture(const QString& key);
    // The compact window's own ImgButton: "CLOSE0/1", "MIN0/1", 10 x 10, drawn for its dark title strip.
    static QPixmap CompactButtonPicture(const QString& key);
    // The main window's mask, 500 x 278; white (0xFFFFFF) pixels are cut away,
    // every other pixel (black) is part of the window. No antialiasing: exactly two values.
    static QImage WindowMask();
    // The main window's panel in skin 0..8, 505 x 283, drawn to fit the mask (the mask's top-left
    // lands on the panel's top-left) and the control positions of the skin layout.
    static QPixmap SkinPicture(int skin); // out of range -> skin 0
    static QString SkinName(int skin); // out of range -> the name of skin 0
    static int SkinCount(); // 9
    // imgIcon(0) device absent, imgIcon(1) device present; any other index gives the absent icon.
    static QIcon TrayIcon(int index);
    // The tray's two animation frames, shown in turn while the scale initialises; frame 0 or 1 (others wrap).
    static QIcon TrayAnimationIcon(int frame);
    // The compact window's background, 225 x 76: rows 0..14 are the title strip (picTitle),
    // the rest frames the readout (picBox).
    static QPixmap CompactBackground();
    // The application icon (window icon, About box).
    static QIcon AppIcon();

    // Sizes the pictures are drawn at (the readout's is the layout's).
    static constexpr QSize MaskSize {500, 278};
    static constexpr QSize SkinSize {505, 283};
    static constexpr QSize ReadoutSize = WindowLayout::ReadoutSize;
    static constexpr QSize DigitSize {21, 34};
    static constexpr QSize PointSize {9, 25}; // PT, PTCOL, PTNEG, PTNULL
    static constexpr QSize UnitLabelSize {28, 12}; // MSGKG, MSGLB, MSGOZ
    static constexpr QSize MessageSize {50, 11}; // MSGDETACH, MSGERROR, MSGHOLD
    static constexpr QSize BlankMessageSize {50, 12}; // MSGNULL covers a label as well as a message
    static constexpr QSize CompactSize {225, 76};
    static constexpr int CompactTitleHeight = 15;
    static constexpr QSize CompactButtonSize {10, 10};

    // The size of a main-window button picture by key (with or without its trailing 0/1);
    // an invalid size for an unknown key.
    static QSize ButtonSize(const QString& key);
};
