#include "CArtwork.h"
#include "CSevenSegment.h"

#include <QPainter>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Control rectangles of the main window (buttons, readout, the page list's area with a
// generous width for a combo box centred on the panel).
struct Control
{
    const char* name;
    QRect rect;
};

const Control MainControls[] = {
    {"picBox", {130, 100, 225, 61}},     {"picTare", {30, 110, 73, 28}},  {"pickgslbs", {30, 150, 73, 28}},
    {"picAutoHold", {390, 110, 73, 28}}, {"picConv", {390, 150, 73, 28}}, {"picWeb", {180, 168, 130, 28}},
    {"picOpt", {210, 222, 60, 23}},      {"picMin", {425, 97, 10, 10}},   {"picCls", {440, 97, 10, 10}},
    {"cboWeb", {150, 197, 200, 24}},
};

bool IsWhite(QRgb pixel)
{
    return (pixel & 0xFFFFFFu) == 0xFFFFFFu;
}

// How far apart two pictures are: the number of pixels that differ.
int DifferingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            if (x.pixel(col, row) != y.pixel(col, row))
                ++count;
        }
    }
    return count;
}

struct Place
{
    QString key;
    QPoint at;
};

} // namespace

class tst_Artwork final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readoutPictureHasItsSize_data();
    void readoutPictureHasItsSize();
    void unknownReadoutPictureIsNull_data();
    void unknownReadoutPictureIsNull();
    void digitShowsItsSegments_data();
    void digitShowsItsSegments();
    void digitsAreAllDifferent();
    void readoutPlacesDoNotCollide_data();
    void readoutPlacesDoNotCollide();
    void blankGlyphErasesLitGlyph_data();
    void blankGlyphErasesLitGlyph();
    void buttonPictures_data();
    void buttonPictures();
    void unknownButtonIsNull_data();
    void unknownButtonIsNull();
    void maskIsTwoValued();
    void maskKeepsControl_data();
    void maskKeepsControl();
    void skinsShareSizeAndDiffer();
    void skinOutOfRangeFallsBackToFirst_data();
    void skinOutOfRangeFallsBackToFirst();
    void iconsTellStatesApart();
    void compactBackground();
};

void tst_Artwork::readoutPictureHasItsSize_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("index");
    QTest::addColumn<QSize>("size");
    for (int d = 0; d <= 9; ++d)
        QTest::addRow("digit %d", d) << QString() << d + 1 << QSize(21, 34);
    const QSize point(9, 25);
    const QSize label(28, 12);
    const QSize message(50, 11);
    QTest::newRow("NULL") << u"NULL"_s << 0 << QSize(21, 34);
    QTest::newRow("PT") << u"PT"_s << 0 << point;
    QTest::newRow("PTCOL") << u"PTCOL"_s << 0 << point;
    QTest::newRow("PTNEG") << u"PTNEG"_s << 0 << point;
    QTest::newRow("PTNULL") << u"PTNULL"_s << 0 << point;
    QTest::newRow("MSGKG") << u"MSGKG"_s << 0 << label;
    QTest::newRow("MSGLB") << u"MSGLB"_s << 0 << label;
    QTest::newRow("MSGOZ") << u"MSGOZ"_s << 0 << label;
    QTest::newRow("MSGDETACH") << u"MSGDETACH"_s << 0 << message;
    QTest::newRow("MSGERROR") << u"MSGERROR"_s << 0 << message;
    QTest::newRow("MSGHOLD") << u"MSGHOLD"_s << 0 << message;
    QTest::newRow("MSGNULL") << u"MSGNULL"_s << 0 << QSize(50, 12);
}

void tst_Artwork::readoutPictureHasItsSize()
{
    QFETCH(QString, key);
    QFETCH(int, index);
    QFETCH(QSize, size);
    const QPixmap pm = key.isEmpty() ? CArtwork::NumPicture(index) : CArtwork::NumPicture(key);
    QVERIFY(!pm.isNull());
    QCOMPARE(pm.size(), size);
    // Glyphs replace what is under them, so none may be see-through.
    QVERIFY(!pm.hasAlphaChannel());
}

