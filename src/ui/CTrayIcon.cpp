#include "CTrayIcon.h"

#include <QSystemTrayIcon>

CTrayIcon::CTrayIcon(QObject* parent)
    : QObject(parent)
{ }

CTrayIcon::~CTrayIcon() = default;

bool CTrayIcon::Available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void CTrayIcon::AddIcon(const QIcon& icon, const QString& name, const QString& tip)
{
    mIconName = name;
    if (!Available())
        return;
    mTray = std::make_unique<QSystemTrayIcon>(icon);
    mTray->setToolTip(tip);
    connect(mTray.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Context:
            Q_EMIT MouseDown(2);
            break;
        case QSystemTrayIcon::Trigger:
            Q_EMIT MouseDown(1);
            break;
        case QSystemTrayIcon::MiddleClick:
            Q_EMIT MouseDown(4);
            break;
        case QSystemTrayIcon::DoubleClick:
            Q_EMIT DoubleClick(1);
            break;
        default:
            break;
        }
    });
    mTray->show();
}

void CTrayIcon::SetIcon(const QIcon& icon, const QString& name)
{
    mIconName = name;
    if (mTray)
        mTray->setIcon(icon);
}

bool CTrayIcon::IsShown() const
{
    return mTray && mTray->isVisible();
}
