#include "AppState.h"
#include "CArtwork.h"
#include "CPictureButton.h"
#include "CScaleCalc.h"
#include "CTrayIcon.h"
#include "FeedUsbDevice.h"
#include "IniFile.h"
#include "MMain.h"
#include "MReadout.h"
#include "SimulatedUsbDevice.h"
#include "frmAbout.h"
#include "frmLCDDisplay.h"
#include "frmOption.h"
#include "frmProgressBar.h"
#include "frmScale.h"
#include "frmSimulator.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList Names(std::initializer_list<const char*> names)
{
    QStringList list;
    for (const char* name : names)
        list << QString::fromUtf8(name);
    return list;
}

QByteArray Report(int adcCount)
{
    return SimulatedUsbDevice::MakeReport(SimulatedUsbDevice::CalLoadGrams, SimulatedUsbDevice::CalCount, adcCount);
}

// 25 cg a count with the simulated calibration.
int CountsFor(double grams)
{
    return int(grams * 100.0 / 25.0);
}

QString ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void WriteFile(const QString& path, const QString& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

QAction* ItemByCaption(QMenu* menu, const QString& caption)
{
    const auto actions = menu->actions();
    for (QAction* action : actions)
        if (action->text() == caption)
            return action;
    return nullptr;
}

} // namespace

class tst_frmScale : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void startsWithSettings_data();
    void startsWithSettings();
    void settingsRoundTripAcrossRestart();
    void startHidden_data();
    void startHidden();
    void webPagesList();
    void webPagesDuplicate();

    void pictureButtons_data();
    void pictureButtons();
    void doubleClickRunsTwice_data();
    void doubleClickRunsTwice();
    void minimiseAndCloseButtons();
    void rightPressForgetsTheLeftDown();
    void skinChangeRearranges();
    void progressFollowsTheDisplay();

    void deviceArrivalReportsRemoval();
    void arrivalNotConfirmedChangesNothing();
    void startsUnplugged();
    void scaleErrors_data();
    void scaleErrors();
    void simulatedScaleShowsWeightInBothReadouts();

    void holdAndTareByMenu();
    void unitMenuAndButton();
    void alwaysOnTopTwice();
    void smallDisplaySwitch();
    void trayMenuAndDoubleClick();
    void optionsDisableTheWindows();
    void aboutBox();
    void calculatorMissing();
    void calculatorStarted();
    void compactWindowButtons();
    void windowShapedByMask();
    void simulatorWindow_data();
    void simulatorWindow();

private:
    bool Start(const QStringList& args = {}, bool tray = true);
    void Exit();
    frmScale* Scale() const { return App().gScaleForm; }
    void Trigger(const QString& caption);
    void MakeReady(int grams = 0);

    std::unique_ptr<QTemporaryDir> mDir;
    FeedUsbDevice* mFeed = nullptr;
    SimulatedUsbDevice* mSim = nullptr;
    bool mUseSimulated = false;
    bool mStartAttached = true;
};

void tst_frmScale::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
    mUseSimulated = false;
    mStartAttached = true;
    mFeed = nullptr;
    mSim = nullptr;
}

void tst_frmScale::cleanup()
{
    if (App().gScaleForm)
        Exit();
    // Deleting one window may take owned ones with it.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows << w;
    for (const QPointer<QWidget>& w : windows)
        delete w.data();
    AppState::Reset();
}

bool tst_frmScale::Start(const QStringList& args, bool tray)
{
    AppState::Reset();
    AppState& app = App();
    app.gTrayAvailable = [tray] {
        return tray;
    };
    app.gDeviceFactory = [this]() -> std::unique_ptr<UsbDevice> {
        if (mUseSimulated) {
            auto device = std::make_unique<SimulatedUsbDevice>();
            device->SetNoiseAndDrift(false);
            device->SetReportInterval(2);
            mSim = device.get();
            return device;
        }
        auto device = std::make_unique<FeedUsbDevice>();
        device->mAttached = mStartAttached;
        mFeed = device.get();
        return device;
    };
    return MMain::Main(args, mDir->path());
}

void tst_frmScale::Exit()
{
    MMain::ExitApp();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    mFeed = nullptr;
    mSim = nullptr;
}

void tst_frmScale::Trigger(const QString& caption)
{
    QAction* item = ItemByCaption(Scale()->PopupMenu(), caption);
    QVERIFY2(item, qPrintable(caption));
    item->trigger();
}

