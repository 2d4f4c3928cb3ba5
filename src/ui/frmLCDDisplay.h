#pragma once

#include <QWidget>

class CPictureButton;
struct DisplayWindows;
class QLabel;

// The compact display: a title strip with minimise and close above the readout,
// shaped to those two parts. Device and engine events stay with the main window;
// this one only shows the readout picture it is given.
class frmLCDDisplay final : public QWidget
{
    Q_OBJECT
public:
    explicit frmLCDDisplay(DisplayWindows& windows, QWidget* parent = nullptr);

    void Form_Load();
    void SetReadoutPicture(const QPixmap& picture);

    QLabel* picBox() const { return mpicBox; }
    QLabel* picTitle() const { return mpicTitle; }
    CPictureButton* picMin() const { return mpicMin; }
    CPictureButton* picCls() const { return mpicCls; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ArrangeDisplayControls();
    void Button_MouseDown(CPictureButton* button, int mouseButton);
    void Button_MouseUp(CPictureButton* button, int mouseButton, int x, int y);

    QLabel* mpicTitle;
    QLabel* mpicBox;
    CPictureButton* mpicMin;
    CPictureButton* mpicCls;
    DisplayWindows& mWindows;
};