void tst_Artwork::unknownReadoutPictureIsNull_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("index");
    QTest::newRow("index 0") << QString() << 0;
    QTest::newRow("index 11") << QString() << 11;
    QTest::newRow("negative index") << QString() << -1;
    QTest::newRow("empty key") << u""_s << -99;
    QTest::newRow("lower case") << u"msgkg"_s << -99;
    QTest::newRow("button key") << u"TARE0"_s << -99;
    QTest::newRow("digit as text") << u"5"_s << -99;
}

void tst_Artwork::unknownReadoutPictureIsNull()
{
    QFETCH(QString, key);
    QFETCH(int, index);
    const QPixmap pm = index == -99 ? CArtwork::NumPicture(key) : CArtwork::NumPicture(index);
    QVERIFY(pm.isNull());
}

void tst_Artwork::digitShowsItsSegments_data()
{
    // Written out by hand from the familiar digit shapes, not from the segment table.
    QTest::addColumn<int>("digit");
    QTest::addColumn<QString>("lit");
    QTest::newRow("0") << 0 << u"abcdef"_s;
    QTest::newRow("1") << 1 << u"bc"_s;
    QTest::newRow("2") << 2 << u"abdeg"_s;
    QTest::newRow("3") << 3 << u"abcdg"_s;
    QTest::newRow("4") << 4 << u"bcfg"_s;
    QTest::newRow("5") << 5 << u"acdfg"_s;
    QTest::newRow("6") << 6 << u"acdefg"_s;
    QTest::newRow("7") << 7 << u"abc"_s;
    QTest::newRow("8") << 8 << u"abcdefg"_s;
    QTest::newRow("9") << 9 << u"abcdfg"_s;
}

void tst_Artwork::digitShowsItsSegments()
{
    QFETCH(int, digit);
    QFETCH(QString, lit);
    // Render large so each segment's middle is well inside it, then read dark and light back.
    const QRectF box(4, 4, 120, 200);
    QImage image(128, 208, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        CSevenSegment::Style style;
        style.lit = Qt::black;
        style.unlit = QColor(0xe0, 0xe0, 0xe0);
        style.thickness = 20;
        style.slant = 0.1;
        CSevenSegment::Paint(p, box, CSevenSegment::SegmentsOf(digit), style);
    }
    for (int s = 0; s < 7; ++s) {
        const QPainterPath path = CSevenSegment::SegmentPath(s, box, 20, 0.1);
        const QPoint middle = path.boundingRect().center().toPoint();
        QVERIFY2(path.contains(QPointF(middle)), "segment middle outside its outline");
        const bool expected = lit.contains(QChar(u'a' + s));
        const bool dark = qGray(image.pixel(middle)) < 64;
        QVERIFY2(dark == expected, qPrintable(u"segment %1"_s.arg(QChar(u'a' + s))));
        // Unlit segments are still faintly visible, lit ones clearly dark.
        if (!expected)
            QVERIFY(qGray(image.pixel(middle)) < 255);
    }
}

void tst_Artwork::digitsAreAllDifferent()
{
    QList<QImage> glyphs;
    for (int i = 1; i <= 10; ++i)
        glyphs.append(CArtwork::NumPicture(i).toImage());
    glyphs.append(CArtwork::NumPicture(u"NULL"_s).toImage());
    for (int a = 0; a < glyphs.size(); ++a) {
        for (int b = a + 1; b < glyphs.size(); ++b)
            QVERIFY2(DifferingPixels(glyphs[a], glyphs[b]) > 20, qPrintable(u"glyphs %1 and %2"_s.arg(a).arg(b)));
    }
}

