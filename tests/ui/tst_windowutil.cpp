#include "MWindowUtil.h"
#include "TransParentCtl.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_WindowUtil : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void isPointInButton_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("inside");
        QTest::newRow("above and left") << QPoint(-3, -3) << false;
        QTest::newRow("top-left corner") << QPoint(0, 0) << true;
        QTest::newRow("exact right and bottom edge") << QPoint(73, 28) << true;
        QTest::newRow("one past the right edge") << QPoint(74, 28) << false;
        QTest::newRow("one past the bottom edge") << QPoint(73, 29) << false;
    }
    void isPointInButton()
    {
        QFETCH(QPoint, at);
        QWidget button;
        button.setFixedSize(73, 28);
        QTEST(MWindowUtil::IsPointInButton(at.x(), at.y(), &button), "inside");
    }

    void preferredPlatform_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("qpa");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("x11");
        QTest::addColumn<QString>("platform");
        const QString any;
        QTest::newRow("Wayland with XWayland") << QStringList() << any << u"wayland-0"_s << u":0"_s << u"xcb"_s;
        QTest::newRow("Wayland alone") << QStringList() << any << u"wayland-0"_s << any << any;
        QTest::newRow("X11 alone") << QStringList() << any << any << u":0"_s << any;
        QTest::newRow("the user's variable wins") << QStringList() << u"wayland"_s << u"w"_s << u":0"_s << any;
        QTest::newRow("the user's switch wins")
            << QStringList {u"-platform"_s, u"wayland"_s} << any << u"w"_s << u":0"_s << any;
    }
    void preferredPlatform()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, qpa);
        QFETCH(QString, wayland);
        QFETCH(QString, x11);
        QTEST(MWindowUtil::PreferredPlatform(arguments, qpa, wayland, x11), "platform");
    }

    void transparentOutline_data()
    {
        QTest::addColumn<QImage>("mask");
        QTest::addColumn<quint32>("color");
        QTest::addColumn<QRegion>("outline");
        QImage white(6, 4, QImage::Format_RGB32);
        white.fill(Qt::white);
        QImage block = white;
        for (int y = 1; y < 3; ++y)
            for (int x = 2; x < 5; ++x)
                block.setPixel(x, y, qRgb(0, 0, 0));
        QImage nearWhite = white;
        nearWhite.setPixel(0, 0, qRgb(0xFE, 0xFF, 0xFF));
        QTest::newRow("all mask colour: empty outline") << white << quint32(0xFFFFFF) << QRegion();
        QTest::newRow("exact test: near-white is kept") << nearWhite << quint32(0xFFFFFF) << QRegion(0, 0, 1, 1);
        QTest::newRow("cut the black instead")
            << block << quint32(0x000000) << (QRegion(0, 0, 6, 4) - QRegion(2, 1, 3, 2));
    }
    void transparentOutline()
    {
        QFETCH(QImage, mask);
        QFETCH(quint32, color);
        QFETCH(QRegion, outline);
        QWidget container;
        container.resize(10, 10);
        TransParentCtl control(&container);
        control.SetMaskColor(color);
        QVERIFY(container.mask().isEmpty()); // no picture yet: nothing to cut by
        control.SetMaskPicture(mask);
        // Same pixels, whatever rectangles the region is made of; a frameless
        // container takes the outline as its window region.
        QVERIFY((control.Outline() ^ outline).isEmpty());
        // What the window shows of itself is the outline, and nothing at all for an empty one (Qt takes an
        // empty mask for no mask, the whole window).
        QVERIFY(!container.mask().isEmpty());
        QVERIFY(((container.mask() & container.rect()) ^ outline).isEmpty());
    }
};

QTEST_MAIN(tst_WindowUtil)
#include "tst_windowutil.moc"
