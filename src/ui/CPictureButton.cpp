#include "CPictureButton.h"

#include <QMouseEvent>
#include <QPainter>

CPictureButton::CPictureButton(const QString& objectName, const QSize& size, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(objectName);
    setFixedSize(size);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CPictureButton::SetPictures(const QPixmap& released, const QPixmap& pressed)
{
    mReleased = released;
    mPressedPicture = pressed;
    update();
}

void CPictureButton::SetPressed(bool pressed)
{
    if (mPressed == pressed)
        return;
    mPressed = pressed;
    update();
}

int CPictureButton::ButtonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

void CPictureButton::paintEvent(QPaintEvent*)
{
    const QPixmap& picture = mPressed ? mPressedPicture : mReleased;
    if (picture.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(rect(), picture);
    if (!isEnabled()) {
        // A disabled command (tare while held) is dimmed rather than hidden.
        painter.fillRect(rect(), QColor(0, 0, 0, 90));
    }
}

void CPictureButton::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    Q_EMIT MouseDown(ButtonNumber(event->button()), p.x(), p.y());
}

void CPictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    Q_EMIT MouseUp(ButtonNumber(event->button()), p.x(), p.y());
}

void CPictureButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is the double click itself, never a
    // second mouse-down; the release after it runs the command again.
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        Q_EMIT DblClick();
}

void CPictureButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}
