// The browser, its keeper, or Pesavo itself killed (SIGKILL) around a launch, through the same
// browser source the program uses (keeper, then a headless browser), with the carrier pages served
// offline from tests/fixtures. After each kill the next launch must fill its page in a window that
// works; when Pesavo is killed, the window it had open must survive it, and the next run must open
// a new window and leave the old one as it was.
//   bench_browserkills [rounds]        (default 10)
#include "BrowserConnection.h"
#include "BrowserLocator.h"
#include "CBrowserSource.h"
#include "CCarrierPages.h"
#include "CPageLauncher.h"
#include "ChromiumBrowser.h"
#include "DevToolsSession.h"
#include "IniFile.h"
#include "SelfChild.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Json = nlohmann::json;

namespace {

// What a page that never fills, or a browser that never answers, would hit: a loaded machine
// restarting its browser is far quicker, and the waits end as soon as the answer is there.
constexpr int kFillMs = 45000;
constexpr int kAnswerMs = 15000;

std::string Text(const Json& object, const char* key)
{
    return object.is_object() && object.contains(key) && object[key].is_string() ? object[key].get<std::string>()
                                                                                 : std::string();
}

// Answers every request of our pages: the UPS and USPS pages from the fixtures, anything else 404.
void Intercept(const std::shared_ptr<DevToolsSession>& session, std::weak_ptr<DevToolsSession>& done)
{
    // Compared as owners: a new session may well sit where a dead one was.
    if (!session || done.lock() == session)
        return;
    done = session;
    std::weak_ptr<DevToolsSession> weak = session;
    session->AddInterceptor([weak](const Json& event) {
        if (Text(event, "method") != "Fetch.requestPaused")
            return false;
        const auto session = weak.lock();
        if (!session)
            return true;
        const Json params = event.value("params", Json::object());
        const QString url = QString::fromStdString(Text(params.value("request", Json::object()), "url"));
        QString file;
        if (url.startsWith(u"https://wwwapps.ups.com/calTimeCost"_s))
            file = u"ups.html"_s;
        else if (url.startsWith(u"https://postcalc.usps.com/"_s))
            file = u"usps_domestic.html"_s;
        QFile page(QStringLiteral(PESAVO_TEST_FIXTURES) + u'/' + file);
        const bool found = !file.isEmpty() && page.open(QIODevice::ReadOnly);
        const QByteArray body = found ? page.readAll() : QByteArrayLiteral("not served");
        session->Send("Fetch.fulfillRequest",
                      {{"requestId", Text(params, "requestId")},
                       {"responseCode", found ? 200 : 404},
                       {"responseHeaders", Json::array({{{"name", "Content-Type"}, {"value", "text/html"}}})},
                       {"body", body.toBase64().toStdString()}},
                      Text(event, "sessionId"));
        return true;
    });
}

// Our keeper (its socket is in our folder), or the main process of our browser (its profile is in
// our folder; the browser's helpers have a --type).
QList<pid_t> ProcessesWith(const QString& folder, bool browserMain)
{
    QList<pid_t> pids;
    for (const QString& entry : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        if (!number || pid == getpid())
            continue;
        QFile cmdline(u"/proc/%1/cmdline"_s.arg(entry));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> args = cmdline.readAll().split('\0');
        if (!args.join(' ').contains(folder.toUtf8()))
            continue;
        const bool keeper = args.first().endsWith("pesavo-browser-keeper");
        const bool helper = args.join(' ').contains("--type=");
        if (browserMain ? (!keeper && !helper) : keeper)
            pids.append(pid);
    }
    return pids;
}

// Gone, or a zombie: its files are closed, so what it served is gone too.
bool Gone(pid_t pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const qsizetype name = text.lastIndexOf(')');
    const char state = name >= 0 && name + 2 < text.size() ? text[name + 2] : 'X';
    return state == 'Z' || state == 'X';
}

// A SIGKILL takes effect when the kernel next runs the process, later on a loaded machine. The
// next step starts once it has (the event loop not run meanwhile, as if the user had clicked at
// that instant), so it never meets a process still half there.
bool KillAll(const QList<pid_t>& pids)
{
    for (const pid_t pid : pids) {
        ::kill(pid, SIGKILL);
    }
    QElapsedTimer clock;
    clock.start();
    while (!std::all_of(pids.cbegin(), pids.cend(), Gone) && clock.elapsed() < kAnswerMs)
        ::usleep(5000);
    return !pids.isEmpty();
}

struct Run
{
    explicit Run(const BrowserLaunchOptions& options, IniFile& ini)
        : source(options)
    {
        CWebHelper::Accessors accessors;
        accessors.makeBrowser = [this](QString* error) -> std::unique_ptr<WebBrowser> {
            auto page = source.OpenPage(WebPageUse::Launcher, error);
            auto* chromium = qobject_cast<ChromiumBrowser*>(page.get());
            if (chromium) {
                Intercept(chromium->Session(), intercepted);
                const Json patterns = Json::array({{{"urlPattern", "https://*"}, {"requestStage", "Request"}}});
                chromium->Session()->Call("Fetch.enable", {{"patterns", patterns}}, chromium->SessionId(), kAnswerMs);
            }
            return page;
        };
        accessors.currentWeight = [] {
            return 0.5;
        };
        launcher = std::make_unique<CPageLauncher>(ini, accessors, [](int) { return std::optional<QString>(); });
    }
    // Launches `page` and waits for it to be filled; the time it took, or -1.
    qint64 Launch(int page)
    {
        QElapsedTimer clock;
        clock.start();
        launcher->SaveSelection(page);
        if (!launcher->LaunchWebPage()) {
            std::fprintf(stderr, "launch failed: %s\n", qPrintable(launcher->LastError()));
            return -1;
        }
        const bool filled
            = QTest::qWaitFor([this] { return launcher->WebHelper()->CurrentFiller()->IsFilled(); }, kFillMs);
        if (!filled) {
            auto* chromium = Page();
            std::fprintf(
                stderr, "not filled: page %s alive %d ready %d url %s\n", chromium ? chromium->TargetId().c_str() : "-",
                chromium ? chromium->IsAlive() : -1, chromium ? chromium->ReadyState() : -1,
                chromium && chromium->Document() ? qPrintable(chromium->Document()->URL().value_or(u"?"_s)) : "-");
        }
        return filled ? clock.elapsed() : -1;
    }
    ChromiumBrowser* Page() const
    {
        return launcher->WebHelper() ? qobject_cast<ChromiumBrowser*>(launcher->WebHelper()->Browser()) : nullptr;
    }

