#include "CLiveSession.h"
#include "CReplay.h"
#include "HidrawUsbDevice.h"
#include "MMain.h"
#include "ProgramAssembly.h"
#include "ScaleIds.h"
#include "SimulatedUsbDevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDebug>
#include <QRegularExpression>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

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

// The scale the program reads: the real one, or the simulated one --simulate asks for. A scenario file
// that cannot be read is reported in *error; the simulated scale then runs its built-in scenario.
std::unique_ptr<UsbDevice> makeDevice(const std::optional<QString>& simulate, QString* error)
{
    if (!simulate)
        return std::make_unique<HidrawUsbDevice>();
    auto sim = std::make_unique<SimulatedUsbDevice>();
    if (*simulate == u"hidpos"_s)
        sim->SetPointOfSale(true);
    else if (!simulate->isEmpty() && !sim->LoadScenarioFile(*simulate))
        *error = sim->LastError();
    return sim;
}

int runHeadless(int argc, char** argv, const HeadlessOptions& options)
{
    QCoreApplication app(argc, argv);
    QString error;
    auto device = makeDevice(options.simulate, &error);
    if (!error.isEmpty()) {
        std::cerr << "pesavo: " << error.toStdString() << '\n';
        return 2;
    }
    device->OpenDevice(kScaleVendorId, kScaleProductId, QStringLiteral("SCALE"));
    device->SetEnabled(true);
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

struct CommandLine
{
    std::optional<int> exitCode; // set when the program ends here (help, version, a bad switch)
    std::optional<std::string> replay;
    HeadlessOptions headless;
    QStringList arguments; // what is left for the desktop program: "/s" starts it hidden
};

// Switches the toolkit takes for itself when the desktop program starts; they are
// not ours to reject. The first group takes a value.
const QStringList QtValueSwitches {u"platform"_s,        u"platformpluginpath"_s,
                                   u"platformtheme"_s,   u"plugin"_s,
                                   u"qwindowgeometry"_s, u"qwindowtitle"_s,
                                   u"qwindowicon"_s,     u"style"_s,
                                   u"stylesheet"_s,      u"display"_s,
                                   u"geometry"_s,        u"title"_s,
                                   u"session"_s,         u"name"_s};
const QStringList QtFlagSwitches {u"reverse"_s, u"nograb"_s, u"dograb"_s, u"sync"_s, u"widgetcount"_s};

QStringList withoutToolkitSwitches(const QStringList& arguments)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        const QString name = QString(arg).remove(QRegularExpression(u"^--?"_s)).section(u'=', 0, 0);
        if (i > 0 && arg.startsWith(u'-') && QtFlagSwitches.contains(name))
            continue;
        if (i > 0 && arg.startsWith(u'-') && QtValueSwitches.contains(name)) {
            if (!arg.contains(u'='))
                ++i;
            continue;
        }
        kept << arg;
    }
    return kept;
}

void printLine(std::FILE* to, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    if (!text.endsWith(u'\n'))
        std::fputc('\n', to);
}

CommandLine parseCommandLine(QStringList arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Pesavo turns a USB postal scale into a shipping assistant: a filtered, tared and held weight on a "
        u"liquid-crystal readout, a tray icon, and carrier rate pages filled in a real browser."_s);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption simulate(u"simulate"_s,
                                      u"Use a simulated scale instead of the real one: the built-in one when no "
                                      u"value is given, a standard HID point-of-sale scale with =hidpos, or a "
                                      u"scenario FILE of '<ms> <grams>', '<ms> unplug' and '<ms> plug' lines."_s,
                                      u"FILE|hidpos"_s);
    const QCommandLineOption replayOption(u"replay"_s,
                                          u"Run the weighing engine over a recorded session (FILE, or - for "
                                          u"standard input) and print what happens; no window is created."_s,
                                          u"FILE"_s);
    const QCommandLineOption print(u"print"_s, u"Print the engine's output live from the scale until interrupted."_s);
    const QCommandLineOption record(
        u"record"_s, u"Write the live session to FILE in the replay format, and print it as --print does."_s,
        u"FILE"_s);
    const QCommandLineOption findScale(u"find-scale"_s, u"Exit 0 when a scale is attached and readable, else 1."_s);
    parser.addOptions({simulate, replayOption, print, record, findScale});
    parser.addPositionalArgument(u"/s"_s, u"Start hidden in the tray (exactly this, nothing else)."_s, u"[/s]"_s);

    // A bare --simulate means the built-in scale; the parser only knows switches
    // that always or never take a value.
    for (QString& arg : arguments) {
        if (arg == u"--simulate"_s)
            arg = u"--simulate="_s;
    }

    CommandLine line;
    const QStringList ours = withoutToolkitSwitches(arguments);
    if (!parser.parse(ours)) {
        printLine(stderr, u"pesavo: %1 Try 'pesavo --help'."_s.arg(parser.errorText().replace(u'\n', u' ')));
        line.exitCode = 2;
        return line;
    }
    const bool helpAll = parser.isSet(u"help-all"_s);
    if (parser.isSet(help) || parser.isSet(version) || helpAll) {
        // The help text names the program as it was started; that needs an application.
        int argc = 1;
        char name[] = "pesavo";
        char* argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(u"pesavo"_s);
        QCoreApplication::setApplicationVersion(QStringLiteral(PESAVO_VERSION));
        if (helpAll)
            parser.process(ours); // prints the toolkit's switches too, and exits 0
        printLine(stdout, parser.isSet(help) ? parser.helpText() : u"pesavo %1"_s.arg(QStringLiteral(PESAVO_VERSION)));
        line.exitCode = 0;
        return line;
    }
    if (parser.isSet(replayOption))
        line.replay = parser.value(replayOption).toLocal8Bit().toStdString();
    line.headless.print = parser.isSet(print);
    line.headless.findScale = parser.isSet(findScale);
    if (parser.isSet(record))
        line.headless.record = parser.value(record).toLocal8Bit().toStdString();
    if (parser.isSet(simulate))
        line.headless.simulate = parser.value(simulate);
    line.arguments = parser.positionalArguments();
    return line;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = parseCommandLine(arguments);
    if (line.exitCode)
        return *line.exitCode;

    if (line.replay) {
        std::ios::sync_with_stdio(false);
        return replay(*line.replay);
    }
    if (line.headless.print || line.headless.findScale || line.headless.record)
        return runHeadless(argc, argv, line.headless);
    ProgramAssembly::Install();
    const std::optional<QString> simulate = line.headless.simulate;
    return MMain::Run(argc, argv, line.arguments, [simulate] {
        QString error;
        auto device = makeDevice(simulate, &error);
        if (!error.isEmpty())
            qWarning().noquote() << "simulated scale:" << error;
        return device;
    });
}
