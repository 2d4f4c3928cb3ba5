#include "AppState.h"
#include "CPictureButton.h"
#include "CScaleCalc.h"
#include "CTrayIcon.h"
#include "FeedUsbDevice.h"
#include "MMain.h"
#include "MReadout.h"
#include "ProgramRun.h"
#include "ScopedEnv.h"
#include "SimulatedUsbDevice.h"
#include "TestFiles.h"
#include "frmLCDDisplay.h"
#include "frmOption.h"
#include "frmProgressBar.h"
#include "frmScale.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QMessageBox* MessageBox(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return qobject_cast<QMessageBox*>(w);
    return nullptr;
}

} // namespace

class tst_frmScale : public QObject
{
    Q_OBJECT

    ProgramRun::Folder mRun;
    FeedUsbDevice* mFeed = nullptr;

    frmScale* Scale() const { return App().gScaleForm; }

    bool Start(const QString& ini = QString(), const QStringList& args = {}, bool tray = true, bool attached = true)
    {
        return mRun.Start(ini, args, tray, [this, attached]() -> std::unique_ptr<UsbDevice> {
            auto device = std::make_unique<FeedUsbDevice>();
            device->mAttached = attached;
            mFeed = device.get();
            return device;
        });
    }

    // False when the menu has no such item, for the caller's QVERIFY.
    bool Trigger(const QString& caption)
    {
        for (QAction* item : Scale()->PopupMenu()->actions())
            if (item->text() == caption)
                return item->trigger(), true;
        qWarning() << "no menu item" << caption;
        return false;
    }

    // Reports of this many grams with the simulated calibration (25 cg a count).
    // The page submenu's item with the check mark; -1 when none has it.
    static int CheckedItem(const QMenu* menu)
    {
        const auto items = menu->actions();
        for (int i = 0; i < items.size(); ++i)
            if (items.at(i)->isChecked())
                return i;
        return -1;
    }

    void Feed(double grams, int times) { mFeed->FeedGrams(grams, times); }

private Q_SLOTS:
    void cleanup() { mRun.CleanUp(); }

