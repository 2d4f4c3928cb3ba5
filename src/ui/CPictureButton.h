#pragma once

#include <QPixmap>
#include <QWidget>

// A button drawn from two pictures, released and pressed. It reports the raw mouse
// events (button 1 left, 2 right, 4 middle; positions in its own pixels) and lets
// its window decide: the window presses, releases and runs the command. The mouse
// stays with the pressed button until release, so a release beyond its edges
// arrives with a position outside it.
class CPictureButton final : public QWidget
{
    Q_OBJECT
public:
    CPictureButton(const QString& objectName, const QSize& size, QWidget* parent);

    void SetPictures(const QPixmap& released, const QPixmap& pressed);
    void SetPressed(bool pressed);
    bool IsPressed() const { return mPressed; }

    static int ButtonNumber(Qt::MouseButton button);

Q_SIGNALS:
    void MouseDown(int button, int x, int y);
    void MouseUp(int button, int x, int y);
    void DblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPixmap mReleased;
    QPixmap mPressedPicture;
    bool mPressed = false;
};
