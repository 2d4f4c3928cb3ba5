#pragma once

#include "ScaleSession.h"

struct DisplayWindows;

#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>

class CPictureButton;
class CTrayIcon;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QTimer;
class TransParentCtl;

// The main window: the skinned, shaped panel with the readout, the eight picture
// buttons and the page list, and the tray icon. It shows what the session it is given
// tells and passes on the user's commands; the tray and the session's news arrive here also
// while the compact display is the window shown.
class frmScale final : public QWidget
{
    Q_OBJECT
public:
    frmScale(ScaleSession& session, DisplayWindows& windows, QWidget* parent = nullptr);
    ~frmScale() override;
    // Stops the tray and the timers and stops listening to the session, so that nothing of this window runs
    // once the program has begun to end (the window itself is deleted later, from the event loop). Safe to
    // call more than once.
    void Release();

    void Form_Load();
    void ArrangeControls();
    void SetReadoutPicture(const QPixmap& picture);

    // Controls, for the readout, the page list and the tests.
    QLabel* picBox() const { return mpicBox; }
    QLabel* picPanel() const { return mpicPanel; }
    QComboBox* cboWeb() const { return mcboWeb; }
    QMenu* PopupMenu() const { return mnuPopup0; }
    QMenu* UnitMenu() const { return mnuUnit; }
    QMenu* AutoLaunchMenu() const { return mnuAutoLaunch; }
    QAction* PopupItem(int index) const;
    CPictureButton* Button(const QString& name) const;
    CTrayIcon* Tray() const { return m_objSysTray.get(); }
    TransParentCtl* Transparent() const { return mTransParentCtl; }

    // The scale came and went (as the session tells).
    void m_objUSB_Arrival();
    void m_objUSB_Removal();
    // The engine's codes, forwarded to the session, which tells the windows.
    void m_objScaleCalc_ScaleError(std::int32_t& ScaleErr);
    void m_objScaleCalc_StatusChange(std::int32_t& ScaleEvents);
    void tStart_Timer();
    // Menus and tray.
    void mnuPopup1_Click(int index);
    void mnuUnit_Click(int index);
    void m_objSysTray_DoubleClick(int button);
    void m_objSysTray_MouseDown(int button);
    void Timer1_Timer();
    bool IsInitProgressRunning() const;
    bool IsTrayMenuPending() const;
    // The pop-up menu at a point of the screen, while the display window is enabled: from the tray icon, a
    // right click on either display window or the keyboard's menu key.
    void ShowPopupMenu(QPoint at);

    // The user's own pages, in order: the entries after the fixed ones of the page submenu and of the page
    // list. Every check mark is cleared; WebSelect_Click sets the chosen one again.
    void SetUserPages(const QStringList& names);

    // Commands.
    void ToggleHold();
    void TareScale();
    void ToggleUnit();
    void RunCalculator();
    void ShowOptions();
    void ShowAbout();

    // Page selection and launching, and the unit converter.
    void LaunchWebPage();
    void WebSelect_Click();
    void cboWeb_Click();
    void mnuAutoLaunch_Click(int index);
    void OpenConverter();
    // Whether the launcher's browser window is open; false until the first launch.
    bool IsBrowserExist() const;
    // The warning about a browser that could not be started, while it is open.
    QMessageBox* BrowserMessage() const { return mBrowserMessage.data(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddAutoLaunchItem(const QString& caption);
    void InitTray();
    void InitMenus();
    void BuildMenus();
    void ShowInitProgress();
    void EndInitProgress();
    void ShowStatus(QPoint position, const QString& key);
    void ShowFault(ScaleSession::Fault fault);
    void ShowHold(bool held);
    void Button_MouseDown(CPictureButton* button, int mouseButton);
    void Button_MouseUp(CPictureButton* button, int mouseButton, int x, int y);
    void Button_DblClick(CPictureButton* button);
    void RunButtonCommand(CPictureButton* button);
    bool IsDoubleClickable(const CPictureButton* button) const;
    void ShowBrowserMessage(const QString& text);

    ScaleSession* mSession = nullptr;
    DisplayWindows& mWindows;
    std::unique_ptr<CTrayIcon> m_objSysTray;
    QPointer<QMessageBox> mBrowserMessage;
    bool m_bLeftDown = false;
    int mTrayFrame = 0;

    TransParentCtl* mTransParentCtl;
    QLabel* mpicPanel;
    QLabel* mpicBox;
    QComboBox* mcboWeb;
    CPictureButton* mpicTare;
    CPictureButton* mpicAutoHold;
    CPictureButton* mpicConv;
    CPictureButton* mpickgslbs;
    CPictureButton* mpicOpt;
    CPictureButton* mpicWeb;
    CPictureButton* mpicMin;
    CPictureButton* mpicCls;
    QTimer* mTimer1; // defers the tray's pop-up menu by one tick, out of the tray's own event
    QTimer* mtStart; // steps the tray animation and the progress bar while the scale initialises
    QMenu* mnuPopup0;
    QMenu* mnuUnit;
    QMenu* mnuAutoLaunch;
};
