#include "frmScale.h"

#include "AppState.h"
#include "CArtwork.h"
#include "CPictureButton.h"
#include "CScaleCalc.h"
#include "CTrayIcon.h"
#include "CalculatorLocator.h"
#include "DisplayWindows.h"
#include "GeneralSettings.h"
#include "MMain.h"
#include "MReadout.h"
#include "MWindowUtil.h"
#include "ScaleSession.h"
#include "TransParentCtl.h"
#include "WindowLayout.h"
#include "frmAbout.h"
#include "frmProgressBar.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDebug>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPalette>
#include <QProcess>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>

#include <utility>

namespace {

constexpr int FixedAutoLaunchItems = 10;

const QString PresentIcon = QStringLiteral("present");
const QString AbsentIcon = QStringLiteral("absent");

} // namespace

frmScale::frmScale(ScaleSession& session, DisplayWindows& windows, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , mSession(&session)
    , mWindows(windows)
    , mTransParentCtl(new TransParentCtl(this))
    , mpicPanel(new QLabel(this))
    , mpicBox(new QLabel(this))
    , mcboWeb(new QComboBox(mpicPanel))
    , mpicTare(new CPictureButton(QStringLiteral("picTare"), WindowLayout::Tare.size(), this))
    , mpicAutoHold(new CPictureButton(QStringLiteral("picAutoHold"), WindowLayout::AutoHold.size(), this))
    , mpicConv(new CPictureButton(QStringLiteral("picConv"), WindowLayout::Converter.size(), this))
    , mpickgslbs(new CPictureButton(QStringLiteral("pickgslbs"), WindowLayout::KgLb.size(), this))
    , mpicOpt(new CPictureButton(QStringLiteral("picOpt"), WindowLayout::Options.size(), mpicPanel))
    , mpicWeb(new CPictureButton(QStringLiteral("picWeb"), WindowLayout::Web.size(), this))
    , mpicMin(new CPictureButton(QStringLiteral("picMin"), WindowLayout::Minimise.size(), mpicPanel))
    , mpicCls(new CPictureButton(QStringLiteral("picCls"), WindowLayout::Close.size(), mpicPanel))
    , mTimer1(new QTimer(this))
    , mtStart(new QTimer(this))
    , mnuPopup0(new QMenu(QStringLiteral("Popup1 Lvl0"), this))
    , mnuUnit(new QMenu(QStringLiteral("Unit"), mnuPopup0))
    , mnuAutoLaunch(new QMenu(QStringLiteral("Select Auto-launch Web Page"), mnuPopup0))
{
    setObjectName(QStringLiteral("frmScale"));
    setWindowTitle(QStringLiteral("Pesavo"));
    setWindowIcon(CArtwork::AppIcon());
    MWindowUtil::PrepareShapedWindow(this);

    mpicPanel->setObjectName(QStringLiteral("picPanel"));
    mpicPanel->installEventFilter(this);
    mpicBox->setObjectName(QStringLiteral("picBox"));
    mpicBox->setFixedSize(WindowLayout::ReadoutSize);
    mcboWeb->setObjectName(QStringLiteral("cboWeb"));
    mcboWeb->setFixedWidth(WindowLayout::PageList.width());
    // Dark like the buttons around it, so the list does not stand out as a white box on the panel.
    QPalette listColours = mcboWeb->palette();
    for (const auto role : {QPalette::Button, QPalette::Base, QPalette::Window})
        listColours.setColor(role, QColor(0x2b, 0x30, 0x38));
    for (const auto role : {QPalette::ButtonText, QPalette::Text, QPalette::WindowText})
        listColours.setColor(role, QColor(0xe8, 0xec, 0xf0));
    listColours.setColor(QPalette::Highlight, QColor(0x4a, 0x7f, 0xb0));
    mcboWeb->setPalette(listColours);
    connect(mcboWeb, &QComboBox::activated, this, [this](int) { cboWeb_Click(); });

    const struct
    {
        CPictureButton* button;
        const char* key;
    } pictures[] = {{mpicTare, "TARE"},  {mpicAutoHold, "HOLD"},  {mpicConv, "CONVERT"}, {mpickgslbs, "KGLB"},
                    {mpicOpt, "OPTION"}, {mpicWeb, "AUTOLAUNCH"}, {mpicMin, "MIN"},      {mpicCls, "CLOSE"}};
    for (const auto& entry : pictures) {
        const QString key = QLatin1String(entry.key);
        CPictureButton* button = entry.button;
        button->SetPictures(CArtwork::ButtonPicture(key + QLatin1Char('0')),
                            CArtwork::ButtonPicture(key + QLatin1Char('1')));
        connect(button, &CPictureButton::MouseDown, this,
                [this, button](int mouseButton, int, int) { Button_MouseDown(button, mouseButton); });
        connect(button, &CPictureButton::MouseUp, this,
                [this, button](int mouseButton, int x, int y) { Button_MouseUp(button, mouseButton, x, y); });
        connect(button, &CPictureButton::DblClick, this, [this, button] { Button_DblClick(button); });
    }

    mTimer1->setObjectName(QStringLiteral("Timer1"));
    mTimer1->setInterval(1);
    connect(mTimer1, &QTimer::timeout, this, &frmScale::Timer1_Timer);
    mtStart->setObjectName(QStringLiteral("tStart"));
    mtStart->setInterval(500);
    connect(mtStart, &QTimer::timeout, this, &frmScale::tStart_Timer);

    BuildMenus();
}

frmScale::~frmScale()
{
    Release();
}

void frmScale::Release()
{
    // The session stops with the program (MMain::ExitApp); from here on, the window hears nothing of it.
    mTimer1->stop();
    mtStart->stop();
    m_objSysTray.reset();
    if (mSession)
        mSession->disconnect(this);
    mSession = nullptr;
}

void frmScale::BuildMenus()
{
    mnuPopup0->setObjectName(QStringLiteral("mnuPopup0"));
    mnuUnit->setObjectName(QStringLiteral("mnuUnit"));
    mnuAutoLaunch->setObjectName(QStringLiteral("mnuAutoLaunch"));

    // The pop-up menu in its order: caption, whether it carries a check mark, and the submenu it opens.
    // What an item does is decided by its caption when chosen (mnuPopup1_Click), not by its place.
    struct Item
    {
        QLatin1String caption;
        bool checkable = false;
        QMenu* submenu = nullptr;
    };
    const Item items[] = {{QLatin1String("Launch Pesavo")},
                          {QLatin1String("-")},
                          {QLatin1String("Hold"), true},
                          {QLatin1String("Tare Scale")},
                          {QLatin1String("Unit"), false, mnuUnit},
                          {QLatin1String("Converter")},
                          {QLatin1String("-")},
                          {QLatin1String("Select Auto-launch Web Page"), false, mnuAutoLaunch},
                          {QLatin1String("Go to Selected Web Page")},
                          {QLatin1String("-")},
                          {QLatin1String("Always on Top"), true},
                          {QLatin1String("Small Display"), true},
                          {QLatin1String("-")},
                          {QLatin1String("Calculator")},
                          {QLatin1String("Options")},
                          {QLatin1String("About")},
                          {QLatin1String("-")},
                          {QLatin1String("Exit")}};
    int index = 0;
    for (const Item& item : items) {
        const int i = index++;
        if (item.caption == QLatin1String("-")) {
            mnuPopup0->addSeparator();
        } else if (item.submenu) {
            mnuPopup0->addMenu(item.submenu);
        } else {
            QAction* action = mnuPopup0->addAction(item.caption);
            action->setCheckable(item.checkable);
            connect(action, &QAction::triggered, this, [this, i] { mnuPopup1_Click(i); });
        }
    }

    const QStringList units = {QStringLiteral("kgs"), QStringLiteral("lbs")};
    for (int i = 0; i < units.size(); ++i) {
        QAction* action = mnuUnit->addAction(units.at(i));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, i] { mnuUnit_Click(i); });
    }

    const QStringList pages = {QStringLiteral("None"),
                               QStringLiteral("-"),
                               QStringLiteral("UPS"),
                               QStringLiteral("USPS Domestic"),
                               QStringLiteral("USPS Business"),
                               QStringLiteral("USPS International Envelope"),
                               QStringLiteral("USPS International Package"),
                               QStringLiteral("DHL Rates"),
                               QStringLiteral("FedEx Rate Finder"),
                               QStringLiteral("Ebay Seller Shipping Calculator")};
    for (const QString& page : pages) {
        if (page == QLatin1String("-"))
            mnuAutoLaunch->addSeparator();
        else
            AddAutoLaunchItem(page);
    }
}