void tst_Artwork::readoutPlacesDoNotCollide_data()
{
    QTest::addColumn<QList<Place>>("places");
    const QList<Place> digits {{u"NULL"_s, {20, 10}},  {u"NULL"_s, {50, 10}},  {u"NULL"_s, {80, 10}},
                               {u"NULL"_s, {110, 10}}, {u"NULL"_s, {140, 10}}, {u"PTNEG"_s, {5, 20}}};
    const QList<Place> messages {{u"MSGDETACH"_s, {170, 10}}, {u"MSGHOLD"_s, {170, 23}}, {u"MSGERROR"_s, {170, 35}}};
    QTest::newRow("kilograms") << (digits + messages + QList<Place> {{u"PT"_s, {71, 20}}, {u"MSGKG"_s, {142, 45}}});
    QTest::newRow("pounds and ounces") << (digits + messages
                                           + QList<Place> {{u"PTCOL"_s, {71, 16}},
                                                           {u"PT"_s, {131, 20}},
                                                           {u"MSGLB"_s, {55, 45}},
                                                           {u"MSGOZ"_s, {142, 45}}});
    QTest::newRow("blank messages and labels") << (digits
                                                   + QList<Place> {{u"PT"_s, {131, 20}},
                                                                   {u"MSGOZ"_s, {142, 45}},
                                                                   {u"MSGNULL"_s, {55, 45}},
                                                                   {u"MSGNULL"_s, {170, 10}},
                                                                   {u"MSGNULL"_s, {170, 23}},
                                                                   {u"MSGNULL"_s, {170, 35}}});
}

void tst_Artwork::readoutPlacesDoNotCollide()
{
    QFETCH(QList<Place>, places);
    // Glyphs stay off the shaded rim of the glass, or they would cut notches into it.
    const QRect glass = QRect(QPoint(0, 0), CArtwork::ReadoutSize).adjusted(3, 3, -3, -3);
    QList<QRect> rects;
    for (const Place& place : places) {
        const QRect r(place.at, CArtwork::NumPicture(place.key).size());
        QVERIFY2(glass.contains(r), qPrintable(place.key));
        rects.append(r);
    }
    for (int a = 0; a < rects.size(); ++a) {
        for (int b = a + 1; b < rects.size(); ++b)
            QVERIFY2(!rects[a].intersects(rects[b]), qPrintable(places[a].key + u" / "_s + places[b].key));
    }
}

void tst_Artwork::blankGlyphErasesLitGlyph_data()
{
    QTest::addColumn<QString>("litKey");
    QTest::addColumn<QPoint>("litAt");
    QTest::addColumn<QString>("blankKey");
    QTest::addColumn<QPoint>("blankAt");
    QTest::newRow("digit") << u"8"_s << QPoint(50, 10) << u"NULL"_s << QPoint(50, 10);
    QTest::newRow("kilogram point") << u"PT"_s << QPoint(71, 20) << u"PTNULL"_s << QPoint(71, 20);
    QTest::newRow("colon") << u"PTCOL"_s << QPoint(71, 16) << u"PTNULL"_s << QPoint(71, 16);
    QTest::newRow("minus") << u"PTNEG"_s << QPoint(5, 20) << u"PTNULL"_s << QPoint(5, 20);
    QTest::newRow("pound label") << u"MSGLB"_s << QPoint(55, 45) << u"MSGNULL"_s << QPoint(55, 45);
    QTest::newRow("hold message") << u"MSGHOLD"_s << QPoint(170, 23) << u"MSGNULL"_s << QPoint(170, 23);
    QTest::newRow("connection message") << u"MSGDETACH"_s << QPoint(170, 10) << u"MSGNULL"_s << QPoint(170, 10);
}

void tst_Artwork::blankGlyphErasesLitGlyph()
{
    QFETCH(QString, litKey);
    QFETCH(QPoint, litAt);
    QFETCH(QString, blankKey);
    QFETCH(QPoint, blankAt);
    const QPixmap lit = litKey.size() == 1 ? CArtwork::NumPicture(litKey.toInt() + 1) : CArtwork::NumPicture(litKey);
    const QPixmap blank = CArtwork::NumPicture(blankKey);

    // Lighting and then blanking a place must look exactly like never having lit it.
    QImage used = CArtwork::ReadoutBackground().toImage();
    QImage fresh = used.copy();
    {
        QPainter p(&used);
        p.drawPixmap(litAt, lit);
        p.drawPixmap(blankAt, blank);
        QPainter q(&fresh);
        q.drawPixmap(blankAt, blank);
    }
    QVERIFY(DifferingPixels(used.copy(QRect(litAt, lit.size())), fresh.copy(QRect(litAt, lit.size()))) == 0);
    // And the blank place looks like the unlit readout the window starts with, apart from
    // the ghost digit which the unlit readout shows and a blank point never covers.
    if (blankKey != u"NULL"_s) {
        const QImage start = CArtwork::ReadoutBackground().toImage();
        QCOMPARE(DifferingPixels(fresh.copy(QRect(blankAt, blank.size())), start.copy(QRect(blankAt, blank.size()))),
                 0);
    }
    QVERIFY(DifferingPixels(lit.toImage(), blank.toImage().copy(QRect(QPoint(0, 0), lit.size()))) > 5);
}