void tst_frmScale::MakeReady(int grams)
{
    for (int i = 0; i < CScaleCalc::InitCntNeeded; ++i)
        mFeed->Feed(Report(CountsFor(grams)));
    QCOMPARE(Scale()->ScaleCalc()->InitCnt, CScaleCalc::InitCntNeeded);
}

// ---- start-up and settings ----

void tst_frmScale::startsWithSettings_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("autoLaunch");
    QTest::addColumn<int>("autoLaunchItem");
    QTest::addColumn<bool>("small");
    QTest::addColumn<bool>("top");
    QTest::addColumn<int>("skin");
    QTest::newRow("no file: defaults") << QString() << 0 << 0 << 0 << false << false << 0;
    QTest::newRow("UNIT 2 reads as pounds, DISPLAY -1 as true")
        << "[_WGX_GENERAL]\nUNIT=2\nAUTO_LAUNCH=3\nDISPLAY=-1\nTOP=1\nSKIN=4\n"
        << 1 << 3 << 4 << true << true << 4;
    QTest::newRow("AUTO_LAUNCH 0 gives item 0") << "[_WGX_GENERAL]\nUNIT=\nAUTO_LAUNCH=0\n"
                                                << 0 << 0 << 0 << false << false << 0;
    QTest::newRow("AUTO_LAUNCH out of range stops the reading")
        << "[_WGX_GENERAL]\nUNIT=1\nAUTO_LAUNCH=40000\nDISPLAY=1\nTOP=1\nSKIN=2\n"
        << 1 << 0 << 0 << false << false << 0;
    QTest::newRow("SKIN out of range keeps skin 0") << "[_WGX_GENERAL]\nTOP=1\nSKIN=-40000\n"
                                                    << 0 << 0 << 0 << false << true << 0;
    QTest::newRow("leading number of the text") << "[_WGX_GENERAL]\nAUTO_LAUNCH=2.5abc\nSKIN=3.5\n"
                                                << 0 << 2 << 3 << false << false << 4;
}

void tst_frmScale::startsWithSettings()
{
    QFETCH(QString, ini);
    if (!ini.isNull())
        WriteFile(mDir->filePath(QStringLiteral("Data1.ini")), ini);
    QVERIFY(Start());
    const AppState& app = App();
    QTEST(int(app.gUnit), "unit");
    QTEST(int(app.gAutoLaunch), "autoLaunch");
    QTEST(int(app.gAutoLaunchItem), "autoLaunchItem");
    QTEST(app.gSmallDisplay, "small");
    QTEST(app.gAlwaysOnTop, "top");
    QTEST(int(app.gSkin), "skin");
    QFETCH(bool, small);
    QCOMPARE(app.gMainWindow, small ? static_cast<QWidget*>(app.gLcdForm) : static_cast<QWidget*>(app.gScaleForm));
    QVERIFY(app.gMainWindow->isVisible());
    QCOMPARE(small ? app.gScaleForm->isVisible() : app.gLcdForm->isVisible(), false);
    QFETCH(int, unit);
    QCOMPARE(Scale()->UnitMenu()->actions().at(unit)->isChecked(), true);
    QCOMPARE(Scale()->PopupItem(11)->isChecked(), small);
}

void tst_frmScale::settingsRoundTripAcrossRestart()
{
    const QString data1 = mDir->filePath(QStringLiteral("Data1.ini"));
    WriteFile(data1,
              QStringLiteral("[_WGX_GENERAL]\nUNIT=2\nAUTO_LAUNCH=3\nDISPLAY=-1\nTOP=0\nSKIN=4\nSTARTUP=1\n"
                             "[_WGX_FEDEX]\nAUTO_FILL=1\n"));
    QVERIFY(Start());
    Trigger(QStringLiteral("Always on Top"));
    Exit();
    QVERIFY(App().gScaleForm == nullptr);

    const QString text = ReadFile(data1);
    QVERIFY2(text.contains(QLatin1String("UNIT=1\n")), qPrintable(text));
    QVERIFY(text.contains(QLatin1String("AUTO_LAUNCH=3\n")));
    QVERIFY(text.contains(QLatin1String("DISPLAY=1\n")));
    QVERIFY(text.contains(QLatin1String("TOP=1\n")));
    QVERIFY(text.contains(QLatin1String("SKIN=4\n")));
    // Keys and sections that are not ours survive.
    QVERIFY(text.contains(QLatin1String("STARTUP=1\n")));
    QVERIFY(text.contains(QLatin1String("[_WGX_FEDEX]\nAUTO_FILL=1")));

    QVERIFY(Start());
    QCOMPARE(App().gUnit, qint16(1));
    QCOMPARE(App().gAlwaysOnTop, true);
    QCOMPARE(App().gSmallDisplay, true);
    QCOMPARE(App().gSkin, qint16(4));
    QCOMPARE(App().gMainWindow, static_cast<QWidget*>(App().gLcdForm));
}