    // What the program read: "unit auto-launch/its menu item skin", then "small" and "top" when set.
    void startsWithSettings_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("read");
        QTest::newRow("no file: defaults") << QString() << u"0 0/0 0"_s;
        QTest::newRow("UNIT 2 reads as pounds, DISPLAY -1 as true")
            << u"[_WGX_GENERAL]\nUNIT=2\nAUTO_LAUNCH=3\nDISPLAY=-1\nTOP=1\nSKIN=4\n"_s << u"1 3/4 4 small top"_s;
        QTest::newRow("AUTO_LAUNCH out of range stops the reading")
            << u"[_WGX_GENERAL]\nUNIT=1\nAUTO_LAUNCH=40000\nDISPLAY=1\nTOP=1\nSKIN=2\n"_s << u"1 0/0 0"_s;
        QTest::newRow("SKIN out of range keeps skin 0")
            << u"[_WGX_GENERAL]\nTOP=1\nSKIN=-40000\n"_s << u"0 0/0 0 top"_s;
        QTest::newRow("leading number of the text")
            << u"[_WGX_GENERAL]\nAUTO_LAUNCH=2.5abc\nSKIN=3.5\n"_s << u"0 2/3 4"_s;
    }
    void startsWithSettings()
    {
        QFETCH(QString, ini);
        QVERIFY(Start(ini));
        const AppState& app = App();
        QString read = u"%1 %2/%3 %4"_s.arg(app.General().unit)
                           .arg(app.General().autoLaunch)
                           .arg(CheckedItem(Scale()->AutoLaunchMenu()))
                           .arg(app.General().skin);
        read += QLatin1String(app.General().smallDisplay ? " small" : "")
            + QLatin1String(app.General().alwaysOnTop ? " top" : "");
        QTEST(read, "read");
        QWidget* main = app.General().smallDisplay ? static_cast<QWidget*>(app.gLcdForm) : app.gScaleForm;
        QCOMPARE(app.gMainWindow, main);
        QVERIFY(main->isVisible());
        QVERIFY(Scale()->UnitMenu()->actions().at(app.General().unit)->isChecked());
    }

    // Hidden in the tray where there is one. Where there is none a hidden window could never be brought
    // back: it stays shown at start, and minimising sends it to the taskbar instead.
    void hiding_data()
    {
        QTest::addColumn<QString>("how"); // at start with the arguments, by the "button" or the "menu"
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("/s hides in the tray") << u"start"_s << QStringList {u"/s"_s} << true << true;
        QTest::newRow("/s without a tray shows") << u"start"_s << QStringList {u"/s"_s} << false << false;
        QTest::newRow("upper case switch shows") << u"start"_s << QStringList {u"/S"_s} << true << false;
        QTest::newRow("switch with more shows") << u"start"_s << QStringList {u"/s"_s, u"x"_s} << true << false;
        QTest::newRow("button, tray") << u"button"_s << QStringList() << true << true;
        QTest::newRow("button, no tray: taskbar") << u"button"_s << QStringList() << false << false;
        QTest::newRow("menu, no tray: taskbar") << u"menu"_s << QStringList() << false << false;
    }
    void hiding()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, args);
        QFETCH(bool, tray);
        QFETCH(bool, hidden);
        QVERIFY(Start(QString(), args, tray));
        if (how == u"button"_s)
            QTest::mouseClick(Scale()->Button(u"picMin"_s), Qt::LeftButton, {}, QPoint(5, 5));
        else if (how == u"menu"_s)
            QVERIFY(Trigger(u"Minimize Pesavo"_s));
        QCOMPARE(App().gMainWindow->isVisible(), !hidden);
        QCOMPARE(Scale()->isMinimized(), how != u"start"_s && !tray);
        QCOMPARE(Scale()->PopupItem(0)->text(), hidden ? u"Launch Pesavo"_s : u"Minimize Pesavo"_s);
        // The initialisation progress follows the display.
        Feed(0, 1);
        QCOMPARE(App().gProgressForm->isVisible(), !hidden);
        Scale()->m_objSysTray_DoubleClick(1);
        QVERIFY(App().gMainWindow->isVisible() && !Scale()->isMinimized());
        QVERIFY(App().gProgressForm->isVisible());
    }

    void pictureButtons_data()
    {
        QTest::addColumn<Qt::MouseButton>("mouse");
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<int>("unitAfter");
        QTest::newRow("click inside") << Qt::LeftButton << QPoint(30, 12) << false << 1;
        QTest::newRow("moved off to the right") << Qt::LeftButton << QPoint(90, 12) << false << 0;
        QTest::newRow("right button does nothing") << Qt::RightButton << QPoint(30, 12) << false << 0;
        // The second press of a double click comes as a double-click event: it is a click too.
        QTest::newRow("double click toggles twice") << Qt::LeftButton << QPoint(30, 12) << true << 0;
    }
    void pictureButtons()
    {
        QFETCH(Qt::MouseButton, mouse);
        QFETCH(QPoint, release);
        QVERIFY(Start());
        CPictureButton* button = Scale()->Button(u"pickgslbs"_s);
        QTest::mousePress(button, mouse, {}, QPoint(30, 12));
        QCOMPARE(button->IsPressed(), mouse == Qt::LeftButton);
        QTest::mouseMove(button, release);
        QTest::mouseRelease(button, mouse, {}, release);
        QVERIFY(!button->IsPressed());
        QFETCH(bool, doubleClick);
        if (doubleClick) {
            QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(release), button->mapToGlobal(QPointF(release)), mouse,
                            mouse, Qt::NoModifier);
            QApplication::sendEvent(button, &dbl);
            QTest::mouseRelease(button, mouse, {}, release);
        }
        QTEST(int(App().General().unit), "unitAfter");
    }

    // Started without the scale; an arrival the device does not confirm changes nothing.
    void deviceArrivalReportsRemoval()
    {
        QVERIFY(Start(QString(), {}, true, false));
        QCOMPARE(mFeed->mOpenedWith, u"6323:2233:SCALE"_s);
        const SkinLayout& l = App().gLayout;
        frmProgressBar* progress = App().gProgressForm;
        QCOMPARE(MReadout::PaintedAt(l.statusMsg), u"MSGDETACH"_s);
        QVERIFY(!progress->isVisible());
        mFeed->mFindAnswer = false;
        Feed(0, 1);
        const int initCnt = App().gSession->InitCount();
        mFeed->SetAttached(true);
        QCOMPARE(MReadout::PaintedAt(l.statusMsg), u"MSGDETACH"_s);
        QCOMPARE(Scale()->Tray()->IconName(), u"absent"_s);
        QCOMPARE(App().gSession->InitCount(), initCnt);
        mFeed->mFindAnswer = true;
        mFeed->SetAttached(true);
        Feed(250, 8);
        QVERIFY(progress->isVisible());
        Scale()->tStart_Timer();
        QCOMPARE(progress->ProgressBar()->value(), 8);
        QCOMPARE(Scale()->Tray()->IconName(), u"anim0"_s);
        Feed(250, 8);
        QVERIFY(!progress->isVisible());
        QCOMPARE(Scale()->Tray()->IconName(), u"present"_s);

        // The sixteenth report tares: now a parcel of 250 g shows as 0.250 kg.
        Feed(500, 8);
        QCOMPARE(App().gSession->Weight(), 0.25);
        QCOMPARE(MReadout::PaintedAt(l.digits[2]), u"3"_s); // digit 2

        // Unplugged half-way through a new initialisation: the progress ends at once.
        mFeed->SetAttached(true);
        QCOMPARE(App().gSession->InitCount(), 0);
        Feed(500, 1);
        QVERIFY(progress->isVisible());
        mFeed->SetAttached(false);
        QVERIFY(!progress->isVisible());
        QVERIFY(!Scale()->IsInitProgressRunning());
        QCOMPARE(MReadout::PaintedAt(l.statusMsg), u"MSGDETACH"_s);
        QCOMPARE(Scale()->Tray()->IconName(), u"absent"_s);

        mFeed->SetAttached(true);
        QCOMPARE(MReadout::PaintedAt(l.statusMsg), u"MSGNULL"_s);
        QCOMPARE(Scale()->Tray()->IconName(), u"present"_s);
    }

    void scaleErrors_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("shown");
        QTest::newRow("over capacity") << 1 << "MSGERROR";
        QTest::newRow("cleared") << 0 << "MSGNULL";
        QTest::newRow("unknown code paints nothing") << 5 << "before";
    }
    void scaleErrors()
    {
        QFETCH(int, code);
        QFETCH(QString, shown);
        QVERIFY(Start());
        const QPoint place = App().gLayout.errorMsg;
        MReadout::DrawMessage(place, u"before"_s);
        std::int32_t value = code;
        Scale()->m_objScaleCalc_ScaleError(value);
        QCOMPARE(MReadout::PaintedAt(place), shown);
        // With an error pending a negative weight leaves the error area alone.
        MReadout::DrawWeight(-0.5);
        QCOMPARE(MReadout::PaintedAt(place), code == 0 ? u"MSGERROR"_s : shown);
    }

    // StatusNotifier trays report a click as "activate" and never a double click: there the click is what
    // brings the window back. Trays that do send double clicks keep the single click for the foreground only.
    void trayActivations_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("statusNotifier");
        QTest::addColumn<QList<int>>("events"); // mouse-down button, or -1 for a double click
        QTest::newRow("click, StatusNotifier") << int(QSystemTrayIcon::Trigger) << true << QList<int> {1, -1};
        QTest::newRow("click, XEmbed") << int(QSystemTrayIcon::Trigger) << false << QList<int> {1};
        QTest::newRow("double click, XEmbed") << int(QSystemTrayIcon::DoubleClick) << false << QList<int> {-1};
        QTest::newRow("context, StatusNotifier") << int(QSystemTrayIcon::Context) << true << QList<int> {2};
        QTest::newRow("middle") << int(QSystemTrayIcon::MiddleClick) << true << QList<int> {4};
    }
    void trayActivations()
    {
        QFETCH(int, reason);
        QFETCH(bool, statusNotifier);
        QFETCH(QList<int>, events);
        QList<int> seen;
        for (const CTrayIcon::Event& event :
             CTrayIcon::EventsFor(QSystemTrayIcon::ActivationReason(reason), statusNotifier))
            seen << (event.kind == CTrayIcon::Event::DoubleClick ? -1 : event.button);
        QCOMPARE(seen, events);
    }

    // The popup menu's commands, and what the options dialog holds off while it is open. The tray's right
    // press brings the menu up, but nothing over the dialog. Without a calculator, the owned, modal warning
    // says what to install.
    void menuCommands()
    {
        QVERIFY(Start());
        Scale()->m_objSysTray_MouseDown(1);
        QVERIFY(!Scale()->IsTrayMenuPending());
        Scale()->m_objSysTray_MouseDown(2);
        QTRY_VERIFY(Scale()->PopupMenu()->isVisible());
        Scale()->PopupMenu()->hide();
        QVERIFY(Trigger(u"Always on Top"_s));
        QTest::mouseClick(Scale()->Button(u"picOpt"_s), Qt::LeftButton, {}, QPoint(5, 5));
        auto* options = static_cast<frmOption*>(App().gOptionForm);
        QVERIFY(options->isVisible() && options->isEnabled());
        QVERIFY(!Scale()->isEnabled());
        // The tray brings nothing up over it.
        Scale()->m_objSysTray_MouseDown(2);
        QVERIFY(!Scale()->IsTrayMenuPending());
        // The display gives up always-on-top while the dialog is open.
        QVERIFY(!Scale()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        options->findChild<QPushButton*>(u"cmdOK"_s)->click();
        QVERIFY(!options->isVisible());
        QVERIFY(Scale()->isEnabled());
        QVERIFY(Scale()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(Trigger(u"Always on Top"_s));
        QVERIFY(!Scale()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        const QPoint holdPlace = App().gLayout.holdMsg;
        // Not ready yet: the hold stays off.
        QVERIFY(Trigger(u"Hold"_s));
        QVERIFY(!Scale()->PopupItem(2)->isChecked());
        QCOMPARE(MReadout::PaintedAt(holdPlace), u"MSGNULL"_s);

        Feed(0, CScaleCalc::InitCntNeeded);
        Feed(300, 6);
        QCOMPARE(App().gSession->Weight(), 0.3);
        QVERIFY(Trigger(u"Hold"_s));
        QVERIFY(!Scale()->PopupItem(3)->isEnabled());
        QVERIFY(!Scale()->Button(u"picTare"_s)->isEnabled());
        QCOMPARE(MReadout::PaintedAt(holdPlace), u"MSGHOLD"_s);
        Feed(800, 6);
        QCOMPARE(App().gSession->Weight(), 0.3);
        QVERIFY(Trigger(u"Hold"_s));
        QCOMPARE(MReadout::PaintedAt(holdPlace), u"MSGNULL"_s);
        Feed(800, 1);
        QCOMPARE(App().gSession->Weight(), 0.8);

        QVERIFY(Trigger(u"Tare Scale"_s));
        Feed(800, 6);
        QCOMPARE(App().gSession->Weight(), 0.0);

        Feed(2300, 6);
        QCOMPARE(App().gSession->Weight(), 1.5);
        MReadout::DrawWeight(0.5);
        QVERIFY(Trigger(u"Small Display"_s));
        QCOMPARE(App().gMainWindow, static_cast<QWidget*>(App().gLcdForm));
        QVERIFY(!Scale()->isVisible());
        QCOMPARE(MReadout::PaintedAt(App().gLayout.digits[1]), u"2"_s); // 1.500 redrawn
        const QImage shown = App().gLcdForm->picBox()->pixmap().toImage();
        QCOMPARE(shown, MReadout::PicHiden().convertToFormat(shown.format()));

        // Switching while hidden keeps the display hidden.
        MMain::HideDisplay();
        QVERIFY(Trigger(u"Small Display"_s));
        QCOMPARE(App().gMainWindow, static_cast<QWidget*>(App().gScaleForm));
        QVERIFY(!Scale()->isVisible());
        QVERIFY(!App().gLcdForm->isVisible());

        QTemporaryDir bin;
        {
            const ScopedEnv path("PATH", QFile::encodeName(bin.path()));
            QVERIFY(Trigger(u"Calculator"_s));
        }
        QMessageBox* box = MessageBox(u"msgCalculator"_s);
        QVERIFY(box);
        QCOMPARE(box->parentWidget(), App().gMainWindow);
        QCOMPARE(box->windowModality(), Qt::ApplicationModal);
        QVERIFY2(box->informativeText().contains(u"gnome-calculator"_s), qPrintable(box->informativeText()));
    }

    // Closing the compact window ends the program; what the exit writes keeps the keys and sections that are
    // not the window's. Reading the written values back is the start-up test's part.
    void compactWindowEndsKeepingSettings()
    {
        QVERIFY(Start(u"[_WGX_GENERAL]\nUNIT=2\nAUTO_LAUNCH=3\nDISPLAY=-1\nTOP=0\nSKIN=4\nSTARTUP=1\n"
                      "[_WGX_FEDEX]\nAUTO_FILL=1\n[_WGX_WEB]\nCNT=5\n_WGX_NAME1=My Post\n_WGX_NAME2=\n"
                      "_WGX_NAME3=Freight\n_WGX_NAME4=FREIGHT\n_WGX_NAME5=Other\n"_s));
        QMenu* pages = Scale()->AutoLaunchMenu();
        QCOMPARE(pages->actions().size(), 12);
        QCOMPARE(pages->actions().at(11)->text(), u"Freight"_s);
        QCOMPARE(Scale()->cboWeb()->itemText(10), u"Freight"_s);
        // A user page's name twice, in any case, is reported and ends the list.
        QCOMPARE(App().gSession->Pages(), (QStringList {u"My Post"_s, u"Freight"_s}));
        QMessageBox* error = MessageBox(u"msgLoadWebPages"_s);
        QVERIFY(error);
        QVERIFY(error->text().contains(QLatin1String("FREIGHT")));

        QVERIFY(Trigger(u"Always on Top"_s));
        frmLCDDisplay* lcd = App().gLcdForm;
        QTest::mouseClick(lcd->picMin(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!lcd->isVisible());
        Scale()->m_objSysTray_DoubleClick(1);
        QVERIFY(lcd->isVisible());

        lcd->close();
        QVERIFY(App().gScaleForm == nullptr);
        const QString text = QString::fromUtf8(ReadBytes(mRun.Data1()));
        for (const char* line : {"UNIT=1\n", "AUTO_LAUNCH=3\n", "DISPLAY=1\n", "TOP=1\n", "SKIN=4\n", "STARTUP=1\n",
                                 "[_WGX_FEDEX]\nAUTO_FILL=1"})
            QVERIFY2(text.contains(QLatin1String(line)), line);
    }
};

QTEST_MAIN(tst_frmScale)
#include "tst_frmscale.moc"