void tst_Artwork::buttonPictures_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("compact");
    const QSize wide(73, 28);
    QTest::newRow("TARE") << u"TARE"_s << wide << false;
    QTest::newRow("HOLD") << u"HOLD"_s << wide << false;
    QTest::newRow("KGLB") << u"KGLB"_s << wide << false;
    QTest::newRow("CONVERT") << u"CONVERT"_s << wide << false;
    QTest::newRow("OPTION") << u"OPTION"_s << QSize(60, 23) << false;
    QTest::newRow("AUTOLAUNCH") << u"AUTOLAUNCH"_s << QSize(130, 28) << false;
    QTest::newRow("MIN") << u"MIN"_s << QSize(10, 10) << false;
    QTest::newRow("CLOSE") << u"CLOSE"_s << QSize(10, 10) << false;
    QTest::newRow("compact MIN") << u"MIN"_s << QSize(10, 10) << true;
    QTest::newRow("compact CLOSE") << u"CLOSE"_s << QSize(10, 10) << true;
}

void tst_Artwork::buttonPictures()
{
    QFETCH(QString, key);
    QFETCH(QSize, size);
    QFETCH(bool, compact);
    const auto picture = [compact](const QString& k) {
        return compact ? CArtwork::CompactButtonPicture(k) : CArtwork::ButtonPicture(k);
    };
    const QPixmap released = picture(key + u"0"_s);
    const QPixmap pressed = picture(key + u"1"_s);
    QVERIFY(!released.isNull());
    QVERIFY(!pressed.isNull());
    QCOMPARE(released.size(), size);
    QCOMPARE(pressed.size(), size);
    if (!compact)
        QCOMPARE(CArtwork::ButtonSize(key), size);
    // A press must be visible, not a pixel or two of noise.
    const int changed = DifferingPixels(released.toImage(), pressed.toImage());
    QVERIFY2(changed > size.width() * size.height() / 5, qPrintable(QString::number(changed)));
}

void tst_Artwork::unknownButtonIsNull_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("compact");
    QTest::newRow("no state") << u"TARE"_s << false;
    QTest::newRow("state 2") << u"TARE2"_s << false;
    QTest::newRow("lower case") << u"tare0"_s << false;
    QTest::newRow("empty") << u""_s << false;
    QTest::newRow("digit only") << u"0"_s << false;
    QTest::newRow("readout key") << u"MSGKG0"_s << false;
    QTest::newRow("compact has no tare") << u"TARE0"_s << true;
    QTest::newRow("compact no state") << u"CLOSE"_s << true;
}

void tst_Artwork::unknownButtonIsNull()
{
    QFETCH(QString, key);
    QFETCH(bool, compact);
    QVERIFY(compact ? CArtwork::CompactButtonPicture(key).isNull() : CArtwork::ButtonPicture(key).isNull());
}

void tst_Artwork::maskIsTwoValued()
{
    const QImage mask = CArtwork::WindowMask();
    QCOMPARE(mask.size(), QSize(500, 278));
    int white = 0;
    int black = 0;
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            const QRgb px = mask.pixel(x, y) & 0xFFFFFFu;
            if (px == 0xFFFFFFu)
                ++white;
            else if (px == 0)
                ++black;
            else
                QFAIL(qPrintable(u"pixel (%1, %2) is %3"_s.arg(x).arg(y).arg(px, 6, 16, QChar(u'0'))));
        }
    }
    // A shaped window: something is cut away, and most of it stays.
    QVERIFY(white > 500 * 278 / 10);
    QVERIFY(black > 500 * 278 / 2);
    // The corners of the picture are outside the rounded outline.
    QVERIFY(IsWhite(mask.pixel(0, 0)));
    QVERIFY(IsWhite(mask.pixel(499, 277)));
}

