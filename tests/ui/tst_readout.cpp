#include "AppState.h"
#include "CArtwork.h"
#include "MReadout.h"

#include <QTest>

// What the readout shows, read back place by place: the five digit places as a
// string ('_' for an unlit place) and the picture key of every other place.
struct Shown
{
    QString digits;
    QString minus, kgPoint, ozPoint, colon, lbLabel, unitLabel, error;
};

static Shown ReadBack()
{
    const SkinLayout& l = App().gLayout;
    Shown s;
    for (const QPoint& place : l.digits) {
        const QString key = MReadout::PaintedAt(place);
        if (key == QLatin1String("NULL"))
            s.digits += QLatin1Char('_');
        else
            s.digits += QChar(u'0' + key.toInt() - 1);
    }
    s.minus = MReadout::PaintedAt(l.minusSign);
    s.kgPoint = MReadout::PaintedAt(l.kgPoint);
    s.ozPoint = MReadout::PaintedAt(l.ozPoint);
    s.colon = MReadout::PaintedAt(l.colon);
    s.lbLabel = MReadout::PaintedAt(l.lbLabel);
    s.unitLabel = MReadout::PaintedAt(l.kgLabel); // kilogram and ounce labels share a place
    s.error = MReadout::PaintedAt(l.errorMsg);
    return s;
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
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("minus");
        QTest::addColumn<QString>("kgPoint");
        QTest::addColumn<QString>("ozPoint");
        QTest::addColumn<QString>("colon");
        QTest::addColumn<QString>("lbLabel");
        QTest::addColumn<QString>("unitLabel");
        QTest::addColumn<QString>("error");
        const QString N = QStringLiteral("PTNULL"), M = QStringLiteral("MSGNULL");
        QTest::newRow("kg 1.234") << 0 << 1.234 << "_1234" << N << "PT" << N << N << M << "MSGKG" << M;
        QTest::newRow("kg zero") << 0 << 0.0 << "_0000" << N << "PT" << N << N << M << "MSGKG" << M;
        QTest::newRow("kg two digits") << 0 << 12.5 << "12500" << N << "PT" << N << N << M << "MSGKG" << M;
        QTest::newRow("kg negative shows sign and error") << 0 << -0.005 << "_0005"
                                                          << "PTNEG"
                                                          << "PT" << N << N << M << "MSGKG"
                                                          << "MSGERROR";
        QTest::newRow("kg negative that shows as zero has no sign")
            << 0 << -0.0004 << "_0000" << N << "PT" << N << N << M << "MSGKG" << M;
        QTest::newRow("lb 1 kg is 2 lb 3.3 oz") << 1 << 1.0 << "_2_33" << N << N << "PT"
                                                << "PTCOL"
                                                << "MSGLB"
                                                << "MSGOZ" << M;
        QTest::newRow("lb 0.2 kg has no pounds") << 1 << 0.2 << "___71" << N << N << "PT" << N << M << "MSGOZ" << M;
        QTest::newRow("lb ounces carry to 2 lb 0 oz") << 1 << 0.907 << "_2_00" << N << N << "PT"
                                                      << "PTCOL"
                                                      << "MSGLB"
                                                      << "MSGOZ" << M;
        QTest::newRow("lb two-digit pounds") << 1 << 5.0 << "11_04" << N << N << "PT"
                                             << "PTCOL"
                                             << "MSGLB"
                                             << "MSGOZ" << M;
        QTest::newRow("lb negative") << 1 << -1.0 << "_2_33"
                                     << "PTNEG" << N << "PT"
                                     << "PTCOL"
                                     << "MSGLB"
                                     << "MSGOZ"
                                     << "MSGERROR";
    }
    void drawWeight()
    {
        QFETCH(int, unit);
        QFETCH(double, kg);
        // Start from the other unit's picture so every place has to be repainted.
        App().gUnit = qint16(1 - unit);
        MReadout::DrawWeight(88.888);
        App().gUnit = qint16(unit);
        MReadout::DrawWeight(kg);
        const Shown s = ReadBack();
        QTEST(s.digits, "digits");
        QTEST(s.minus, "minus");
        QTEST(s.kgPoint, "kgPoint");
        QTEST(s.ozPoint, "ozPoint");
        QTEST(s.colon, "colon");
        QTEST(s.lbLabel, "lbLabel");
        QTEST(s.unitLabel, "unitLabel");
        QTEST(s.error, "error");
    }

    // The glyphs really land in the composition picture, not only in the bookkeeping.
    void drawWeightPaintsGlyphs()
    {
        App().gUnit = 0;
        MReadout::DrawWeight(1.234);
        const QImage& picture = MReadout::PicHiden();
        const QImage two = CArtwork::NumPicture(3).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage unlit
            = CArtwork::NumPicture(QStringLiteral("NULL")).toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(two != unlit);
        const SkinLayout& l = App().gLayout;
        QCOMPARE(picture.copy(QRect(l.digits[2], two.size())), two);
        QCOMPARE(picture.copy(QRect(l.digits[0], unlit.size())), unlit);
    }
};

QTEST_MAIN(tst_Readout)
#include "tst_readout.moc"