void tst_frmScale::startHidden_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("tray");
    QTest::addColumn<bool>("shown");
    QTest::newRow("/s hides in the tray") << Names({"/s"}) << true << false;
    QTest::newRow("/s without a tray shows") << Names({"/s"}) << false << true;
    QTest::newRow("upper case switch shows") << Names({"/S"}) << true << true;
    QTest::newRow("switch with more shows") << Names({"/s", "x"}) << true << true;
    QTest::newRow("no switch shows") << QStringList() << true << true;
}

void tst_frmScale::startHidden()
{
    QFETCH(QStringList, args);
    QFETCH(bool, tray);
    QVERIFY(Start(args, tray));
    QTEST(App().gMainWindow->isVisible(), "shown");
    QFETCH(bool, shown);
    QCOMPARE(Scale()->PopupItem(0)->text(),
             shown ? QStringLiteral("Minimize Pesavo") : QStringLiteral("Launch Pesavo"));
    // Every window is loaded either way.
    QVERIFY(App().gLcdForm && App().gProgressForm && App().gOptionForm);
    if (!shown) {
        Scale()->m_objSysTray_DoubleClick(1);
        QVERIFY(App().gMainWindow->isVisible());
    }
}

void tst_frmScale::webPagesList()
{
    const QString data1 = mDir->filePath(QStringLiteral("Data1.ini"));
    WriteFile(data1, QStringLiteral("[_WGX_WEB]\nCNT=3\n_WGX_NAME1=My Post\n_WGX_NAME2=\n_WGX_NAME3=Freight\n"));
    QVERIFY(Start());
    QMenu* pages = Scale()->AutoLaunchMenu();
    QCOMPARE(pages->actions().size(), 12);
    QCOMPARE(pages->actions().at(10)->text(), QStringLiteral("My Post"));
    QCOMPARE(pages->actions().at(11)->text(), QStringLiteral("Freight"));
    QCOMPARE(Scale()->cboWeb()->count(), 11);
    QCOMPARE(Scale()->cboWeb()->itemText(0), QStringLiteral("None"));
    QCOMPARE(Scale()->cboWeb()->itemText(10), QStringLiteral("Freight"));
    QCOMPARE(App().gWebPages, (Names({"My Post", "Freight"})));

    // Reloading after the list changed drops the earlier entries first.
    QVERIFY(App().gSettings->Section(QStringLiteral("_WGX_WEB")).Key(QStringLiteral("CNT")).SetValue(1));
    pages->actions().at(11)->setChecked(true);
    MMain::LoadWebPages();
    QCOMPARE(pages->actions().size(), 11);
    QCOMPARE(Scale()->cboWeb()->count(), 10);
    QCOMPARE(Scale()->cboWeb()->itemText(9), QStringLiteral("My Post"));
    QVERIFY(!pages->actions().at(10)->isChecked());
    QCOMPARE(App().gWebPages, Names({"My Post"}));
}

void tst_frmScale::webPagesDuplicate()
{
    WriteFile(mDir->filePath(QStringLiteral("Data1.ini")),
              QStringLiteral("[_WGX_WEB]\nCNT=3\n_WGX_NAME1=Mine\n_WGX_NAME2=MINE\n_WGX_NAME3=Other\n"));
    QVERIFY(Start());
    QCOMPARE(App().gWebPages, Names({"Mine"}));
    QMessageBox* error = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("msgLoadWebPages"))
            error = qobject_cast<QMessageBox*>(w);
    QVERIFY(error);
    QCOMPARE(error->windowTitle(), QStringLiteral("ERROR"));
    QVERIFY(error->text().contains(QLatin1String("MINE")));
}

// ---- picture buttons ----

void tst_frmScale::pictureButtons_data()
{
    QTest::addColumn<int>("mouse"); // 1 left, 2 right
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("pressedWhileDown");
    QTest::addColumn<int>("unitAfter");
    QTest::newRow("click inside") << 1 << QPoint(30, 12) << true << 1;
    QTest::newRow("release on the exact right-bottom edge") << 1 << QPoint(73, 28) << true << 1;
    QTest::newRow("moved off to the right") << 1 << QPoint(90, 12) << true << 0;
    QTest::newRow("moved off above-left") << 1 << QPoint(-3, -3) << true << 0;
    QTest::newRow("right button does nothing") << 2 << QPoint(30, 12) << false << 0;
}

