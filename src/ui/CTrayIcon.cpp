#include "CTrayIcon.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace {
// A panel started after us at login gets the icon when it comes up; past a few minutes nobody is coming.
constexpr int kRetryIntervalMs = 2000;
constexpr int kRetries = 150;
} // namespace

CTrayIcon::CTrayIcon(QObject* parent)
    : QObject(parent)
{
    mRetry.setInterval(kRetryIntervalMs);
    connect(&mRetry, &QTimer::timeout, this, [this] {
        if (Available()) {
            mRetry.stop();
            Create();
        } else if (--mRetriesLeft <= 0) {
            mRetry.stop();
        }
    });
}

CTrayIcon::~CTrayIcon() = default;

bool CTrayIcon::Available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool CTrayIcon::StatusNotifierTray()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()
        && bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value();
}

std::vector<CTrayIcon::Event> CTrayIcon::EventsFor(QSystemTrayIcon::ActivationReason reason, bool statusNotifierTray)
{
    switch (reason) {
    case QSystemTrayIcon::Context:
        return {{Event::MouseDown, 2}};
    case QSystemTrayIcon::Trigger:
        if (statusNotifierTray)
            return {{Event::MouseDown, 1}, {Event::DoubleClick, 1}};
        return {{Event::MouseDown, 1}};
    case QSystemTrayIcon::MiddleClick:
        return {{Event::MouseDown, 4}};
    case QSystemTrayIcon::DoubleClick:
        return {{Event::DoubleClick, 1}};
    default:
        return {};
    }
}

void CTrayIcon::AddIcon(const QIcon& icon, const QString& name, const QString& tip)
{
    mIcon = icon;
    mIconName = name;
    mTip = tip;
    if (Available()) {
        Create();
    } else {
        mRetriesLeft = kRetries;
        mRetry.start();
    }
}

void CTrayIcon::Create()
{
    mTray = std::make_unique<QSystemTrayIcon>(mIcon);
    mTray->setToolTip(mTip);
    if (mMenu)
        mTray->setContextMenu(mMenu);
    // Asked once: the kind of tray does not change while it runs.
    const bool statusNotifier = StatusNotifierTray();
    connect(mTray.get(), &QSystemTrayIcon::activated, this,
            [this, statusNotifier](QSystemTrayIcon::ActivationReason reason) {
                for (const Event& event : EventsFor(reason, statusNotifier)) {
                    if (event.kind == Event::MouseDown)
                        Q_EMIT MouseDown(event.button);
                    else
                        Q_EMIT DoubleClick(event.button);
                }
            });
    mTray->show();
}

void CTrayIcon::SetIcon(const QIcon& icon, const QString& name)
{
    mIcon = icon;
    mIconName = name;
    if (mTray)
        mTray->setIcon(icon);
}

void CTrayIcon::SetContextMenu(QMenu* menu)
{
    mMenu = menu;
    if (mTray)
        mTray->setContextMenu(menu);
}

bool CTrayIcon::IsShown() const
{
    return mTray && mTray->isVisible();
}

bool CTrayIcon::ShowMessage(const QString& title, const QString& text)
{
    if (!IsShown())
        return false;
    mTray->showMessage(title, text, QSystemTrayIcon::Information);
    return true;
}