QAction* frmScale::AddAutoLaunchItem(const QString& caption)
{
    QAction* action = mnuAutoLaunch->addAction(caption);
    action->setCheckable(true);
    connect(action, &QAction::triggered, this,
            [this, action] { mnuAutoLaunch_Click(int(mnuAutoLaunch->actions().indexOf(action))); });
    return action;
}

void frmScale::SetUserPages(const QStringList& names)
{
    auto items = mnuAutoLaunch->actions();
    for (QAction* item : items)
        item->setChecked(false);
    // Entries 0 to 9 are the window's own; every later one is a user page that also sits at the end of the
    // page list.
    for (qsizetype i = items.size() - 1; i >= FixedAutoLaunchItems; --i) {
        mnuAutoLaunch->removeAction(items.at(i));
        delete items.at(i);
        if (mcboWeb->count() > 0)
            mcboWeb->removeItem(mcboWeb->count() - 1);
    }
    for (const QString& name : names) {
        AddAutoLaunchItem(name);
        mcboWeb->addItem(name);
    }
}

QAction* frmScale::PopupItem(int index) const
{
    const auto actions = mnuPopup0->actions();
    return index >= 0 && index < actions.size() ? actions.at(index) : nullptr;
}

CPictureButton* frmScale::Button(const QString& name) const
{
    return findChild<CPictureButton*>(name);
}