void tst_frmScale::pictureButtons()
{
    QFETCH(int, mouse);
    QFETCH(QPoint, release);
    QVERIFY(Start());
    CPictureButton* button = Scale()->Button(QStringLiteral("pickgslbs"));
    QVERIFY(button);
    const Qt::MouseButton qtButton = mouse == 1 ? Qt::LeftButton : Qt::RightButton;
    QTest::mousePress(button, qtButton, {}, QPoint(30, 12));
    QTEST(button->IsPressed(), "pressedWhileDown");
    QTest::mouseMove(button, release);
    QTest::mouseRelease(button, qtButton, {}, release);
    QVERIFY(!button->IsPressed());
    QTEST(int(App().gUnit), "unitAfter");
    QFETCH(int, unitAfter);
    QCOMPARE(Scale()->UnitMenu()->actions().at(unitAfter)->isChecked(), true);
}

void tst_frmScale::doubleClickRunsTwice_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("expectedUnit");
    QTest::newRow("unit button toggles twice") << "pickgslbs" << 0;
}

void tst_frmScale::doubleClickRunsTwice()
{
    QFETCH(QString, name);
    QVERIFY(Start());
    CPictureButton* button = Scale()->Button(name);
    const QPoint at(10, 10);
    QSignalSpy ups(button, &CPictureButton::MouseUp);
    QTest::mousePress(button, Qt::LeftButton, {}, at);
    QTest::mouseRelease(button, Qt::LeftButton, {}, at);
    QCOMPARE(App().gUnit, qint16(1));
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at), button->mapToGlobal(QPointF(at)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &dbl);
    QVERIFY(button->IsPressed());
    QTest::mouseRelease(button, Qt::LeftButton, {}, at);
    QCOMPARE(ups.count(), 2);
    QTEST(int(App().gUnit), "expectedUnit");
}

