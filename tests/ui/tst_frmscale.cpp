// The main and compact windows of the running program: what they show of the session, and that their
// buttons, list and menus reach it, by clicks and keys on the real widgets. What the session does with a
// command is its own test's part.
#include "AppState.h"
#include "CCarrierPages.h"
#include "CPictureButton.h"
#include "CScaleCalc.h"
#include "CTrayIcon.h"
#include "FeedUsbDevice.h"
#include "MMain.h"
#include "MReadout.h"
#include "ProgramRun.h"
#include "RecordingBrowser.h"
#include "ScopedEnv.h"
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

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The message boxes shown, or the one of this name whether shown or not.
QList<QMessageBox*> Boxes(const QString& name = QString())
{
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w);
            box && (name.isNull() ? box->isVisible() : w->objectName() == name))
            boxes << box;
    return boxes;
}

// Opens the menu and clicks the item with this caption; false when it has none, for the caller's QVERIFY.
bool Choose(QMenu* menu, const QString& caption)
{
    menu->popup(QPoint(20, 20));
    if (!QTest::qWaitForWindowExposed(menu))
        return false;
    for (QAction* item : menu->actions()) {
        if (item->text() == caption) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
            return true;
        }
    }
    menu->hide();
    qWarning() << "no menu item" << caption;
    return false;
}

void Click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5));
}

const QString UserPageIni = u"[_WGX_WEB]\nCNT=1\n_WGX_NAME1=Corner Shop\n"
                            u"[Corner Shop]\n_WGX_ADDRESS=https://shop.example/rates\n"_s;

} // namespace

class tst_frmScale : public QObject
{
    Q_OBJECT

    ProgramRun::Folder mRun;
    FeedUsbDevice* mFeed = nullptr;
    RecordingBrowsers mMade;

    frmScale* Scale() const { return MMain::Windows().scale; }
    ScaleSession* Session() const { return App().gSession.get(); }