void frmScale::Form_Load()
{
    mTransParentCtl->SetMaskColor(0xFFFFFF);
    mTransParentCtl->SetMaskPicture(CArtwork::WindowMask());

    if (mSession) {
        connect(mSession, &ScaleSession::AttachedChanged, this,
                [this](bool attached) { attached ? m_objUSB_Arrival() : m_objUSB_Removal(); });
        connect(mSession, &ScaleSession::WeightChanged, this, [](double weight) { MReadout::DrawWeight(weight); });
        connect(mSession, &ScaleSession::FaultChanged, this, &frmScale::ShowFault);
        connect(mSession, &ScaleSession::CalibrationStarted, this, &frmScale::ShowInitProgress);
        connect(mSession, &ScaleSession::CalibrationFinished, this, &frmScale::EndInitProgress);
        connect(mSession, &ScaleSession::HoldChanged, this, &frmScale::ShowHold);
        connect(mSession, &ScaleSession::BrowserFailed, this, &frmScale::ShowBrowserMessage);
        // By the tray icon where there is one: the page is open and the user is at it; else in the window's box.
        connect(mSession, &ScaleSession::PageChanged, this, [this](const QString& text) {
            if (!m_objSysTray || !m_objSysTray->ShowMessage(QStringLiteral("Pesavo"), text))
                ShowBrowserMessage(text);
        });
        connect(mSession, &ScaleSession::PageChosen, this, [this](int) { WebSelect_Click(); });
        connect(mSession, &ScaleSession::SkinChosen, this, [this](int) { ArrangeControls(); });
        mSession->Start();
    }
    if (!mSession || !mSession->Device())
        ShowStatus(App().gLayout.statusMsg, QStringLiteral("MSGDETACH"));
    else if (!mSession->IsAttached())
        ShowStatus(App().gLayout.statusMsg, QStringLiteral("MSGDETACH"));
    InitTray();
    ArrangeControls();
    InitMenus();
}

