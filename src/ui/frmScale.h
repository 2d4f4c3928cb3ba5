#pragma once

#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>

class CPageLauncher;
class CPictureButton;
class CScaleCalc;
class CTrayIcon;
class CUnitConverter;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QTimer;
class QtTickTimer;
class TransParentCtl;
class UsbDevice;
class WebBrowser;
enum class WebPageUse;

// The main window: the skinned, shaped panel with the readout, the eight picture
// buttons and the page list; owner of the scale connection, the weighing engine and
// the tray icon. Every device, engine and tray event of the program arrives here,
// also while the compact display is the window shown.
class frmScale final : public QWidget
{
    Q_OBJECT
public:
    explicit frmScale(QWidget* parent = nullptr);
    ~frmScale() override;
    // Stops the device, the timers, the page launcher and the engine, so that nothing of this window runs
    // once the program has begun to end (the window itself is deleted later, from the event loop). Safe to
    // call more than once.
    void Release();

    void Form_Load();
    void ArrangeControls();
    int ErrorFlg() const { return m_lErrorFlg; }
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
    UsbDevice* Device() const { return m_objUSB.get(); }
    CScaleCalc* ScaleCalc() const { return m_objScaleCalc.get(); }
    CTrayIcon* Tray() const { return m_objSysTray.get(); }
    TransParentCtl* Transparent() const { return mTransParentCtl; }

    // Device events.
    void m_objUSB_Arrival();
    void m_objUSB_OnUsb();
    void m_objUSB_Removal();
    // Engine events.
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
    // A page just added by the user: a new last entry of the page submenu and of the page list,
    // unless it is there already.
    void AddUserPage(const QString& name);

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
    CPageLauncher* Launcher() const { return m_objWeb.get(); }
    CUnitConverter* Converter() const { return m_objConv.get(); }
    // The warning about a browser that could not be started, while it is open.
    QMessageBox* BrowserMessage() const { return mBrowserMessage.data(); }

    // The first calculator on PATH, empty when there is none.

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddAutoLaunchItem(const QString& caption);
    void InitUsbDevice();
    void InitTray();
    void InitMenus();
    void BuildMenus();
    void ShowInitProgress();
    void EndInitProgress();
    void ShowStatus(QPoint position, const QString& key);
    void Button_MouseDown(CPictureButton* button, int mouseButton);
    void Button_MouseUp(CPictureButton* button, int mouseButton, int x, int y);
    void Button_DblClick(CPictureButton* button);
    void RunButtonCommand(CPictureButton* button);
    bool IsDoubleClickable(const CPictureButton* button) const;
    CPageLauncher* EnsureLauncher();
    std::unique_ptr<WebBrowser> MakeBrowser(WebPageUse use, QString* error);
    void ShowBrowserMessage(const QString& text);

    std::unique_ptr<QtTickTimer> mSettleTimer;
    std::unique_ptr<CScaleCalc> m_objScaleCalc;
    std::unique_ptr<UsbDevice> m_objUSB;
    std::unique_ptr<CTrayIcon> m_objSysTray;
    // The launcher keeps the window's one CWebHelper; both it and the converter outlive none of
    // their browser windows, which stay open for the user.
    std::unique_ptr<CPageLauncher> m_objWeb;
    std::unique_ptr<CUnitConverter> m_objConv;
    // Set by a browser start that failed during the command being run.
    QString mBrowserError;
    QPointer<QMessageBox> mBrowserMessage;
    bool m_bLeftDown = false;
    std::int32_t m_lErrorFlg = 0;
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
