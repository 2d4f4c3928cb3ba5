// Shows the add-page wizard through its three steps on the X display and saves a picture of the screen
// around it at each step: wizard-step1.png, wizard-step2.png, wizard-step3.png in the given folder.
// The browser window is left out of the pictures: a stand-in reports the user's page as loaded.
#include "IniFile.h"
#include "ScaleSession.h"
#include "WebBrowser.h"
#include "frmAddWeb.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

// The wizard only needs a window that opens and later reports a completed page.
class PictureBrowser final : public WebBrowser
{
public:
    bool Navigate(const QString&) override { return true; }
    bool Visible() override { return true; }
    bool SetVisible(bool) override { return true; }
    bool IsAlive() override { return true; }
    int ReadyState() override { return 4; }
    std::shared_ptr<HtmlDocument> Document() override { return nullptr; }
    QString LastError() const override { return {}; }
    void PageLoaded() { Q_EMIT DocumentComplete(QStringLiteral("https://courier.example/rates")); }
};

void Shoot(QWidget* window, const QString& file)
{
    const QRect area = window->frameGeometry().adjusted(-16, -16, 16, 16);
    QPixmap picture = window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (!picture.save(file))
        std::fprintf(stderr, "cannot save %s\n", qPrintable(file));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir dir;
    PictureBrowser* browser = nullptr;
    ScaleSession session({}, [&browser](WebPageUse, QString*) -> std::unique_ptr<WebBrowser> {
        auto made = std::make_unique<PictureBrowser>();
        browser = made.get();
        return made;
    });
    session.OpenSettings(dir.filePath(QStringLiteral("Data1.ini")), dir.filePath(QStringLiteral("Data2.ini")),
                         QString());

    auto* wizard = new frmAddWeb(session);
    wizard->Start();
    wizard->move(300, 120);
    wizard->findChild<QLineEdit*>(QStringLiteral("txtName"))->setText(QStringLiteral("Courier X"));

    // Each step gets a moment to be drawn by the X server before its picture.
    const std::function<void()> steps[] = {
        [&] { Shoot(wizard, out + QStringLiteral("/wizard-step1.png")); },
        [&] { wizard->cmdNext_Click(); },
        [&] { Shoot(wizard, out + QStringLiteral("/wizard-step2.png")); },
        [&] {
            if (browser)
                browser->PageLoaded();
            wizard->cmdNext_Click();
        },
        [&] { Shoot(wizard, out + QStringLiteral("/wizard-step3.png")); },
        [&] {
            wizard->cmdCancel_Click();
            app.quit();
        },
    };
    int delay = 800;
    for (const auto& step : steps) {
        QTimer::singleShot(delay, &app, step);
        delay += 800;
    }
    return app.exec();
}