    bool Start(const QString& ini = QString(), const QStringList& args = {}, bool tray = true, bool attached = true)
    {
        const bool started = mRun.Start(ini, args, tray, [this, attached]() -> std::unique_ptr<UsbDevice> {
            auto device = std::make_unique<FeedUsbDevice>();
            device->mAttached = attached;
            mFeed = device.get();
            return device;
        });
        // Browsers are made on first use, so the recording one can come after the start.
        App().gBrowserFactory = [this](WebPageUse, QString* error) {
            return mMade.Make(error);
        };
        return started;
    }
    bool Choose(const QString& caption) { return ::Choose(Scale()->PopupMenu(), caption); }
    void Feed(double grams, int times) { mFeed->FeedGrams(grams, times); }
    static int CheckedItem(const QMenu* menu)
    {
        const auto items = menu->actions();
        return int(std::ranges::find_if(items, &QAction::isChecked) - items.begin());
    }

private Q_SLOTS:
    void cleanup()
    {
        mRun.CleanUp();
        mMade = {};
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
            Click(Scale()->Button(u"picMin"_s));
        else if (how == u"menu"_s)
            QVERIFY(Choose(u"Minimize Pesavo"_s));
        QCOMPARE(MMain::Windows().shown->isVisible(), !hidden);
        QCOMPARE(Scale()->isMinimized(), how != u"start"_s && !tray);
        QCOMPARE(Scale()->PopupItem(0)->text(), hidden ? u"Launch Pesavo"_s : u"Minimize Pesavo"_s);
        // The initialisation progress follows the display.
        Feed(0, 1);
        QCOMPARE(MMain::Windows().progress->isVisible(), !hidden);
        Q_EMIT Scale()->Tray()->DoubleClick(1);
        QVERIFY(MMain::Windows().shown->isVisible() && !Scale()->isMinimized());
        QVERIFY(MMain::Windows().progress->isVisible());
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

    // The status area, the tray icon and the progress window through the scale's arrival, calibration and
    // removal half-way through a new calibration.
    void deviceArrivalReportsRemoval()
    {
        QVERIFY(Start(QString(), {}, true, false));
        const SkinLayout& l = App().gLayout;
        frmProgressBar* progress = MMain::Windows().progress;
        QCOMPARE(MReadout::PaintedAt(l.statusMsg), u"MSGDETACH"_s);
        QCOMPARE(Scale()->Tray()->IconName(), u"absent"_s);
        QVERIFY(!progress->isVisible());
        mFeed->SetAttached(true);
        QCOMPARE(MReadout::PaintedAt(l.statusMsg), u"MSGNULL"_s);
        QCOMPARE(Scale()->Tray()->IconName(), u"present"_s);
        Feed(250, 8);
        QVERIFY(progress->isVisible());
        QTRY_COMPARE(progress->ProgressBar()->value(), 8);
        QTRY_VERIFY(Scale()->Tray()->IconName().startsWith(u"anim"_s));
        Feed(250, 8);
        QVERIFY(!progress->isVisible());
        QCOMPARE(Scale()->Tray()->IconName(), u"present"_s);
        Feed(500, 8);
        QCOMPARE(MReadout::PaintedAt(l.digits[2]), u"3"_s); // 0.250 kg, digit 2

        mFeed->SetAttached(true);
        Feed(500, 1);
        QVERIFY(progress->isVisible());
        mFeed->SetAttached(false);
        QVERIFY(!progress->isVisible());
        QVERIFY(!Scale()->IsInitProgressRunning());
        QCOMPARE(MReadout::PaintedAt(l.statusMsg), u"MSGDETACH"_s);
        QCOMPARE(Scale()->Tray()->IconName(), u"absent"_s);
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
        Session()->ScaleError(code);
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
        QTest::newRow("context, StatusNotifier") << int(QSystemTrayIcon::Context) << true << QList<int> {2};
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

    // The pop-up menu's window commands, and what the options dialog holds off while it is open. The tray's
    // right press brings the menu up, but nothing over the dialog. Without a calculator, the owned, modal
    // warning says what to install.
    void menuCommands()
    {
        QVERIFY(Start());
        CTrayIcon* tray = Scale()->Tray();
        Q_EMIT tray->MouseDown(1);
        QVERIFY(!Scale()->IsTrayMenuPending());
        Q_EMIT tray->MouseDown(2);
        QTRY_VERIFY(Scale()->PopupMenu()->isVisible());
        Scale()->PopupMenu()->hide();
        QVERIFY(Choose(u"Always on Top"_s));
        Click(Scale()->Button(u"picOpt"_s));
        auto* options = static_cast<frmOption*>(MMain::Windows().options);
        QVERIFY(options->isVisible() && options->isEnabled());
        QVERIFY(!Scale()->isEnabled());
        Q_EMIT tray->MouseDown(2);
        QVERIFY(!Scale()->IsTrayMenuPending());
        // The display gives up always-on-top while the dialog is open.
        QVERIFY(!Scale()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        options->findChild<QPushButton*>(u"cmdOK"_s)->click();
        QVERIFY(!options->isVisible());
        QVERIFY(Scale()->isEnabled());
        QVERIFY(Scale()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(Choose(u"Always on Top"_s));
        QVERIFY(!Scale()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        // Hold by the button, shown in the readout, the menu and the tare button; tare by the menu.
        const QPoint holdPlace = App().gLayout.holdMsg;
        ProgramRun::Weigh(*mFeed, 0.3);
        Click(Scale()->Button(u"picAutoHold"_s));
        QVERIFY(Session()->IsHeld());
        QVERIFY(Scale()->PopupItem(2)->isChecked());
        QVERIFY(!Scale()->PopupItem(3)->isEnabled());
        QVERIFY(!Scale()->Button(u"picTare"_s)->isEnabled());
        QCOMPARE(MReadout::PaintedAt(holdPlace), u"MSGHOLD"_s);
        QVERIFY(Choose(u"Hold"_s));
        QVERIFY(!Session()->IsHeld());
        QCOMPARE(MReadout::PaintedAt(holdPlace), u"MSGNULL"_s);
        QVERIFY(Choose(u"Tare Scale"_s));
        Feed(300, 6);
        QCOMPARE(Session()->Weight(), 0.0);

        Feed(1800, 6);
        QCOMPARE(Session()->Weight(), 1.5);
        MReadout::DrawWeight(0.5);
        QVERIFY(Choose(u"Small Display"_s));
        QCOMPARE(MMain::Windows().shown, static_cast<QWidget*>(MMain::Windows().lcd));
        QVERIFY(!Scale()->isVisible());
        QCOMPARE(MReadout::PaintedAt(App().gLayout.digits[1]), u"2"_s); // 1.500 redrawn
        const QImage shown = MMain::Windows().lcd->picBox()->pixmap().toImage();
        QCOMPARE(shown, MReadout::PicHiden().convertToFormat(shown.format()));

        // Switching while hidden keeps the display hidden.
        MMain::HideDisplay();
        QVERIFY(Choose(u"Small Display"_s));
        QCOMPARE(MMain::Windows().shown, static_cast<QWidget*>(MMain::Windows().scale));
        QVERIFY(!Scale()->isVisible());
        QVERIFY(!MMain::Windows().lcd->isVisible());

        QTemporaryDir bin;
        {
            const ScopedEnv path("PATH", QFile::encodeName(bin.path()));
            QVERIFY(Choose(u"Calculator"_s));
        }
        QCOMPARE(Boxes(u"msgCalculator"_s).size(), 1);
        QMessageBox* box = Boxes(u"msgCalculator"_s).first();
        QCOMPARE(box->parentWidget(), MMain::Windows().shown);
        QCOMPARE(box->windowModality(), Qt::ApplicationModal);
        QVERIFY2(box->informativeText().contains(u"gnome-calculator"_s), qPrintable(box->informativeText()));
    }

    // The compact window and the unit's check mark follow the choices read; the user's pages follow the fixed ones
    // in the submenu and the list, and a bad list is reported. Closing the compact window ends the program
    // with the window's choices written.
    void compactWindowEndsKeepingSettings()
    {
        QVERIFY(
            Start(u"[_WGX_GENERAL]\nUNIT=2\nAUTO_LAUNCH=3\nDISPLAY=-1\nTOP=0\n[_WGX_WEB]\nCNT=5\n_WGX_NAME1=My Post\n"
                  "_WGX_NAME2=\n_WGX_NAME3=Freight\n_WGX_NAME4=FREIGHT\n_WGX_NAME5=Other\n"_s));
        frmLCDDisplay* lcd = MMain::Windows().lcd;
        QCOMPARE(MMain::Windows().shown, static_cast<QWidget*>(lcd));
        QVERIFY(lcd->isVisible() && !Scale()->isVisible() && Scale()->PopupItem(11)->isChecked());
        QCOMPARE(CheckedItem(Scale()->UnitMenu()), 1);
        QMenu* pages = Scale()->AutoLaunchMenu();
        QCOMPARE(pages->actions().size(), 12);
        QCOMPARE(pages->actions().at(11)->text(), u"Freight"_s);
        QCOMPARE(Scale()->cboWeb()->itemText(10), u"Freight"_s);
        // A user page's name twice, in any case, is reported and ends the list.
        QCOMPARE(Boxes(u"msgLoadWebPages"_s).size(), 1);
        QVERIFY(Boxes(u"msgLoadWebPages"_s).first()->text().contains(u"FREIGHT"_s));

        QVERIFY(Choose(u"Always on Top"_s));
        QTest::mouseClick(lcd->picMin(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!lcd->isVisible());
        Q_EMIT Scale()->Tray()->DoubleClick(1);
        QVERIFY(lcd->isVisible());

        lcd->close();
        QVERIFY(MMain::Windows().scale == nullptr);
        QCOMPARE(mRun.Stored(u"_WGX_GENERAL"_s, u"TOP"_s), u"1"_s);
    }

    // A page chosen in the submenu or in the list reaches the session, and both show the choice; the web
    // button (after the menu) or the menu's command (after the list) opens it.
    void pageSelection_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<int>("chosen"); // menu item or list index
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("checkedItem");
        QTest::addColumn<QStringList>("opened");
        const QStringList shop {u"https://shop.example/rates"_s};
        QTest::newRow("menu item 5: international envelope")
            << true << 5 << 4 << 5 << QStringList {CCarrierPages::UspsIntEnvelopeAddress()};
        QTest::newRow("menu item 0: none") << true << 0 << 0 << 0 << QStringList();
        QTest::newRow("menu item 10: the user page") << true << 10 << 9 << 10 << shop;
        QTest::newRow("list index 9: the user page") << false << 9 << 9 << 10 << shop;
        QTest::newRow("list index 1: UPS") << false << 1 << 1 << 2 << QStringList {CCarrierPages::UpsAddress()};
    }
    void pageSelection()
    {
        QFETCH(bool, byMenu);
        QFETCH(int, chosen);
        QVERIFY(Start(u"[_WGX_GENERAL]\nAUTO_LAUNCH=7\n"_s + UserPageIni));
        QMenu* menu = Scale()->AutoLaunchMenu();
        QComboBox* list = Scale()->cboWeb();
        QCOMPARE(CheckedItem(menu), 8); // as read
        QCOMPARE(list->currentIndex(), 7);
        if (byMenu) {
            QVERIFY(::Choose(menu, menu->actions().at(chosen)->text()));
        } else {
            list->setFocus();
            for (int at = list->currentIndex(); at != chosen; at += at < chosen ? 1 : -1)
                QTest::keyClick(list, at < chosen ? Qt::Key_Down : Qt::Key_Up);
        }
        QFETCH(int, page);
        QCOMPARE(int(Session()->General().autoLaunch), page);
        QCOMPARE(list->currentIndex(), page);
        QCOMPARE(std::ranges::count_if(menu->actions(), &QAction::isChecked), 1);
        QTEST(CheckedItem(menu), "checkedItem");
        QCOMPARE(mRun.Stored(u"_WGX_GENERAL"_s, u"AUTO_LAUNCH"_s), QString::number(page));
        QVERIFY2(mMade.navigations.isEmpty(), "choosing a page must not open it");

        if (byMenu)
            Click(Scale()->Button(u"picWeb"_s));
        else
            QVERIFY(Choose(u"Go to Selected Web Page"_s));
        QTEST(mMade.navigations, "opened");
        QFETCH(QStringList, opened);
        QCOMPARE(Scale()->IsBrowserExist(), !opened.isEmpty());
        QVERIFY(!Scale()->BrowserMessage());
    }

    // A browser that cannot be started, or a converter page that is missing, is one warning box however
    // often it is asked; the program goes on.
    void browserFailureIsOneBox_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("told");
        QTest::newRow("web button twice") << u"picWeb"_s << u"Install Chromium"_s;
        QTest::newRow("converter page missing") << u"picConv"_s << u"conversion.html"_s;
    }
    void browserFailureIsOneBox()
    {
        QFETCH(QString, button);
        QFETCH(QString, told);
        mMade.refusal = u"No browser here. Install Chromium: sudo apt install chromium"_s;
        QVERIFY(Start(u"[_WGX_GENERAL]\nAUTO_LAUNCH=2\n"_s));
        for (int i = 0; i < 2; ++i)
            Click(Scale()->Button(button));
        const QList<QMessageBox*> boxes = Boxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.first(), Scale()->BrowserMessage());
        QCOMPARE(boxes.first()->icon(), QMessageBox::Warning);
        QVERIFY2(boxes.first()->text().contains(told), qPrintable(boxes.first()->text()));
        boxes.first()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Scale()->BrowserMessage());
        QVERIFY(Scale()->isEnabled());
    }
};

QTEST_MAIN(tst_frmScale)
#include "tst_frmscale.moc"
