// Writes the program's icon, drawn by CArtwork, as the PNG files of a hicolor icon
// theme, so the menu entry shows the same picture as the window and the tray.
//
//   app_icons OUTPUT_DIR ICON_NAME
//
// -> OUTPUT_DIR/hicolor/<n>x<n>/apps/ICON_NAME.png for every size the artwork has.
// Runs without a display (it picks the offscreen platform itself).

#include "CArtwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: app_icons OUTPUT_DIR ICON_NAME\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);

    const QIcon icon = CArtwork::AppIcon();
    for (const QSize& size : icon.availableSizes()) {
        const QString dir = QStringLiteral("%1/hicolor/%2x%3/apps").arg(out).arg(size.width()).arg(size.height());
        const QString file = QStringLiteral("%1/%2.png").arg(dir, name);
        if (!QDir().mkpath(dir) || !icon.pixmap(size).save(file, "PNG")) {
            std::fprintf(stderr, "app_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
