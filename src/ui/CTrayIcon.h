#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>
#include <vector>

// The notification-area icon as the main window uses it: an icon with a tip and
// two events, a mouse press (1 left, 2 right, 4 middle) and a double click. Where
// the desktop has no tray the object still keeps its icon, and nothing shows; a tray
// that comes up later (a panel started after us at login) still gets the icon.
class CTrayIcon final : public QObject
{
    Q_OBJECT
public:
    explicit CTrayIcon(QObject* parent = nullptr);
    ~CTrayIcon() override;

    // name says which picture is shown ("present", "absent", "anim0", ...) for logs and tests.
    void AddIcon(const QIcon& icon, const QString& name, const QString& tip);
    void SetIcon(const QIcon& icon, const QString& name);
    QString IconName() const { return mIconName; }
    bool IsShown() const;
    // A balloon by the icon, where the tray shows one; false when there is no icon to show it by.
    bool ShowMessage(const QString& title, const QString& text);
    // The menu the tray itself opens on the icon (the tray may still report the click too).
    void SetContextMenu(QMenu* menu);

    static bool Available();

    // What one activation of the tray icon means to us. StatusNotifier trays (the freedesktop protocol most
    // current panels speak) report a click as "activate" and never a double click, so there the click itself
    // is the double click that brings the window back.
    struct Event
    {
        enum Kind
        {
            MouseDown,
            DoubleClick
        } kind;
        int button;
        bool operator==(const Event&) const = default;
    };
    static std::vector<Event> EventsFor(QSystemTrayIcon::ActivationReason reason, bool statusNotifierTray);

Q_SIGNALS:
    void MouseDown(int button);
    void DoubleClick(int button);

private:
    void Create();
    static bool StatusNotifierTray();

    std::unique_ptr<QSystemTrayIcon> mTray;
    QIcon mIcon;
    QPointer<QMenu> mMenu;
    QString mIconName;
    QString mTip;
    QTimer mRetry;
    int mRetriesLeft = 0;
};
