#include "CArtwork.h"
#include "WindowLayout.h"

#include <QTest>

#include <vector>

using namespace Qt::Literals::StringLiterals;

class tst_Artwork final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