void tst_frmScale::minimiseAndCloseButtons()
{
    QVERIFY(Start());
    CPictureButton* min = Scale()->Button(QStringLiteral("picMin"));
    QTest::mouseClick(min, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!Scale()->isVisible());
    QCOMPARE(Scale()->PopupItem(0)->text(), QStringLiteral("Launch Pesavo"));
    MMain::ShowDisplay();
    QVERIFY(Scale()->isVisible());

    CPictureButton* close = Scale()->Button(QStringLiteral("picCls"));
    QTest::mousePress(close, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(close, Qt::LeftButton, {}, QPoint(20, 5));
    QVERIFY(App().gScaleForm != nullptr);
    QTest::mouseClick(close, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(App().gScaleForm == nullptr);
    QVERIFY(ReadFile(mDir->filePath(QStringLiteral("Data1.ini"))).contains(QLatin1String("[_WGX_GENERAL]")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_frmScale::rightPressForgetsTheLeftDown()
{
    QVERIFY(Start());
    CPictureButton* button = Scale()->Button(QStringLiteral("picConv"));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(5, 5));
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)), Qt::RightButton,
                    Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(button, &dbl);
    QVERIFY(!button->IsPressed());
}

void tst_frmScale::skinChangeRearranges()
{
    QVERIFY(Start());
    const QImage before = Scale()->picPanel()->pixmap().toImage();
    App().gSkin = 3;
    Scale()->ArrangeControls();
    const QImage after = Scale()->picPanel()->pixmap().toImage();
    QVERIFY(before != after);
    QCOMPARE(after, CArtwork::SkinPicture(3).toImage());
    const SkinLayout& l = App().gLayout;
    QCOMPARE(Scale()->Button(QStringLiteral("picTare"))->pos(), l.picTare);
    QCOMPARE(Scale()->Button(QStringLiteral("picCls"))->pos(), l.picCls);
    QCOMPARE(Scale()->picBox()->pos(), l.picBox);
    // The page list is centred on the panel, at the skin's height.
    QComboBox* list = Scale()->cboWeb();
    QCOMPARE(list->y(), l.cboWeb.y());
    QCOMPARE(list->x(), Scale()->picPanel()->width() / 2 - list->width() / 2);
}

void tst_frmScale::progressFollowsTheDisplay()
{
    QVERIFY(Start({QStringLiteral("/s")}, true));
    frmProgressBar* progress = App().gProgressForm;
    mFeed->Feed(Report(0));
    QCOMPARE(progress->Tag, QStringLiteral("INIT"));
    QVERIFY(!progress->isVisible()); // the display is hidden in the tray
    MMain::ShowDisplay();
    QVERIFY(progress->isVisible());
    MMain::HideDisplay();
    QVERIFY(!progress->isVisible());
}

// ---- device and engine events ----

void tst_frmScale::deviceArrivalReportsRemoval()
{
    QVERIFY(Start());
    QCOMPARE(mFeed->mOpenedWith, QStringLiteral("6323:2233:SCALE"));
    QVERIFY(mFeed->Enabled());
    const SkinLayout& l = App().gLayout;
    QCOMPARE(MReadout::PaintedAt(l.statusMsg), QString());
    QCOMPARE(Scale()->Tray()->IconName(), QStringLiteral("present"));

    frmProgressBar* progress = App().gProgressForm;
    mFeed->Feed(Report(CountsFor(250)));
    QCOMPARE(progress->Tag, QStringLiteral("INIT"));
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->ProgressBar()->maximum(), 16);
    QVERIFY(Scale()->IsInitProgressRunning());
    for (int i = 1; i < 8; ++i)
        mFeed->Feed(Report(CountsFor(250)));
    Scale()->tStart_Timer();
    QCOMPARE(progress->ProgressBar()->value(), 8);
    QCOMPARE(Scale()->Tray()->IconName(), QStringLiteral("anim0"));
    Scale()->tStart_Timer();
    QCOMPARE(Scale()->Tray()->IconName(), QStringLiteral("anim1"));
    for (int i = 8; i < 16; ++i)
        mFeed->Feed(Report(CountsFor(250)));
    QVERIFY(!progress->isVisible());
    QCOMPARE(progress->Tag, QString());
    QVERIFY(!Scale()->IsInitProgressRunning());
    QCOMPARE(Scale()->Tray()->IconName(), QStringLiteral("present"));

    // The sixteenth report tares: now a parcel of 250 g shows as 0.250 kg.
    for (int i = 0; i < 8; ++i)
        mFeed->Feed(Report(CountsFor(500)));
    QCOMPARE(App().gCurWeight, 0.25);
    QCOMPARE(MReadout::PaintedAt(l.digits[2]), QStringLiteral("3")); // digit 2

    // Unplugged half-way through a new initialisation: the progress ends at once.
    mFeed->SetAttached(true);
    QCOMPARE(Scale()->ScaleCalc()->InitCnt, 0);
    mFeed->Feed(Report(CountsFor(500)));
    QVERIFY(progress->isVisible());
    mFeed->SetAttached(false);
    QVERIFY(!progress->isVisible());
    QVERIFY(!Scale()->IsInitProgressRunning());
    QCOMPARE(MReadout::PaintedAt(l.statusMsg), QStringLiteral("MSGDETACH"));
    QCOMPARE(Scale()->Tray()->IconName(), QStringLiteral("absent"));
    QCOMPARE(Scale()->ScaleCalc()->InitCnt, 0);

    mFeed->SetAttached(true);
    QCOMPARE(MReadout::PaintedAt(l.statusMsg), QStringLiteral("MSGNULL"));
    QCOMPARE(Scale()->Tray()->IconName(), QStringLiteral("present"));
}

void tst_frmScale::arrivalNotConfirmedChangesNothing()
{
    mStartAttached = false;
    QVERIFY(Start());
    const SkinLayout& l = App().gLayout;
    QCOMPARE(MReadout::PaintedAt(l.statusMsg), QStringLiteral("MSGDETACH"));
    mFeed->mFindAnswer = false;
    mFeed->Feed(Report(0));
    const int initCnt = Scale()->ScaleCalc()->InitCnt;
    mFeed->SetAttached(true);
    QCOMPARE(MReadout::PaintedAt(l.statusMsg), QStringLiteral("MSGDETACH"));
    QCOMPARE(Scale()->Tray()->IconName(), QStringLiteral("absent"));
    QCOMPARE(Scale()->ScaleCalc()->InitCnt, initCnt);
}

void tst_frmScale::startsUnplugged()
{
    mStartAttached = false;
    QVERIFY(Start());
    QCOMPARE(MReadout::PaintedAt(App().gLayout.statusMsg), QStringLiteral("MSGDETACH"));
    QCOMPARE(Scale()->Tray()->IconName(), QStringLiteral("absent"));
    QVERIFY(!App().gProgressForm->isVisible());
}

void tst_frmScale::scaleErrors_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("shown");
    QTest::newRow("over capacity") << 1 << "MSGERROR";
    QTest::newRow("overload") << 2 << "MSGERROR";
    QTest::newRow("cleared") << 0 << "MSGNULL";
    QTest::newRow("unknown code paints nothing") << 5 << "before";
}

