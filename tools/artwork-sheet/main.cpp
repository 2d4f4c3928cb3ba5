// Writes a PNG contact sheet of every picture CArtwork draws: the nine skins as the
// window would show them (masked, with readout and buttons in place), the readout
// glyphs, the buttons released and pressed, the compact window and the icons.
//
//   artwork_sheet [output.png] [--scale N] [--crop x,y,w,h]
//
// --crop keeps only that part of the sheet (in sheet pixels before scaling), for a close look.
//
// Runs without a display (it picks the offscreen platform itself).

#include "CArtwork.h"

#include <QGuiApplication>
#include <QPainter>
#include <QStringList>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

const QColor Paper(0xf0, 0xf1, 0xf3);

// The main window as it would appear: skin, cut by the mask, with the controls placed.
QImage MainWindowPreview(int skin, QString sampleDigits, bool withMessages)
{
    const bool pounds = sampleDigits.startsWith(u'#');
    if (pounds)
        sampleDigits.remove(0, 1);
    const QImage mask = CArtwork::WindowMask();
    QImage window(mask.size(), QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::transparent);
    QPainter p(&window);
    p.drawPixmap(0, 0, CArtwork::SkinPicture(skin));

    QPixmap readout = CArtwork::ReadoutBackground();
    {
        QPainter r(&readout);
        const int xs[] = {20, 50, 80, 110, 140};
        for (int i = 0; i < 5 && i < sampleDigits.size(); ++i) {
            const QChar c = sampleDigits.at(i);
            r.drawPixmap(xs[i], 10,
                         c.isDigit() ? CArtwork::NumPicture(c.digitValue() + 1) : CArtwork::NumPicture(u"NULL"_s));
        }
        // A leading "#" shows pounds and ounces, otherwise kilograms.
        if (pounds) {
            r.drawPixmap(71, 16, CArtwork::NumPicture(u"PTCOL"_s));
            r.drawPixmap(131, 20, CArtwork::NumPicture(u"PT"_s));
            r.drawPixmap(55, 45, CArtwork::NumPicture(u"MSGLB"_s));
            r.drawPixmap(142, 45, CArtwork::NumPicture(u"MSGOZ"_s));
        } else {
            r.drawPixmap(71, 20, CArtwork::NumPicture(u"PT"_s));
            r.drawPixmap(142, 45, CArtwork::NumPicture(u"MSGKG"_s));
        }
        if (withMessages) {
            r.drawPixmap(5, 20, CArtwork::NumPicture(u"PTNEG"_s));
            r.drawPixmap(170, 10, CArtwork::NumPicture(u"MSGDETACH"_s));
            r.drawPixmap(170, 23, CArtwork::NumPicture(u"MSGHOLD"_s));
            r.drawPixmap(170, 35, CArtwork::NumPicture(u"MSGERROR"_s));
        }
    }
    p.drawPixmap(130, 100, readout);
    struct Placed
    {
        const char16_t* key;
        int x;
        int y;
    };
    const Placed buttons[]
        = {{u"TARE0", 30, 110},        {u"KGLB0", 30, 150},    {u"HOLD1", 390, 110}, {u"CONVERT0", 390, 150},
           {u"AUTOLAUNCH0", 180, 168}, {u"OPTION0", 210, 222}, {u"MIN0", 425, 97},   {u"CLOSE0", 440, 97}};
    for (const Placed& b : buttons)
        p.drawPixmap(b.x, b.y, CArtwork::ButtonPicture(QString::fromUtf16(b.key)));
    // Where the page list goes (a combo box centred at y 197).
    p.setPen(QColor(0x7a, 0x80, 0x88));
    p.setBrush(QColor(0xfa, 0xfb, 0xfc));
    p.drawRect(QRect(170, 200, 160, 20));
    p.end();

    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            if ((mask.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu)
                window.setPixel(x, y, 0);
        }
    }
    return window;
}

