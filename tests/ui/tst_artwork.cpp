#include "CArtwork.h"
#include "WindowLayout.h"

#include <QTest>

#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

int DifferingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col)
            count += x.pixel(col, row) != y.pixel(col, row);
    }
    return count;
}

} // namespace

class tst_Artwork final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyReadoutKeyHasPicture()
    {
        for (int index = 1; index <= 10; ++index)
            QVERIFY2(!CArtwork::NumPicture(index).isNull(), qPrintable(QString::number(index)));
        for (const QString& key : {u"NULL"_s, u"PT"_s, u"PTCOL"_s, u"PTNEG"_s, u"PTNULL"_s, u"MSGKG"_s, u"MSGLB"_s,
                                   u"MSGOZ"_s, u"MSGDETACH"_s, u"MSGERROR"_s, u"MSGHOLD"_s, u"MSGNULL"_s}) {
            const QPixmap pm = CArtwork::NumPicture(key);
            QVERIFY2(!pm.isNull(), qPrintable(key));
            // Glyphs replace what is under them, so none may be see-through.
            QVERIFY2(!pm.hasAlphaChannel(), qPrintable(key));
        }
    }

    void buttonPressIsVisible_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("compact");
        for (const char* key : {"TARE", "HOLD", "KGLB", "CONVERT", "OPTION", "AUTOLAUNCH", "MIN", "CLOSE"})
            QTest::newRow(key) << QString::fromLatin1(key) << false;
        QTest::newRow("compact MIN") << u"MIN"_s << true;
        QTest::newRow("compact CLOSE") << u"CLOSE"_s << true;
    }

    void buttonPressIsVisible()
    {
        QFETCH(QString, key);
        QFETCH(bool, compact);
        const auto picture = [compact](const QString& k) {
            return compact ? CArtwork::CompactButtonPicture(k) : CArtwork::ButtonPicture(k);
        };
        const QPixmap released = picture(key + u"0"_s);
        const QPixmap pressed = picture(key + u"1"_s);
        QVERIFY(!released.isNull());
        QCOMPARE(pressed.size(), released.size());
        // A press must be visible, not a pixel or two of noise.
        const int changed = DifferingPixels(released.toImage(), pressed.toImage());
        QVERIFY2(changed > released.width() * released.height() / 5, qPrintable(QString::number(changed)));
    }

    void maskIsTwoValuedAndKeepsControls()
    {
        const QImage mask = CArtwork::WindowMask();
        int white = 0;
        for (int y = 0; y < mask.height(); ++y) {
            for (int x = 0; x < mask.width(); ++x) {
                const QRgb px = mask.pixel(x, y) & 0xFFFFFFu;
                if (px != 0 && px != 0xFFFFFFu)
                    QFAIL(qPrintable(u"pixel (%1, %2) is %3"_s.arg(x).arg(y).arg(px, 6, 16, QChar(u'0'))));
                white += px != 0;
            }
        }
        // A shaped window: something is cut away, and most of it stays.
        const int area = mask.width() * mask.height();
        QVERIFY(white > area / 10);
        QVERIFY(white < area / 2);

        // Buttons, readout and the page list of the main window. A control clipped by the outline
        // would lose clicks and show a cut edge; keep a two-pixel margin of panel round each one.
        std::vector<QRect> controls(WindowLayout::Buttons.begin(), WindowLayout::Buttons.end());
        controls.push_back(WindowLayout::Readout);
        // The page list is centred at run time and its height follows the style: allow for both.
        controls.push_back(WindowLayout::PageList.adjusted(-5, 0, 5, 0));
        for (const QRect& control : controls) {
            const QRect withMargin = control.adjusted(-2, -2, 2, 2);
            QVERIFY(mask.rect().contains(withMargin));
            for (int y = withMargin.top(); y <= withMargin.bottom(); ++y) {
                for (int x = withMargin.left(); x <= withMargin.right(); ++x) {
                    if ((mask.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu)
                        QFAIL(qPrintable(u"(%1, %2) is cut away"_s.arg(x).arg(y)));
                }
            }
        }
    }
};

QTEST_MAIN(tst_Artwork)
#include "tst_artwork.moc"