void frmScale::InitTray()
{
    m_objSysTray = std::make_unique<CTrayIcon>();
    connect(m_objSysTray.get(), &CTrayIcon::MouseDown, this, &frmScale::m_objSysTray_MouseDown);
    connect(m_objSysTray.get(), &CTrayIcon::DoubleClick, this, &frmScale::m_objSysTray_DoubleClick);
    // Wayland trays show the icon's menu themselves; they pass on no right click to open ours with.
    if (MWindowUtil::IsWayland())
        m_objSysTray->SetContextMenu(mnuPopup0);
    const bool attached = mSession && mSession->IsAttached();
    m_objSysTray->AddIcon(CArtwork::TrayIcon(attached ? 1 : 0), attached ? PresentIcon : AbsentIcon,
                          QStringLiteral("Pesavo"));
}

void frmScale::ArrangeControls()
{
    const AppState& app = App();
    const int skin = qBound(0, int(app.General().skin), CArtwork::SkinCount() - 1);
    const QPixmap panel = CArtwork::SkinPicture(skin);
    mpicPanel->setPixmap(panel);
    mpicPanel->resize(panel.size());
    // Frameless: border and caption are both 0.
    const int border = 0;
    mpicPanel->move(0, 0);
    mpicPanel->lower();

    const SkinLayout& l = app.gLayout;
    MReadout::PlaceControl(mpicBox, l.picBox);
    MReadout::PlaceControl(mpicWeb, l.picWeb);
    MReadout::PlaceControl(mpickgslbs, l.pickgslbs);
    MReadout::PlaceControl(mpicTare, l.picTare);
    MReadout::PlaceControl(mpicAutoHold, l.picAutoHold);
    MReadout::PlaceControl(mpicConv, l.picConv);
    MReadout::PlaceControl(mpicOpt, l.picOpt);
    MReadout::PlaceControl(mpicCls, l.picCls);
    MReadout::PlaceControl(mpicMin, l.picMin);
    MReadout::PlaceControl(mcboWeb, l.cboWeb);
    mcboWeb->move(mpicPanel->width() / 2 - mcboWeb->width() / 2 - border, l.cboWeb.y());
    for (QWidget* w : std::initializer_list<QWidget*> {mpicBox, mpicWeb, mpickgslbs, mpicTare, mpicAutoHold, mpicConv})
        w->raise();
    resize(mpicPanel->width() + 2 * border, mpicPanel->height() + WindowLayout::ExtraHeight);
}

void frmScale::InitMenus()
{
    const AppState& app = App();
    const auto units = mnuUnit->actions();
    for (int i = 0; i < units.size(); ++i)
        units.at(i)->setChecked(i == app.General().unit);
    PopupItem(10)->setChecked(app.General().alwaysOnTop);
    PopupItem(11)->setChecked(app.General().smallDisplay);
    mcboWeb->clear();
    mcboWeb->addItem(QStringLiteral("None"));
    const auto pages = mnuAutoLaunch->actions();
    for (int i = 2; i < pages.size(); ++i)
        mcboWeb->addItem(pages.at(i)->text());
}

void frmScale::SetReadoutPicture(const QPixmap& picture)
{
    mpicBox->setPixmap(picture);
}

void frmScale::ShowStatus(QPoint position, const QString& key)
{
    MReadout::DrawMessage(position, key);
    MReadout::RefreshReadout();
}

// ---- what the session tells ----

void frmScale::m_objUSB_Arrival()
{
    ShowStatus(App().gLayout.statusMsg, QStringLiteral("MSGNULL"));
    if (m_objSysTray)
        m_objSysTray->SetIcon(CArtwork::TrayIcon(1), PresentIcon);
}

