// Figures of the desktop program: start-up to the first shown window, resident
// memory when idle, and the time from a device report to both readouts redrawn.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "AppState.h"
#include "CScaleCalc.h"
#include "FeedUsbDevice.h"
#include "MMain.h"
#include "ProgramAssembly.h"
#include "SimulatedUsbDevice.h"
#include "frmScale.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace {

long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void Spin(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dir;

    FeedUsbDevice* device = nullptr;
    App().gDeviceFactory = [&device]() -> std::unique_ptr<UsbDevice> {
        auto made = std::make_unique<FeedUsbDevice>();
        device = made.get();
        return made;
    };
    ProgramAssembly::Install();
    MMain::Main({}, dir.path());
    QWidget* shown = MMain::Windows().shown;
    while (!(shown->windowHandle() && shown->windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    const double startupMs = sinceStart.nsecsElapsed() / 1e6;
    std::printf("start-up to first shown window: %.1f ms (goal < 300 ms)\n", startupMs);

    // Ready the engine, then time reports whose weight changes every time.
    const QByteArray empty = SimulatedUsbDevice::MakeReport(5000, 20000, 0);
    for (int i = 0; i < CScaleCalc::InitCntNeeded; ++i)
        device->Feed(empty);
    constexpr int reports = 5000;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < reports; ++i)
        device->Feed(SimulatedUsbDevice::MakeReport(5000, 20000, (i % 2) ? 4000 + i % 97 : 120 + i % 89));
    const double perReportMs = clock.nsecsElapsed() / 1e6 / reports;
    std::printf("report to both readouts redrawn: %.4f ms per report over %d reports (goal < 0.5 ms)\n", perReportMs,
                reports);

    // The same with the shown readout painted on screen at once, not at the next paint event.
    clock.restart();
    for (int i = 0; i < reports; ++i) {
        device->Feed(SimulatedUsbDevice::MakeReport(5000, 20000, (i % 2) ? 4000 + i % 97 : 120 + i % 89));
        MMain::Windows().scale->picBox()->repaint();
    }
    std::printf("report to the shown readout painted: %.4f ms per report over %d reports (goal < 0.5 ms)\n",
                clock.nsecsElapsed() / 1e6 / reports, reports);

    Spin(1000);
    const long rssKiB = ResidentKiB();
    std::printf("idle resident memory: %.1f MB (goal < 60 MB)\n", rssKiB / 1024.0);

    MMain::ExitApp();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    AppState::Reset();
    return 0;
}
