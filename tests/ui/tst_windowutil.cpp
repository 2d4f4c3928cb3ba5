#include "MWindowUtil.h"
#include "TransParentCtl.h"

#include <QComboBox>
#include <QTest>

namespace {
QStringList Names(std::initializer_list<const char*> names)
{
    QStringList list;
    for (const char* name : names)
        list << QString::fromUtf8(name);
    return list;
}
} // namespace

class tst_WindowUtil : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void isPointInButton_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("inside");
        QTest::newRow("above and left") << -3 << -3 << false;
        QTest::newRow("top-left corner") << 0 << 0 << true;
        QTest::newRow("middle") << 36 << 14 << true;
        QTest::newRow("exact right and bottom edge") << 73 << 28 << true;
        QTest::newRow("one past the right edge") << 74 << 28 << false;
        QTest::newRow("one past the bottom edge") << 73 << 29 << false;
        QTest::newRow("left of it only") << -1 << 10 << false;
    }
    void isPointInButton()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QWidget button;
        button.setFixedSize(73, 28);
        QTEST(MWindowUtil::IsPointInButton(x, y, &button), "inside");
    }

    void removeComboItem_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("remove");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("selectedAfter");
        const QStringList items
            = {QStringLiteral("None"), QStringLiteral("UPS"), QStringLiteral("My page"), QStringLiteral("Other")};
        QTest::newRow("selected entry: entry 0 selected first")
            << items << 2 << "My page" << Names({"None", "UPS", "Other"}) << "None";
        QTest::newRow("other entry keeps the selection")
            << items << 3 << "UPS" << Names({"None", "My page", "Other"}) << "Other";
        QTest::newRow("text must match exactly") << items << 1 << "my page" << items << "UPS";
        QTest::newRow("empty list") << QStringList() << -1 << "UPS" << QStringList() << QString();
    }
    void removeComboItem()
    {
        QFETCH(QStringList, items);
        QFETCH(int, selected);
        QFETCH(QString, remove);
        QComboBox list;
        list.addItems(items);
        list.setCurrentIndex(selected);
        MWindowUtil::RemoveComboItem(&list, remove);
        QStringList after;
        for (int i = 0; i < list.count(); ++i)
            after << list.itemText(i);
        QTEST(after, "after");
        QTEST(list.currentText(), "selectedAfter");
    }

    void setRoundRegion()
    {
        QWidget window;
        window.resize(300, 200);
        MWindowUtil::SetRoundRegion(&window);
        const QRegion mask = window.mask();
        QCOMPARE(mask.boundingRect(), QRect(QPoint(10, 10), QPoint(289, 189)));
        QVERIFY(!mask.contains(QPoint(11, 11))); // cut by the rounded corner
        QVERIFY(mask.contains(QPoint(150, 10)));
        QVERIFY(mask.contains(QPoint(10, 100)));
        QVERIFY(!mask.contains(QPoint(150, 190)));
    }

    void shapeWindow()
    {
        QWidget window;
        window.resize(225, 83);
        auto* title = new QWidget(&window);
        title->setGeometry(0, 0, 225, 15);
        auto* box = new QWidget(&window);
        box->setGeometry(0, 15, 225, 61);
        auto* inside = new QWidget(title); // grandchildren do not add to the outline
        inside->setGeometry(200, 2, 40, 40);
        MWindowUtil::ShapeWindow(&window);
        QCOMPARE(window.mask(), QRegion(0, 0, 225, 76));
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
        QTest::newRow("black block kept") << block << quint32(0xFFFFFF) << QRegion(2, 1, 3, 2);
        QTest::newRow("exact test: near-white is kept") << nearWhite << quint32(0xFFFFFF) << QRegion(0, 0, 1, 1);
        QTest::newRow("default colour cuts nothing")
            << block << quint32(TransParentCtl::DefaultMaskColor) << QRegion(0, 0, 6, 4);
        QTest::newRow("cut the black instead")
            << block << quint32(0x000000) << (QRegion(0, 0, 6, 4) - QRegion(2, 1, 3, 2));
    }
    void transparentOutline()
    {
        QFETCH(QImage, mask);
        QFETCH(quint32, color);
        QWidget container;
        container.resize(10, 10);
        TransParentCtl control(&container);
        control.SetMaskColor(color);
        control.SetMaskPicture(mask);
        QFETCH(QRegion, outline);
        // Same pixels, whatever rectangles the region is made of.
        QVERIFY((control.Outline() ^ outline).isEmpty());
        QCOMPARE(control.Outline().isEmpty(), outline.isEmpty());
        QCOMPARE(control.size(), mask.size());
        // Frameless container: the window region is the outline itself; each read is a new, equal region.
        QVERIFY((container.mask() ^ outline).isEmpty());
        QCOMPARE(control.hRgn(), control.hRgn());
    }

    void transparentColourBeforePicture()
    {
        QWidget container;
        container.resize(10, 10);
        TransParentCtl control(&container);
        control.SetMaskColor(0xFFFFFF);
        QVERIFY(container.mask().isEmpty());
        QCOMPARE(control.hRgn(), QRegion(0, 0, 1, 1));
    }
};

QTEST_MAIN(tst_WindowUtil)
#include "tst_windowutil.moc"