void Label(QPainter& p, int x, int y, const QString& text)
{
    p.setPen(QColor(0x40, 0x44, 0x4a));
    p.drawText(QPoint(x, y), text);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString output = u"artwork-sheet.png"_s;
    int scale = 1;
    QRect crop;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == u"--scale"_s && i + 1 < args.size())
            scale = qBound(1, args.at(++i).toInt(), 4);
        else if (args.at(i) == u"--crop"_s && i + 1 < args.size()) {
            const QStringList parts = args.at(++i).split(u',');
            if (parts.size() == 4)
                crop = QRect(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt());
        } else
            output = args.at(i);
    }

    const int columns = 3;
    const int cellW = 520;
    const int cellH = 310;
    const int skinsH = ((CArtwork::SkinCount() + columns - 1) / columns) * cellH;
    const QSize sheetSize(columns * cellW + 20, skinsH + 520);
    QImage sheet(sheetSize * scale, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Paper);
    QPainter p(&sheet);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    const QString samples[] = {u"_1234"_s, u"#_2_33"_s, u"98765"_s};
    for (int s = 0; s < CArtwork::SkinCount(); ++s) {
        const int x = 10 + (s % columns) * cellW;
        const int y = 10 + (s / columns) * cellH;
        Label(p, x, y + 12, u"Skin %1: %2"_s.arg(s).arg(CArtwork::SkinName(s)));
        p.drawImage(x, y + 20, MainWindowPreview(s, samples[s % 3], s == 0));
    }

    int y = skinsH + 20;
    Label(p, 10, y, u"Readout glyphs (x4) and the unlit readout"_s);
    y += 10;
    QImage glyphs(560, 70, QImage::Format_ARGB32_Premultiplied);
    glyphs.fill(Paper);
    {
        QPainter g(&glyphs);
        int gx = 0;
        for (int i = 1; i <= 10; ++i) {
            g.drawPixmap(gx, 0, CArtwork::NumPicture(i));
            gx += CArtwork::DigitSize.width() + 3;
        }
        g.drawPixmap(gx, 0, CArtwork::NumPicture(u"NULL"_s));
        gx += CArtwork::DigitSize.width() + 6;
        for (const auto* key : {u"PT", u"PTCOL", u"PTNEG", u"PTNULL"}) {
            g.drawPixmap(gx, 0, CArtwork::NumPicture(QString::fromUtf16(key)));
            gx += CArtwork::PointSize.width() + 3;
        }
        gx = 0;
        for (const auto* key : {u"MSGKG", u"MSGLB", u"MSGOZ", u"MSGDETACH", u"MSGERROR", u"MSGHOLD", u"MSGNULL"}) {
            const QPixmap pm = CArtwork::NumPicture(QString::fromUtf16(key));
            g.drawPixmap(gx, 40, pm);
            gx += pm.width() + 3;
        }
    }
    p.save();
    p.translate(10, y);
    p.scale(2, 2);
    p.drawImage(0, 0, glyphs);
    p.restore();
    p.drawPixmap(10 + 560 * 2 + 20, y, CArtwork::ReadoutBackground());

    y += 160;
    Label(p, 10, y, u"Buttons, released and pressed (x2)"_s);
    y += 10;
    int bx = 10;
    for (const auto* key : {u"TARE", u"HOLD", u"KGLB", u"CONVERT", u"OPTION", u"AUTOLAUNCH", u"MIN", u"CLOSE"}) {
        for (int pressed = 0; pressed < 2; ++pressed) {
            const QPixmap pm = CArtwork::ButtonPicture(QString::fromUtf16(key) + QString::number(pressed));
            p.drawPixmap(QRect(bx, y + pressed * 64, pm.width() * 2, pm.height() * 2), pm);
        }
        bx += CArtwork::ButtonSize(QString::fromUtf16(key)).width() * 2 + 12;
    }

    y += 140;
    Label(p, 10, y, u"Compact window (x2) with its keys; tray icons, animation frames and app icon"_s);
    y += 10;
    const QPixmap compact = CArtwork::CompactBackground();
    p.drawPixmap(QRect(10, y, compact.width() * 2, compact.height() * 2), compact);
    int cx = 10 + compact.width() * 2 + 20;
    for (const auto* key : {u"MIN0", u"MIN1", u"CLOSE0", u"CLOSE1"}) {
        p.fillRect(QRect(cx - 4, y, 48, 48), QColor(0x30, 0x35, 0x3b));
        p.drawPixmap(QRect(cx, y + 4, 40, 40), CArtwork::CompactButtonPicture(QString::fromUtf16(key)));
        cx += 56;
    }
    // Also in place on the strip.
    {
        QPixmap strip = compact;
        QPainter s(&strip);
        s.drawPixmap(203, 2, CArtwork::CompactButtonPicture(u"MIN0"_s));
        s.drawPixmap(213, 2, CArtwork::CompactButtonPicture(u"CLOSE0"_s));
        p.drawPixmap(cx, y, strip);
    }
    cx = 10 + compact.width() * 2 + 20;
    const int iy = y + 70;
    const QIcon icons[] = {CArtwork::TrayIcon(0), CArtwork::TrayIcon(1), CArtwork::TrayAnimationIcon(0),
                           CArtwork::TrayAnimationIcon(1)};
    for (const QIcon& icon : icons) {
        p.drawPixmap(cx, iy, icon.pixmap(64, 64));
        p.drawPixmap(cx + 70, iy + 16, icon.pixmap(32, 32));
        p.drawPixmap(cx + 106, iy + 24, icon.pixmap(16, 16));
        cx += 140;
    }
    p.drawPixmap(cx, iy - 40, CArtwork::AppIcon().pixmap(128, 128));
    p.drawPixmap(cx + 136, iy + 16, CArtwork::AppIcon().pixmap(32, 32));
    p.end();

    if (crop.isValid())
        sheet = sheet.copy(QRect(crop.topLeft() * scale, crop.size() * scale));
    if (!sheet.save(output)) {
        std::fprintf(stderr, "artwork_sheet: cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(output));
    return 0;
}
