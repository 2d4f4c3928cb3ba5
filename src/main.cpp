#include "CLiveSession.h"
#include "CReplay.h"
#include "HidrawUsbDevice.h"
#include "MMain.h"
#include "SimulatedUsbDevice.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

namespace {

constexpr int kScaleVendor = 0x6323;
constexpr int kScaleProduct = 0x2233;

int usage()
{
    std::cerr << "usage: pesavo [/s] [--simulate[=FILE]]\n"
                 "       pesavo --replay FILE|-\n"
                 "       pesavo --print [--simulate[=FILE]]\n"
                 "       pesavo --record FILE [--simulate[=FILE]]\n"
                 "       pesavo --find-scale\n";
    return 2;
}

int replay(const std::string& path)
{
    if (path == "-")
        return CReplay::Run(std::cin, std::cout, std::cerr);
    std::ifstream in(path);
    if (!in) {
        std::cerr << "pesavo: cannot open " << path << ": " << std::strerror(errno) << '\n';
        return 2;
    }
    return CReplay::Run(in, std::cout, std::cerr);
}

struct HeadlessOptions
{
    bool print = false;
    bool findScale = false;
    std::optional<std::string> record;
    std::optional<QString> simulate; // empty string: no scenario
};

// The device a headless session reads: the simulated scale or the real one.
std::unique_ptr<UsbDevice> openDevice(const HeadlessOptions& options, QString& error)
{
    if (options.simulate) {
        auto sim = std::make_unique<SimulatedUsbDevice>();
        if (!options.simulate->isEmpty() && !sim->LoadScenarioFile(*options.simulate)) {
            error = sim->LastError();
            return nullptr;
        }
        sim->OpenDevice(0, kScaleVendor, kScaleProduct, QStringLiteral("SCALE"));
        sim->SetEnabled(true);
        return sim;
    }
    auto device = std::make_unique<HidrawUsbDevice>();
    device->OpenDevice(0, kScaleVendor, kScaleProduct, QStringLiteral("SCALE"));
    device->SetEnabled(true);
    return device;
}

int runHeadless(int argc, char** argv, const HeadlessOptions& options)
{
    QCoreApplication app(argc, argv);
    QString error;
    auto device = openDevice(options, error);
    if (!device) {
        std::cerr << "pesavo: " << error.toStdString() << '\n';
        return 2;
    }
    if (options.findScale) {
        if (!device->IsAttached() && !device->LastError().isEmpty())
            std::cerr << "pesavo: " << device->LastError().toStdString() << '\n';
        return device->IsAttached() ? 0 : 1;
    }
    if (!device->IsAttached()) {
        std::cerr << "pesavo: no scale attached yet; waiting for one"
                  << (device->LastError().isEmpty() ? std::string() : " (" + device->LastError().toStdString() + ")")
                  << '\n';
    }
    std::FILE* record = nullptr;
    if (options.record) {
        record = std::fopen(options.record->c_str(), "w");
        if (!record) {
            std::cerr << "pesavo: cannot write " << *options.record << ": " << std::strerror(errno) << '\n';
            return 2;
        }
        std::fputs("# pesavo session; replay with: pesavo --replay FILE\n", record);
    }
    CLiveSession session(*device, stdout, record);
    session.Start();
    const int status = app.exec();
    if (record)
        std::fclose(record);
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    HeadlessOptions headless;
    bool isHeadless = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--replay") {
            if (i + 1 >= argc)
                return usage();
            std::ios::sync_with_stdio(false);
            return replay(argv[i + 1]);
        }
        if (arg == "--print") {
            headless.print = isHeadless = true;
        } else if (arg == "--find-scale") {
            headless.findScale = isHeadless = true;
        } else if (arg == "--record") {
            if (i + 1 >= argc)
                return usage();
            headless.record = argv[++i];
            isHeadless = true;
        } else if (arg == "--simulate") {
            headless.simulate = QString();
        } else if (arg.rfind("--simulate=", 0) == 0) {
            headless.simulate = QString::fromLocal8Bit(argv[i] + std::strlen("--simulate="));
        }
    }
    if (isHeadless)
        return runHeadless(argc, argv, headless);
    return MMain::Run(argc, argv);
}