void frmScale::m_objUSB_Removal()
{
    EndInitProgress();
    ShowStatus(App().gLayout.statusMsg, QStringLiteral("MSGDETACH"));
    if (m_objSysTray)
        m_objSysTray->SetIcon(CArtwork::TrayIcon(0), AbsentIcon);
}

void frmScale::m_objScaleCalc_ScaleError(std::int32_t& ScaleErr)
{
    if (mSession)
        mSession->ScaleError(ScaleErr);
}

void frmScale::m_objScaleCalc_StatusChange(std::int32_t& ScaleEvents)
{
    if (mSession)
        mSession->StatusChange(ScaleEvents);
}

void frmScale::ShowFault(ScaleSession::Fault fault)
{
    if (fault == ScaleSession::Fault::None)
        ShowStatus(App().gLayout.errorMsg, QStringLiteral("MSGNULL"));
    else if (fault != ScaleSession::Fault::Unknown)
        ShowStatus(App().gLayout.errorMsg, QStringLiteral("MSGERROR"));
}

void frmScale::ShowInitProgress()
{
    frmProgressBar* progress = mWindows.progress;
    if (progress) {
        progress->Tag = QStringLiteral("INIT");
        progress->ProgressBar()->setMaximum(CScaleCalc::InitCntNeeded);
        progress->ProgressBar()->setValue(0);
        if (mWindows.shown && mWindows.shown->isVisible())
            MWindowUtil::ShowModal(progress, true, false);
    }
    mtStart->start();
}

void frmScale::tStart_Timer()
{
    if (frmProgressBar* progress = mWindows.progress)
        progress->ProgressBar()->setValue(mSession ? mSession->InitCount() : 0);
    if (m_objSysTray)
        m_objSysTray->SetIcon(CArtwork::TrayAnimationIcon(mTrayFrame), QStringLiteral("anim%1").arg(mTrayFrame));
    mTrayFrame = (mTrayFrame + 1) % 2;
}

void frmScale::EndInitProgress()
{
    AppState& app = App();
    mtStart->stop();
    if (frmProgressBar* progress = mWindows.progress) {
        progress->Tag.clear();
        progress->hide();
        progress->ProgressBar()->setValue(0);
    }
    if (m_objSysTray)
        m_objSysTray->SetIcon(CArtwork::TrayIcon(1), PresentIcon);
    if (mWindows.shown && mWindows.shown->isEnabled())
        MMain::SetTopMost(mWindows.shown, app.General().alwaysOnTop);
}

bool frmScale::IsInitProgressRunning() const
{
    return mtStart->isActive();
}

// ---- picture buttons ----

bool frmScale::IsDoubleClickable(const CPictureButton* button) const
{
    return button != mpicMin && button != mpicCls;
}

void frmScale::Button_MouseDown(CPictureButton* button, int mouseButton)
{
    if (IsDoubleClickable(button))
        m_bLeftDown = mouseButton == 1;
    if (mouseButton == 1)
        button->SetPressed(true);
}

void frmScale::Button_MouseUp(CPictureButton* button, int mouseButton, int x, int y)
{
    if (mouseButton != 1)
        return;
    button->SetPressed(false);
    if (MWindowUtil::IsPointInButton(x, y, button))
        RunButtonCommand(button);
}

void frmScale::Button_DblClick(CPictureButton* button)
{
    if (IsDoubleClickable(button) && m_bLeftDown)
        button->SetPressed(true);
}

void frmScale::RunButtonCommand(CPictureButton* button)
{
    if (button == mpicTare)
        TareScale();
    else if (button == mpicAutoHold)
        ToggleHold();
    else if (button == mpickgslbs)
        ToggleUnit();
    else if (button == mpicConv)
        OpenConverter();
    else if (button == mpicOpt)
        ShowOptions();
    else if (button == mpicWeb)
        LaunchWebPage();
    else if (button == mpicMin)
        MMain::HideDisplay();
    else if (button == mpicCls)
        MMain::ExitApp();
}

