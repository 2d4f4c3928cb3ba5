#include "frmLCDDisplay.h"

#include "AppState.h"
#include "CArtwork.h"
#include "CPictureButton.h"
#include "MMain.h"
#include "MWindowUtil.h"
#include "WindowLayout.h"
#include "frmScale.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QLabel>
#include <QWindow>

#include <cmath>

namespace { } // namespace

frmLCDDisplay::frmLCDDisplay(DisplayWindows& windows, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , mpicTitle(new QLabel(this))
    , mpicBox(new QLabel(this))
    , mpicMin(new CPictureButton(QStringLiteral("picMin"), QSize(10, 10), mpicTitle))
    , mpicCls(new CPictureButton(QStringLiteral("picCls"), QSize(10, 10), mpicTitle))
    , mWindows(windows)
{
    setObjectName(QStringLiteral("frmLCDDisplay"));
    setWindowTitle(QStringLiteral("Pesavo"));
    setWindowIcon(CArtwork::AppIcon());
    MWindowUtil::PrepareShapedWindow(this);
    mpicTitle->setObjectName(QStringLiteral("picTitle"));
    mpicTitle->setFixedSize(WindowLayout::ReadoutSize.width(), CArtwork::CompactTitleHeight);
    // The strip is the top of the compact background; the readout covers the rest.
    mpicTitle->setPixmap(
        CArtwork::CompactBackground().copy(0, 0, WindowLayout::ReadoutSize.width(), CArtwork::CompactTitleHeight));
    mpicTitle->installEventFilter(this);
    mpicBox->setObjectName(QStringLiteral("picBox"));
    mpicBox->setFixedSize(WindowLayout::ReadoutSize);
    mpicMin->SetPictures(CArtwork::CompactButtonPicture(QStringLiteral("MIN0")),
                         CArtwork::CompactButtonPicture(QStringLiteral("MIN1")));
    mpicCls->SetPictures(CArtwork::CompactButtonPicture(QStringLiteral("CLOSE0")),
                         CArtwork::CompactButtonPicture(QStringLiteral("CLOSE1")));
    for (CPictureButton* button : {mpicMin, mpicCls}) {
        connect(button, &CPictureButton::MouseDown, this,
                [this, button](int mouseButton, int, int) { Button_MouseDown(button, mouseButton); });
        connect(button, &CPictureButton::MouseUp, this,
                [this, button](int mouseButton, int x, int y) { Button_MouseUp(button, mouseButton, x, y); });
    }
}

void frmLCDDisplay::Form_Load()
{
    ArrangeDisplayControls();
}

void frmLCDDisplay::ArrangeDisplayControls()
{
    mpicTitle->move(0, 0);
    mpicBox->move(0, mpicTitle->height());
    const int clsTop = int(std::nearbyint(mpicTitle->height() * 0.5 - mpicCls->height() * 0.5));
    const int clsLeft = int(std::nearbyint(mpicTitle->width() - mpicCls->width() * 1.2));
    mpicCls->move(clsLeft, clsTop);
    mpicMin->move(clsLeft - mpicMin->width(), clsTop);
    // Frameless: border and caption are 0; the extra height is cut away by the outline.
    resize(mpicTitle->width(), mpicTitle->height() + mpicBox->height() + WindowLayout::ExtraHeight);
}

void frmLCDDisplay::SetReadoutPicture(const QPixmap& picture)
{
    mpicBox->setPixmap(picture);
}

void frmLCDDisplay::Button_MouseDown(CPictureButton* button, int mouseButton)
{
    if (mouseButton == 1)
        button->SetPressed(true);
}

void frmLCDDisplay::Button_MouseUp(CPictureButton* button, int mouseButton, int x, int y)
{
    if (mouseButton != 1)
        return;
    button->SetPressed(false);
    if (!MWindowUtil::IsPointInButton(x, y, button))
        return;
    if (button == mpicCls)
        MMain::ExitApp();
    else
        MMain::HideDisplay();
}

bool frmLCDDisplay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mpicTitle && MWindowUtil::DragByHandle(this, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

void frmLCDDisplay::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        MWindowUtil::ShapeWindow(this);
}

void frmLCDDisplay::contextMenuEvent(QContextMenuEvent* event)
{
    // The main window's menu, which the tray opens too: also where there is no tray.
    if (frmScale* scale = mWindows.scale)
        scale->ShowPopupMenu(event->globalPos());
}

void frmLCDDisplay::closeEvent(QCloseEvent* event)
{
    // Closing the compact display in any way ends the program.
    event->accept();
    MMain::ExitApp();
}
