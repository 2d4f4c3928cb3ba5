#include "AppState.h"
#include "CArtwork.h"
#include "MReadout.h"

#include <QTest>

// The five digit places as a string ('_' for an unlit place), then the picture
// key of every other place: minus, kg point, oz point, colon, lb label, unit label, error.
static QString ReadBack()
{
    const SkinLayout& l = App().gLayout;
    QString digits;
    for (const QPoint& place : l.digits) {
        const QString key = MReadout::PaintedAt(place);
        digits += key == QLatin1String("NULL") ? QChar(u'_') : QChar(u'0' + key.toInt() - 1);
    }
    // Kilogram and ounce labels share a place; '-' is an unlit place.
    const QList<QPoint> others = {l.minusSign, l.kgPoint, l.ozPoint, l.colon, l.lbLabel, l.kgLabel, l.errorMsg};
    QStringList keys = {digits};
    for (const QPoint& place : others) {
        const QString key = MReadout::PaintedAt(place);
        keys << (key.endsWith(QLatin1String("NULL")) ? QStringLiteral("-") : key);
    }
    return keys.join(u' ');
}

class tst_Readout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        AppState::Reset();
        MReadout::InitSkinLayout();
    }

    void drawWeight_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("kg");
        QTest::addColumn<QString>("shown");
        QTest::newRow("kg 1.234") << 0 << 1.234 << "_1234 - PT - - - MSGKG -";
        QTest::newRow("kg two digits") << 0 << 12.5 << "12500 - PT - - - MSGKG -";
        QTest::newRow("kg negative shows sign and error") << 0 << -0.005 << "_0005 PTNEG PT - - - MSGKG MSGERROR";
        QTest::newRow("kg negative that shows as zero has no sign") << 0 << -0.0004 << "_0000 - PT - - - MSGKG -";
        QTest::newRow("lb 1 kg is 2 lb 3.3 oz") << 1 << 1.0 << "_2_33 - - PT PTCOL MSGLB MSGOZ -";
        QTest::newRow("lb 0.2 kg has no pounds") << 1 << 0.2 << "___71 - - PT - - MSGOZ -";
        QTest::newRow("lb ounces carry to 2 lb 0 oz") << 1 << 0.907 << "_2_00 - - PT PTCOL MSGLB MSGOZ -";
        QTest::newRow("lb two-digit pounds") << 1 << 5.0 << "11_04 - - PT PTCOL MSGLB MSGOZ -";
        QTest::newRow("lb negative") << 1 << -1.0 << "_2_33 PTNEG - PT PTCOL MSGLB MSGOZ MSGERROR";
    }
    void drawWeight()
    {
        QFETCH(int, unit);
        QFETCH(double, kg);
        // Start from the other unit's picture so every place has to be repainted.
        App().General().unit = qint16(1 - unit);
        MReadout::DrawWeight(88.888);
        App().General().unit = qint16(unit);
        MReadout::DrawWeight(kg);
        QTEST(ReadBack(), "shown");
    }

    // The glyphs really land in the composition picture, not only in the bookkeeping.
    void drawWeightPaintsGlyphs()
    {
        MReadout::DrawWeight(1.234);
        const QImage& picture = MReadout::PicHiden();
        const QImage two = CArtwork::NumPicture(3).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage unlit
            = CArtwork::NumPicture(QStringLiteral("NULL")).toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(two != unlit);
        QCOMPARE(picture.copy(QRect(App().gLayout.digits[2], two.size())), two);
        QCOMPARE(picture.copy(QRect(App().gLayout.digits[0], unlit.size())), unlit);
    }
};

QTEST_MAIN(tst_Readout)
#include "tst_readout.moc"