bool frmScale::eventFilter(QObject* watched, QEvent* event)
{
    // Dragging by the skin panel; the buttons, readout and list never start a drag.
    if (watched == mpicPanel && MWindowUtil::DragByHandle(this, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

// ---- menus and tray ----

void frmScale::mnuPopup1_Click(int index)
{
    QAction* item = PopupItem(index);
    if (!item)
        return;
    // Chosen by the item's caption, whole and in lower case: item 0 changes its caption with the display.
    using Command = void (*)(frmScale & window, QAction * item);
    static const std::pair<QLatin1String, Command> commands[] = {
        {QLatin1String("launch pesavo"),
         [](frmScale&, QAction*) {
             MMain::ShowDisplay();
         }},
        {QLatin1String("minimize pesavo"),
         [](frmScale&, QAction*) {
             MMain::HideDisplay();
         }},
        {QLatin1String("hold"),
         [](frmScale& w, QAction*) {
             w.ToggleHold();
         }},
        {QLatin1String("tare scale"),
         [](frmScale& w, QAction*) {
             w.TareScale();
         }},
        {QLatin1String("converter"),
         [](frmScale& w, QAction*) {
             w.OpenConverter();
         }},
        {QLatin1String("go to selected web page"),
         [](frmScale& w, QAction*) {
             w.LaunchWebPage();
         }},
        {QLatin1String("always on top"),
         [](frmScale& w, QAction* item) {
             AppState& app = App();
             app.General().alwaysOnTop = !app.General().alwaysOnTop;
             item->setChecked(app.General().alwaysOnTop);
             MMain::SetTopMost(w.mWindows.shown, app.General().alwaysOnTop);
         }},
        {QLatin1String("small display"),
         [](frmScale&, QAction* item) {
             AppState& app = App();
             app.General().smallDisplay = !app.General().smallDisplay;
             item->setChecked(app.General().smallDisplay);
             MMain::ApplyDisplayMode();
         }},
        {QLatin1String("calculator"),
         [](frmScale& w, QAction*) {
             w.RunCalculator();
         }},
        {QLatin1String("options"),
         [](frmScale& w, QAction*) {
             w.ShowOptions();
         }},
        {QLatin1String("about"),
         [](frmScale& w, QAction*) {
             w.ShowAbout();
         }},
        {QLatin1String("exit"),
         [](frmScale&, QAction*) {
             MMain::ExitApp();
         }},
    };
    const QString caption = item->text().toLower();
    for (const auto& [text, run] : commands) {
        if (caption == text) {
            run(*this, item);
            return;
        }
    }
}

void frmScale::mnuUnit_Click(int index)
{
    const auto units = mnuUnit->actions();
    for (int i = 0; i < units.size(); ++i)
        units.at(i)->setChecked(i == index);
    App().General().unit = qint16(index);
    MReadout::DrawWeight(mSession ? mSession->Weight() : 0.0);
}

void frmScale::m_objSysTray_DoubleClick(int)
{
    QWidget* display = mWindows.shown;
    if (display && display->isEnabled())
        MMain::ShowDisplay();
}

void frmScale::m_objSysTray_MouseDown(int button)
{
    QWidget* display = mWindows.shown;
    if (display && display->isVisible()) {
        display->raise();
        display->activateWindow();
    }
    if (button == 2 && display && display->isEnabled())
        mTimer1->start();
}

void frmScale::Timer1_Timer()
{
    mTimer1->stop();
    ShowPopupMenu(QCursor::pos());
}

void frmScale::ShowPopupMenu(QPoint at)
{
    QWidget* display = mWindows.shown;
    if (!display || !display->isEnabled())
        return;
    mnuPopup0->setDefaultAction(PopupItem(0));
    // Wayland places a pop-up beside a window of ours on the screen, which may be the compact one.
    if (display->isVisible() && display->windowHandle()) {
        mnuPopup0->winId();
        mnuPopup0->windowHandle()->setTransientParent(display->windowHandle());
    }
    mnuPopup0->popup(at);
}

void frmScale::contextMenuEvent(QContextMenuEvent* event)
{
    // Where no tray shows the icon (stock GNOME), this is the only way to the menu.
    ShowPopupMenu(event->globalPos());
}

bool frmScale::IsTrayMenuPending() const
{
    return mTimer1->isActive();
}

// ---- commands ----

void frmScale::ToggleHold()
{
    if (mSession)
        mSession->SetHeld(!mSession->IsHeld());
}

void frmScale::ShowHold(bool held)
{
    PopupItem(2)->setChecked(held);
    PopupItem(3)->setEnabled(!held);
    mpicTare->setEnabled(!held);
    ShowStatus(App().gLayout.holdMsg, held ? QStringLiteral("MSGHOLD") : QStringLiteral("MSGNULL"));
}

void frmScale::TareScale()
{
    if (mSession)
        mSession->Tare();
}

void frmScale::ToggleUnit()
{
    mnuUnit_Click(1 - App().General().unit);
}

void frmScale::RunCalculator()
{
    const CalculatorLocator::Command calculator = CalculatorLocator::Find();
    if (!calculator.program.isEmpty() && QProcess::startDetached(calculator.program, calculator.arguments))
        return;
    QMessageBox* box
        = MWindowUtil::ShowWarning(mWindows.shown, QStringLiteral("ERROR"), QStringLiteral("Cannot find Calculator"),
                                   QStringLiteral("msgCalculator"));
    // The box's own words are the program's; what to do about it on this desktop follows.
    box->setInformativeText(CalculatorLocator::InstallHint());
}

void frmScale::ShowOptions()
{
    if (mWindows.showOptions)
        mWindows.showOptions();
}

void frmScale::ShowAbout()
{
    MWindowUtil::ShowModal(new frmAbout(), true, true);
}

// ---- page launcher and converter ----

void frmScale::ShowBrowserMessage(const QString& text)
{
    // One box at a time: every settled weight would otherwise stack another one. Not modal: the weighing
    // goes on, and the user may read it beside the window.
    if (!mBrowserMessage)
        mBrowserMessage = MWindowUtil::ShowWarning(mWindows.shown, QStringLiteral("Pesavo"), text,
                                                   QStringLiteral("msgNoBrowser"), false);
    mBrowserMessage->setText(text);
    mBrowserMessage->show();
    mBrowserMessage->raise();
}

void frmScale::LaunchWebPage()
{
    if (mSession)
        mSession->LaunchWebPage();
}

void frmScale::WebSelect_Click()
{
    AppState& app = App();
    mcboWeb->setCurrentIndex(app.General().autoLaunch);
    const auto items = mnuAutoLaunch->actions();
    const int chosen = GeneralSettings::MenuItemOfPage(app.General().autoLaunch);
    for (int i = 0; i < items.size(); ++i)
        items.at(i)->setChecked(i == chosen);
    if (mSession)
        mSession->StorePage();
}

void frmScale::cboWeb_Click()
{
    const int index = mcboWeb->currentIndex();
    if (index < 0)
        return;
    if (mSession)
        mSession->ChoosePage(index);
}

void frmScale::mnuAutoLaunch_Click(int index)
{
    if (mSession)
        mSession->ChoosePage(GeneralSettings::PageOfMenuItem(index));
}

void frmScale::OpenConverter()
{
    if (mSession)
        mSession->OpenConverter();
}

bool frmScale::IsBrowserExist() const
{
    return mSession && mSession->IsBrowserExist();
}

void frmScale::closeEvent(QCloseEvent* event)
{
    event->accept();
    MMain::ExitApp();
}
