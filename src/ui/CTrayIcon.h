#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include <memory>

class QSystemTrayIcon;

// The notification-area icon as the main window uses it: an icon with a tip and
// two events, a mouse press (1 left, 2 right, 4 middle) and a double click. Where
// the desktop has no tray the object still keeps its icon, and nothing shows.
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

    static bool Available();

Q_SIGNALS:
    void MouseDown(int button);
    void DoubleClick(int button);

private:
    std::unique_ptr<QSystemTrayIcon> mTray;
    QString mIconName;
};