void tst_frmScale::scaleErrors()
{
    QFETCH(int, code);
    QFETCH(QString, shown);
    QVERIFY(Start());
    const QPoint place = App().gLayout.errorMsg;
    MReadout::DrawMessage(place, QStringLiteral("before"));
    std::int32_t value = code;
    Scale()->m_objScaleCalc_ScaleError(value);
    QCOMPARE(Scale()->ErrorFlg(), code);
    QCOMPARE(MReadout::PaintedAt(place), shown);
    // With an error pending a negative weight leaves the error area alone.
    MReadout::DrawWeight(-0.5);
    QCOMPARE(MReadout::PaintedAt(place), code == 0 ? QStringLiteral("MSGERROR") : shown);
}

void tst_frmScale::simulatedScaleShowsWeightInBothReadouts()
{
    mUseSimulated = true;
    QVERIFY(Start());
    QVERIFY(mSim);
    QTRY_COMPARE_WITH_TIMEOUT(Scale()->ScaleCalc()->InitCnt, CScaleCalc::InitCntNeeded, 10000);
    mSim->SetLoadGrams(1234.0);
    QTRY_COMPARE_WITH_TIMEOUT(App().gCurWeight, 1.234, 10000);
    QCOMPARE(MReadout::PaintedAt(App().gLayout.digits[1]), QStringLiteral("2"));
    const QImage main = Scale()->picBox()->pixmap().toImage();
    const QImage compact = App().gLcdForm->picBox()->pixmap().toImage();
    QCOMPARE(main.size(), QSize(225, 61));
    QCOMPARE(main, compact);
    QCOMPARE(main, MReadout::PicHiden().convertToFormat(main.format()));

    mSim->Unplug();
    QTRY_COMPARE(MReadout::PaintedAt(App().gLayout.statusMsg), QStringLiteral("MSGDETACH"));
    mSim->Plug();
    QTRY_COMPARE(MReadout::PaintedAt(App().gLayout.statusMsg), QStringLiteral("MSGNULL"));
}

// ---- commands and menus ----

void tst_frmScale::holdAndTareByMenu()
{
    QVERIFY(Start());
    const QPoint holdPlace = App().gLayout.holdMsg;
    // Not ready yet: the hold stays off.
    Trigger(QStringLiteral("Hold"));
    QVERIFY(!Scale()->PopupItem(2)->isChecked());
    QVERIFY(Scale()->PopupItem(3)->isEnabled());
    QVERIFY(Scale()->Button(QStringLiteral("picTare"))->isEnabled());
    QCOMPARE(MReadout::PaintedAt(holdPlace), QStringLiteral("MSGNULL"));

    MakeReady(0);
    for (int i = 0; i < 6; ++i)
        mFeed->Feed(Report(CountsFor(300)));
    QCOMPARE(App().gCurWeight, 0.3);
    Trigger(QStringLiteral("Hold"));
    QVERIFY(Scale()->PopupItem(2)->isChecked());
    QVERIFY(!Scale()->PopupItem(3)->isEnabled());
    QVERIFY(!Scale()->Button(QStringLiteral("picTare"))->isEnabled());
    QCOMPARE(MReadout::PaintedAt(holdPlace), QStringLiteral("MSGHOLD"));
    for (int i = 0; i < 6; ++i)
        mFeed->Feed(Report(CountsFor(800)));
    QCOMPARE(App().gCurWeight, 0.3);
    Trigger(QStringLiteral("Hold"));
    QCOMPARE(MReadout::PaintedAt(holdPlace), QStringLiteral("MSGNULL"));
    mFeed->Feed(Report(CountsFor(800)));
    QCOMPARE(App().gCurWeight, 0.8);

    Trigger(QStringLiteral("Tare Scale"));
    for (int i = 0; i < 6; ++i)
        mFeed->Feed(Report(CountsFor(800)));
    QCOMPARE(App().gCurWeight, 0.0);
}

