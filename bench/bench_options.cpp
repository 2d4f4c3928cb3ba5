// Figures of the options dialog with 100 user pages: making the window at start-up,
// opening it (backup copy, every control filled, shown and painted), the first OK
// (every key written) and Cancel (backup put back, page list rebuilt).
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "AppState.h"
#include "MMain.h"
#include "ProgramAssembly.h"
#include "UsbDevice.h"
#include "frmOption.h"
#include "frmScale.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Pages = 100;
constexpr int Rounds = 20;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double Milliseconds(const QElapsedTimer& clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));

    QByteArray settings = "[_WGX_GENERAL]\nAUTO_LAUNCH=0\n[_WGX_WEB]\nCNT=" + QByteArray::number(Pages) + '\n';
    for (int i = 1; i <= Pages; ++i)
        settings += "_WGX_NAME" + QByteArray::number(i) + "=Page " + QByteArray::number(i) + '\n';
    for (int i = 1; i <= Pages; ++i)
        settings += "[Page " + QByteArray::number(i) + "]\n_WGX_TITLE=Rates of page " + QByteArray::number(i)
            + "\n_WGX_ADDRESS=https://rates.example/" + QByteArray::number(i) + "\n_WGX_FRM_CNT=0\n";
    QFile file(dir.filePath(QStringLiteral("Data1.ini")));
    if (!file.open(QIODevice::WriteOnly) || file.write(settings) != settings.size())
        return 1;
    file.close();

    App().gTrayAvailable = [] {
        return false;
    };
    App().gDeviceFactory = []() -> std::unique_ptr<UsbDevice> {
        return nullptr;
    };
    ProgramAssembly::Install();
    QElapsedTimer clock;
    clock.start();
    if (!MMain::Main({QStringLiteral("/s")}, dir.path()))
        return 1;
    const double startup = Milliseconds(clock);
    clock.start();
    frmOption probe(*App().gSession, {});
    const double construct = Milliseconds(clock);

    auto* options = static_cast<frmOption*>(MMain::Windows().options);
    std::vector<double> open;
    std::vector<double> cancel;
    double firstOk = 0.0;
    for (int round = 0; round < Rounds; ++round) {
        clock.start();
        MMain::Windows().scale->ShowOptions();
        QCoreApplication::processEvents();
        options->repaint();
        open.push_back(Milliseconds(clock));
        clock.start();
        if (round == 0) {
            options->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
            firstOk = Milliseconds(clock);
        } else {
            options->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
            cancel.push_back(Milliseconds(clock));
        }
        QCoreApplication::processEvents();
    }
    std::printf("options dialog, %d user pages (%d rounds)\n", Pages, Rounds);
    std::printf("  start-up with the dialog made:  %8.1f ms\n", startup);
    std::printf("  making the dialog:              %8.1f ms\n", construct);
    std::printf("  opening, first:                 %8.1f ms\n", open.front());
    std::printf("  opening, median:                %8.1f ms\n", Median(open));
    std::printf("  opening, worst:                 %8.1f ms\n", *std::max_element(open.begin(), open.end()));
    std::printf("  first OK (every key written):   %8.1f ms\n", firstOk);
    std::printf("  Cancel, median:                 %8.1f ms\n", Median(cancel));
    MMain::ExitApp();
    return 0;
}