void tst_Artwork::maskKeepsControl_data()
{
    QTest::addColumn<QRect>("rect");
    for (const Control& control : MainControls)
        QTest::newRow(control.name) << control.rect;
}

void tst_Artwork::maskKeepsControl()
{
    QFETCH(QRect, rect);
    const QImage mask = CArtwork::WindowMask();
    // A control clipped by the outline would lose clicks and show a cut edge; keep a
    // two-pixel margin of panel round each one.
    const QRect withMargin = rect.adjusted(-2, -2, 2, 2);
    for (int y = withMargin.top(); y <= withMargin.bottom(); ++y) {
        for (int x = withMargin.left(); x <= withMargin.right(); ++x) {
            if (IsWhite(mask.pixel(x, y)))
                QFAIL(qPrintable(u"(%1, %2) is cut away"_s.arg(x).arg(y)));
        }
    }
}

void tst_Artwork::skinsShareSizeAndDiffer()
{
    QCOMPARE(CArtwork::SkinCount(), 9);
    QList<QImage> skins;
    QStringList names;
    for (int s = 0; s < CArtwork::SkinCount(); ++s) {
        const QPixmap pm = CArtwork::SkinPicture(s);
        QVERIFY(!pm.isNull());
        QCOMPARE(pm.size(), QSize(505, 283));
        // The skin must cover the whole mask, whose top-left lands on the skin's top-left.
        QVERIFY(pm.width() >= CArtwork::WindowMask().width() && pm.height() >= CArtwork::WindowMask().height());
        skins.append(pm.toImage());
        const QString name = CArtwork::SkinName(s);
        QVERIFY(!name.isEmpty());
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.append(name);
    }
    for (int a = 0; a < skins.size(); ++a) {
        for (int b = a + 1; b < skins.size(); ++b) {
            // A different colour theme changes most of the panel, not a detail.
            const int changed = DifferingPixels(skins[a], skins[b]);
            QVERIFY2(changed > 505 * 283 / 3, qPrintable(u"skins %1 and %2: %3"_s.arg(a).arg(b).arg(changed)));
        }
    }
}

void tst_Artwork::skinOutOfRangeFallsBackToFirst_data()
{
    QTest::addColumn<int>("skin");
    QTest::newRow("-1") << -1;
    QTest::newRow("9") << 9;
    QTest::newRow("large") << 1000;
}

void tst_Artwork::skinOutOfRangeFallsBackToFirst()
{
    QFETCH(int, skin);
    QCOMPARE(DifferingPixels(CArtwork::SkinPicture(skin).toImage(), CArtwork::SkinPicture(0).toImage()), 0);
    QCOMPARE(CArtwork::SkinName(skin), CArtwork::SkinName(0));
}

void tst_Artwork::iconsTellStatesApart()
{
    const QList<QIcon> icons {CArtwork::TrayIcon(0), CArtwork::TrayIcon(1), CArtwork::TrayAnimationIcon(0),
                              CArtwork::TrayAnimationIcon(1), CArtwork::AppIcon()};
    QList<QImage> at32;
    for (const QIcon& icon : icons) {
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
        QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
        at32.append(icon.pixmap(32, 32).toImage());
    }
    // Absent and present, and the two animation frames, must be told apart at a glance.
    for (int a = 0; a < at32.size(); ++a) {
        for (int b = a + 1; b < at32.size(); ++b)
            QVERIFY2(DifferingPixels(at32[a], at32[b]) > 30, qPrintable(u"icons %1 and %2"_s.arg(a).arg(b)));
    }
    // Frames wrap rather than failing.
    QCOMPARE(DifferingPixels(CArtwork::TrayAnimationIcon(2).pixmap(32, 32).toImage(), at32[2]), 0);
}

void tst_Artwork::compactBackground()
{
    const QPixmap pm = CArtwork::CompactBackground();
    QCOMPARE(pm.size(), QSize(225, 76));
    const QImage image = pm.toImage();
    // The title strip is set off from the readout below it.
    QVERIFY(qGray(image.pixel(100, 7)) < qGray(image.pixel(100, 45)) - 40);
}

QTEST_MAIN(tst_Artwork)
#include "tst_artwork.moc"