void tst_frmScale::unitMenuAndButton()
{
    QVERIFY(Start());
    QMenu* units = Scale()->UnitMenu();
    ItemByCaption(units, QStringLiteral("lbs"))->trigger();
    QCOMPARE(App().gUnit, qint16(1));
    QVERIFY(units->actions().at(1)->isChecked());
    QVERIFY(!units->actions().at(0)->isChecked());
    QCOMPARE(MReadout::PaintedAt(App().gLayout.ozLabel), QStringLiteral("MSGOZ"));
    QTest::mouseClick(Scale()->Button(QStringLiteral("pickgslbs")), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(App().gUnit, qint16(0));
    QVERIFY(units->actions().at(0)->isChecked());
    QCOMPARE(MReadout::PaintedAt(App().gLayout.kgLabel), QStringLiteral("MSGKG"));
}

void tst_frmScale::alwaysOnTopTwice()
{
    QVERIFY(Start());
    Trigger(QStringLiteral("Always on Top"));
    QVERIFY(App().gAlwaysOnTop);
    QVERIFY(Scale()->PopupItem(10)->isChecked());
    QVERIFY(Scale()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(Scale()->isVisible());
    Trigger(QStringLiteral("Always on Top"));
    QVERIFY(!App().gAlwaysOnTop);
    QVERIFY(!Scale()->PopupItem(10)->isChecked());
    QVERIFY(!Scale()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void tst_frmScale::smallDisplaySwitch()
{
    QVERIFY(Start());
    MReadout::DrawWeight(0.5);
    App().gCurWeight = 1.5;
    Trigger(QStringLiteral("Small Display"));
    QCOMPARE(App().gMainWindow, static_cast<QWidget*>(App().gLcdForm));
    QVERIFY(App().gLcdForm->isVisible());
    QVERIFY(!Scale()->isVisible());
    QVERIFY(Scale()->PopupItem(11)->isChecked());
    QCOMPARE(MReadout::PaintedAt(App().gLayout.digits[1]), QStringLiteral("2")); // 1.500 redrawn

    // Switching while hidden keeps the display hidden.
    MMain::HideDisplay();
    Trigger(QStringLiteral("Small Display"));
    QCOMPARE(App().gMainWindow, static_cast<QWidget*>(App().gScaleForm));
    QVERIFY(!Scale()->isVisible());
    QVERIFY(!App().gLcdForm->isVisible());
}

void tst_frmScale::trayMenuAndDoubleClick()
{
    QVERIFY(Start());
    QMenu* menu = Scale()->PopupMenu();
    Scale()->m_objSysTray_MouseDown(1);
    QVERIFY(!Scale()->IsTrayMenuPending());
    Scale()->m_objSysTray_MouseDown(2);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->defaultAction(), Scale()->PopupItem(0));
    menu->hide();

    Trigger(QStringLiteral("Minimize Pesavo"));
    QVERIFY(!Scale()->isVisible());
    Scale()->m_objSysTray_DoubleClick(1);
    QVERIFY(Scale()->isVisible());
    QCOMPARE(Scale()->PopupItem(0)->text(), QStringLiteral("Minimize Pesavo"));

    // A dialog that disabled the windows: the tray brings nothing up.
    Scale()->ShowOptions();
    Scale()->m_objSysTray_MouseDown(2);
    QVERIFY(!Scale()->IsTrayMenuPending());
    App().gOptionForm->close();
    QVERIFY(Scale()->isEnabled());
}

void tst_frmScale::optionsDisableTheWindows()
{
    QVERIFY(Start());
    Trigger(QStringLiteral("Always on Top"));
    QTest::mouseClick(Scale()->Button(QStringLiteral("picOpt")), Qt::LeftButton, {}, QPoint(5, 5));
    frmOption* options = App().gOptionForm;
    QVERIFY(options->isVisible());
    QVERIFY(options->isEnabled());
    QVERIFY(!Scale()->isEnabled());
    QVERIFY(!App().gLcdForm->isEnabled());
    // The display gives up always-on-top while the dialog is open.
    QVERIFY(!Scale()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QSignalSpy closed(options, &frmOption::Closed);
    options->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.at(0).at(0).toBool(), true);
    QVERIFY(!options->isVisible());
    QVERIFY(Scale()->isEnabled());
    QVERIFY(Scale()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void tst_frmScale::aboutBox()
{
    QVERIFY(Start());
    Trigger(QStringLiteral("About"));
    frmAbout* about = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* a = qobject_cast<frmAbout*>(w); a && a->isVisible())
            about = a;
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), QStringLiteral("About Pesavo"));
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
             QStringLiteral("Version ") + QStringLiteral(PESAVO_TEST_VERSION));
    QVERIFY(!Scale()->isEnabled());
    QPointer<frmAbout> guard(about);
    about->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(guard.isNull());
    QVERIFY(Scale()->isEnabled());
}

void tst_frmScale::calculatorMissing()
{
    QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(empty.path()));
    QVERIFY(Start());
    Trigger(QStringLiteral("Calculator"));
    qputenv("PATH", path);
    QMessageBox* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("msgCalculator"))
            box = qobject_cast<QMessageBox*>(w);
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("Cannot find Windows' Calculator"));
    QCOMPARE(box->windowTitle(), QStringLiteral("ERROR"));
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QCOMPARE(box->standardButtons(), QMessageBox::Ok);
}