    CBrowserSource source;
    std::weak_ptr<DevToolsSession> intercepted;
    std::unique_ptr<CPageLauncher> launcher;
};

// The pages the browser has open: target id and address.
std::map<std::string, std::string> OpenPages(const std::shared_ptr<DevToolsSession>& session)
{
    std::map<std::string, std::string> pages;
    if (!session)
        return pages;
    const auto targets = session->Call("Target.getTargets", Json::object(), {}, kAnswerMs);
    if (targets && (*targets)["targetInfos"].is_array()) {
        for (const Json& info : (*targets)["targetInfos"]) {
            if (Text(info, "type") == "page")
                pages[Text(info, "targetId")] = Text(info, "url");
        }
    }
    return pages;
}

// The child run for "Pesavo killed": launches, says so, then waits to be killed.
int Child(const BrowserLaunchOptions& options, const QString& iniPath)
{
    IniFile ini;
    ini.OpenFile(iniPath);
    Run run(options, ini);
    const qint64 ms = run.Launch(2);
    std::printf("%s %lld\n", run.Page() ? run.Page()->TargetId().c_str() : "-", static_cast<long long>(ms));
    std::fflush(stdout);
    for (;;)
        QTest::qWait(1000);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    BrowserLaunchOptions options = BrowserLocator::Defaults();
    options.keeperPath = QStringLiteral(PESAVO_KEEPER_PATH);
    options.headless = true;
    if (args.size() == 4 && args[1] == u"--child"_s) {
        options.profileDir = args[2] + u"/profile"_s;
        options.socketPath = args[2] + u"/browser.sock"_s;
        return Child(options, args[3]);
    }
    const int rounds = args.size() > 1 ? args[1].toInt() : 10;
    // Socket paths are limited to 107 bytes: a short folder of our own, also the mark of our processes.
    QTemporaryDir dir(u"/tmp/pbk-XXXXXX"_s);
    if (!dir.isValid())
        return 1;
    options.profileDir = dir.filePath(u"profile"_s);
    options.socketPath = dir.filePath(u"browser.sock"_s);
    IniFile ini;
    if (!ini.OpenFile(dir.filePath(u"Data1.ini"_s)))
        return 1;
    ini.Section(u"_WGX_UPS"_s).Key(u"AUTO_FILL"_s).SetValue(1);
    int faults = 0;
    const auto report = [&faults](const char* what, bool ok, const QString& figures) {
        faults += ok ? 0 : 1;
        std::printf("browser kills, %s: %s%s\n", what, qPrintable(figures), ok ? "" : "  <- FAULT");
        std::fflush(stdout);
    };

    {
        // The browser killed while a launch is under way, at a random moment of it.
        Run run(options, ini);
        qint64 first = run.Launch(1);
        QList<qint64> recovery;
        int killed = 0;
        int secondTime = 0;
        for (int round = 0; round < rounds; ++round) {
            run.launcher->SaveSelection(round % 2 ? 1 : 2);
            run.launcher->LaunchWebPage();
            QTest::qWait(static_cast<int>(QRandomGenerator::global()->bounded(300)));
            killed += KillAll(ProcessesWith(dir.path(), true)) ? 1 : 0;
            recovery.append(run.Launch(round % 2 ? 2 : 1));
            // What the user would do next: launch again.
            if (recovery.last() < 0 && run.Launch(round % 2 ? 2 : 1) >= 0)
                ++secondTime;
        }
        const qsizetype failed = recovery.count(-1);
        const qint64 slowest = recovery.isEmpty() ? 0 : *std::max_element(recovery.cbegin(), recovery.cend());
        report("browser killed mid-launch", first >= 0 && failed == 0 && killed == rounds,
               u"%1 kills, next launch filled %2 of %1 times (slowest %3 ms), the one after it %4 of the other %5"_s
                   .arg(killed)
                   .arg(rounds - failed)
                   .arg(slowest)
                   .arg(secondTime)
                   .arg(failed));

        // The keeper killed while the page is open.
        QList<qint64> afterKeeper;
        int keeperKills = 0;
        for (int round = 0; round < rounds; ++round) {
            if (run.Launch(1) < 0)
                afterKeeper.append(-2);
            keeperKills += KillAll(ProcessesWith(dir.path(), false)) ? 1 : 0;
            QTest::qWait(200);
            afterKeeper.append(run.Launch(2));
        }
        const qsizetype keeperFailed = afterKeeper.count(-1) + afterKeeper.count(-2);
        const qint64 keeperSlowest
            = afterKeeper.isEmpty() ? 0 : *std::max_element(afterKeeper.cbegin(), afterKeeper.cend());
        report("keeper killed", keeperFailed == 0 && keeperKills == rounds,
               u"%1 kills, next launch filled %2 of %1 times, slowest %3 ms"_s.arg(keeperKills)
                   .arg(rounds - keeperFailed)
                   .arg(keeperSlowest));
    }

    // Pesavo killed while its window is open: the window stays; the next run opens a new one.
    int survived = 0;
    int newWindows = 0;
    int filled = 0;
    int tookOver = 0;
    for (int round = 0; round < rounds; ++round) {
        int out = -1;
        const pid_t child
            = StartSelf({"--child", dir.path().toLocal8Bit(), dir.filePath(u"Data1.ini"_s).toLocal8Bit()}, &out);
        if (child < 0)
            return 1;
        char line[256] = {};
        const ssize_t got = ::read(out, line, sizeof line - 1);
        ::close(out);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const QList<QByteArray> parts = QByteArray(line, got > 0 ? got : 0).trimmed().split(' ');
        const std::string oldTarget = parts.value(0).toStdString();
        QTest::qWait(300);
        // Looked at over a connection of our own, gone before the next run connects (the keeper
        // serves one client at a time).
        const auto pages = OpenPages(BrowserConnection::Open(options).session);
        const auto old = pages.find(oldTarget);
        const std::string oldUrl = old == pages.end() ? std::string() : old->second;
        const bool stayed = parts.value(1).toLongLong() >= 0 && old != pages.end()
            && oldUrl.rfind("https://postcalc.usps.com/", 0) == 0;
        survived += stayed ? 1 : 0;

        Run next(options, ini);
        const qint64 ms = next.Launch(1);
        filled += ms >= 0 ? 1 : 0;
        const auto after = OpenPages(next.Page() ? next.Page()->Session() : nullptr);
        const auto oldAfter = after.find(oldTarget);
        const bool leftAlone = oldAfter != after.end() && oldAfter->second == oldUrl;
        const bool fresh = next.Page() && next.Page()->TargetId() != oldTarget;
        newWindows += leftAlone && fresh ? 1 : 0;
        tookOver += fresh ? 0 : 1;
    }
    report("Pesavo killed with its window open", survived == rounds && newWindows == rounds && filled == rounds,
           u"%1 kills, the window survived %2 times, the next run filled its page %3 times and opened a new window "
           u"leaving the old one as it was %4 times (took the old window over %5 times)"_s.arg(rounds)
               .arg(survived)
               .arg(filled)
               .arg(newWindows)
               .arg(tookOver));

    // Our keepers and browsers go with us.
    KillAll(ProcessesWith(dir.path(), true));
    KillAll(ProcessesWith(dir.path(), false));
    std::printf("browser kills: %d rounds each, %d faults\n", rounds, faults);
    return faults == 0 ? 0 : 1;
}
