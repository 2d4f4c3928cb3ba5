// Plugs an emulated scale in and out over and over with reports flowing, against the real hidraw
// and udev code. Judges the device's state after each step and the process's open files at the
// end against the start; its memory is printed. Runs under umockdev-wrapper.
//   umockdev-wrapper bench_hotplug [cycles]        (default 1000)
#include "HidrawUsbDevice.h"
#include "ResidentMemory.h"
#include "UmockdevTestbed.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTest>

#include <climits>
#include <cstdio>
#include <dirent.h>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace umockdevbed;

namespace {

qsizetype Total(const QMap<QString, int>& kinds)
{
    qsizetype total = 0;
    for (const int count : kinds)
        total += count;
    return total;
}

// Open files by what they are (the target with numbers taken out), so a growth can be told apart.
// The listing's own descriptor is left out, and so is one closed while the list is read (its
// target can no longer be read): only what is open both before and after the listing counts.
QMap<QString, int> OpenFilesNow()
{
    QMap<QString, int> kinds;
    DIR* fds = ::opendir("/proc/self/fd");
    if (!fds)
        return kinds;
    const int own = ::dirfd(fds);
    static const QRegularExpression digits(u"[0-9]+"_s);
    while (const dirent* entry = ::readdir(fds)) {
        bool number = false;
        const int fd = QByteArray(entry->d_name).toInt(&number);
        if (!number || fd == own)
            continue;
        char target[PATH_MAX];
        const ssize_t length = ::readlinkat(own, entry->d_name, target, sizeof target);
        if (length <= 0)
            continue;
        ++kinds[QString::fromLocal8Bit(target, length).replace(digits, u"N"_s)];
    }
    ::closedir(fds);
    return kinds;
}

// A descriptor can be on its way in or out while the list is read (a reply of the testbed's own
// thread, a notifier deleted later): the event loop settles first, and the lowest of three
// samples stands for the process, so the figure does not depend on what ran at that instant.
QMap<QString, int> OpenFiles()
{
    QMap<QString, int> lowest;
    for (int sample = 0; sample < 3; ++sample) {
        QTest::qWait(50);
        const QMap<QString, int> kinds = OpenFilesNow();
        if (sample == 0 || Total(kinds) < Total(lowest))
            lowest = kinds;
    }
    return lowest;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (!qEnvironmentVariable("LD_PRELOAD").contains(u"umockdev-preload"_s)) {
        std::fprintf(stderr, "run this under umockdev-wrapper\n");
        return 2;
    }
    const int cycles = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;
    // The testbed's three files per device add up over a long run.
    rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    Testbed bed;
    int next = 0; // umockdev cannot bring a removed node back: each plug-in is a new node, as another port is
    const auto plug = [&](const std::function<bool(const EmulatedHid&, const QByteArray&)>& whilePlugged) {
        EmulatedHid scale;
        scale.index = next++;
        const QByteArray sent = ScaleReport(scale.index % 4000);
        if (!bed.Add(scale, {sent, sent, sent}, true, 5))
            return false;
        const bool ok = whilePlugged(scale, sent);
        bed.Remove(scale);
        return ok;
    };

    // The testbed keeps a pty, a socket and a script file of every device it ever had, and memory
    // with them: measured alone first, so that what remains is the reader's own.
    for (int i = 0; i < 10; ++i)
        plug([](const EmulatedHid&, const QByteArray&) { return true; });
    const QMap<QString, int> controlFiles = OpenFiles();
    const long controlRss = ResidentKiB();
    for (int i = 0; i < cycles; ++i) {
        plug([](const EmulatedHid&, const QByteArray&) {
            QCoreApplication::processEvents();
            return true;
        });
    }
    const qsizetype testbedFiles = Total(OpenFiles()) - Total(controlFiles);
    const long testbedRss = ResidentKiB() - controlRss;

    HidrawUsbDevice device;
    int arrivals = 0;
    int removals = 0;
    int reports = 0;
    QByteArray last;
    QObject::connect(&device, &UsbDevice::Arrival, &app, [&] { ++arrivals; });
    QObject::connect(&device, &UsbDevice::Removal, &app, [&] { ++removals; });
    QObject::connect(&device, &UsbDevice::OnUsb, &app, [&] {
        ++reports;
        last = device.ReportData();
    });
    device.OpenDevice(ScaleVendor, ScaleProduct, u"SCALE"_s);
    device.SetEnabled(true);

    // What a device that is never seen would hit; a loaded machine takes far less.
    constexpr int kSeenMs = 15000;
    int faults = 0;
    const auto cycle = [&](const EmulatedHid& scale, const QByteArray& sent) {
        const auto fault = [&](const char* what) {
            ++faults;
            std::fprintf(stderr, "%s: %s (%s)\n", qPrintable(scale.Node()), what, qPrintable(device.LastError()));
            return false;
        };
        const int arrived = arrivals;
        const int before = reports;
        if (!QTest::qWaitFor([&] { return arrivals == arrived + 1 && reports >= before + 3; }, kSeenMs))
            return fault("no arrival or no reports");
        if (!device.IsAttached() || device.DeviceNode() != scale.Node() || last != '\0' + sent)
            return fault("wrong state after arrival");
        return true;
    };
    const auto removed = [&](int expected) {
        if (!QTest::qWaitFor([&] { return removals == expected; }, kSeenMs) || device.IsAttached()) {
            ++faults;
            std::fprintf(stderr, "removal %d not seen or still attached\n", expected);
        }
    };
    // Warm-up: udev, Qt and umockdev settle in; the baseline is taken after them.
    for (int i = 0; i < 10; ++i) {
        plug(cycle);
        removed(i + 1);
    }
    const QMap<QString, int> baseFiles = OpenFiles();
    const long baseRss = ResidentKiB();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < cycles && faults < 10; ++i) {
        plug(cycle);
        removed(10 + i + 1);
    }
    const double seconds = clock.elapsed() / 1000.0;
    const QMap<QString, int> files = OpenFiles();
    const long rss = ResidentKiB();
    const qsizetype ownFiles = Total(files) - Total(baseFiles) - testbedFiles;
    const long ownRss = rss - baseRss - testbedRss;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.value() != baseFiles.value(it.key()))
            std::printf("  open files %s: %d at start, %d at end\n", qPrintable(it.key()), baseFiles.value(it.key()),
                        it.value());
    }
    std::printf("hot-plug: %d cycles in %.1f s, %d faults, %d reports; open files %lld at start, %lld at end, "
                "of which the testbed's own %lld: %+lld for the reader; resident memory %ld KiB at start, %ld KiB at "
                "end, the testbed's own %+ld KiB: %+ld KiB for the reader\n",
                cycles, seconds, faults, reports, static_cast<long long>(Total(baseFiles)),
                static_cast<long long>(Total(files)), static_cast<long long>(testbedFiles),
                static_cast<long long>(ownFiles), baseRss, rss, testbedRss, ownRss);
    return faults == 0 && ownFiles <= 0 ? 0 : 1;
}