void tst_frmScale::calculatorStarted()
{
    QTemporaryDir bin;
    const QString marker = bin.filePath(QStringLiteral("started"));
    const QString script = bin.filePath(QStringLiteral("xcalc"));
    WriteFile(script, QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(marker));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ":/usr/bin:/bin");
    QVERIFY(Start());
    QCOMPARE(frmScale::FindCalculator().endsWith(QLatin1String("/xcalc")), QFile::exists(script));
    Trigger(QStringLiteral("Calculator"));
    qputenv("PATH", path);
    QTRY_VERIFY(QFile::exists(marker));
}

void tst_frmScale::compactWindowButtons()
{
    WriteFile(mDir->filePath(QStringLiteral("Data1.ini")), QStringLiteral("[_WGX_GENERAL]\nDISPLAY=1\n"));
    QVERIFY(Start());
    frmLCDDisplay* lcd = App().gLcdForm;
    QVERIFY(lcd->isVisible());
    // Centred on the 15-pixel strip: 7.5 - 5 = 2.5 rounds to the even 2.
    QCOMPARE(lcd->picCls()->geometry(), QRect(213, 2, 10, 10));
    QCOMPARE(lcd->picMin()->geometry(), QRect(203, 2, 10, 10));
    QCOMPARE(lcd->mask(), QRegion(0, 0, 225, 76));

    QTest::mousePress(lcd->picCls(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(lcd->picCls()->IsPressed());
    QTest::mouseMove(lcd->picCls(), QPoint(-4, 5));
    QTest::mouseRelease(lcd->picCls(), Qt::LeftButton, {}, QPoint(-4, 5));
    QVERIFY(!lcd->picCls()->IsPressed());
    QVERIFY(App().gLcdForm);

    QTest::mouseClick(lcd->picMin(), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!lcd->isVisible());
    QCOMPARE(Scale()->PopupItem(0)->text(), QStringLiteral("Launch Pesavo"));
    Scale()->m_objSysTray_DoubleClick(1);
    QVERIFY(lcd->isVisible());

    lcd->close();
    QVERIFY(App().gScaleForm == nullptr);
    QVERIFY(ReadFile(mDir->filePath(QStringLiteral("Data1.ini"))).contains(QLatin1String("DISPLAY=1")));
}

void tst_frmScale::windowShapedByMask()
{
    QVERIFY(Start());
    const QRegion mask = Scale()->mask();
    QVERIFY(!mask.isEmpty());
    QVERIFY(mask.boundingRect().width() <= 500);
    const QImage picture = CArtwork::WindowMask().convertToFormat(QImage::Format_RGB32);
    // Sample the mask picture: every white pixel is cut away, every other is kept.
    for (int y = 0; y < picture.height(); y += 7)
        for (int x = 0; x < picture.width(); x += 5) {
            const bool white = (picture.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
            QVERIFY2(mask.contains(QPoint(x, y)) != white, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    QCOMPARE(Scale()->size(), QSize(505, 283 + 7));
}

void tst_frmScale::simulatorWindow_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<double>("grams");
    QTest::addColumn<bool>("attached");
    QTest::newRow("1 kg preset") << "cmdLoad1000" << 1000.0 << true;
    QTest::newRow("6 kg preset") << "cmdLoad6000" << 6000.0 << true;
    QTest::newRow("empty platform") << "cmdLoad0" << 0.0 << true;
    QTest::newRow("typed weight") << "cmdPut" << 321.5 << true;
    QTest::newRow("unplugged") << "cmdUnplug" << 50.0 << false;
}

void tst_frmScale::simulatorWindow()
{
    QFETCH(QString, button);
    SimulatedUsbDevice device;
    device.SetLoadGrams(50.0);
    device.OpenDevice(0, 0x6323, 0x2233, QStringLiteral("SCALE"));
    frmSimulator window(&device);
    window.findChild<QDoubleSpinBox*>(QStringLiteral("txtGrams"))->setValue(321.5);
    QPushButton* command = window.findChild<QPushButton*>(button);
    QVERIFY(command);
    command->click();
    QTEST(device.LoadGrams(), "grams");
    QTEST(device.IsAttached(), "attached");
    QFETCH(bool, attached);
    const QString state = window.findChild<QLabel*>(QStringLiteral("lblState"))->text();
    QVERIFY2(state.startsWith(attached ? QLatin1String("Plugged in") : QLatin1String("Unplugged")), qPrintable(state));
}

QTEST_MAIN(tst_frmScale)
#include "tst_frmscale.moc"
