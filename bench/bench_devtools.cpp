// Prints what driving the browser costs: one DevTools round trip, a weight written into a page that is
// already open, and a fresh browser launch up to a filled field; then the same work done by Playwright
// on the same page with the same browser, and the ratios. Headless, as the tests run; then, when there
// is a display (run it under xvfb-run), the fresh launch again with the browser window shown, as the
// user sees it.
#include "BrowserLocator.h"
#include "ChromiumBrowser.h"
#include "DevToolsSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kRuns = 3;
constexpr int kIterations = 100;

struct Figures
{
    double launchMs = 0;
    double roundTripMs = 0;
    double fillMs = 0;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

bool WaitLoaded(ChromiumBrowser& browser, const QString& url)
{
    QSignalSpy loaded(&browser, &WebBrowser::ProgressChange);
    if (!browser.Navigate(url))
        return false;
    while (loaded.wait(20000)) {
        for (const QList<QVariant>& args : loaded) {
            if (args.at(0).toInt() == 0 && args.at(1).toInt() == 0)
                return true;
        }
    }
    return false;
}

bool FillWeight(ChromiumBrowser& browser, double weight)
{
    auto document = browser.Document();
    auto field = document ? document->All(QStringLiteral("weight")) : nullptr;
    return field && field->SetValue(weight);
}

std::optional<Figures> RunOurs(const QString& url, bool headless)
{
    QTemporaryDir dir(QStringLiteral("/tmp/pb-XXXXXX"));
    BrowserLaunchOptions options;
    options.browserPath = BrowserLocator::FindBrowser();
    options.keeperPath = QStringLiteral(PESAVO_KEEPER_PATH);
    options.profileDir = dir.filePath(QStringLiteral("profile"));
    options.socketPath = dir.filePath(QStringLiteral("b.sock"));
    options.headless = headless;
    options.idleExitMs = 5000;
    Figures figures;
    QElapsedTimer timer;
    timer.start();
    auto browser = ChromiumBrowser::Launch(options);
    const double attachedMs = double(timer.nsecsElapsed()) / 1e6;
    if (!browser->IsAlive() || !WaitLoaded(*browser, url) || !FillWeight(*browser, 2.5)) {
        std::printf("launch failed: %s\n", qPrintable(browser->LastError()));
        return std::nullopt;
    }
    figures.launchMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("  launch: page attached after %.0f ms, loaded and filled after %.0f ms\n", attachedMs,
                figures.launchMs);

    const auto& session = browser->Session();
    timer.restart();
    for (int i = 0; i < kIterations; ++i)
        session->Call("Runtime.evaluate", {{"expression", "1"}}, browser->SessionId());
    figures.roundTripMs = double(timer.nsecsElapsed()) / 1e6 / kIterations;

    timer.restart();
    for (int i = 0; i < kIterations; ++i)
        FillWeight(*browser, i + 0.5);
    figures.fillMs = double(timer.nsecsElapsed()) / 1e6 / kIterations;

    session->Call("Browser.close");
    QElapsedTimer wait;
    wait.start();
    while (QFileInfo::exists(options.socketPath) && wait.elapsed() < 5000)
        QThread::msleep(20);
    return figures;
}

std::optional<Figures> RunPlaywright(const QString& browserPath, const QString& url, bool headless, QString* why)
{
    const QString dir = QStringLiteral(PESAVO_SOURCE_DIR "/bench/playwright");
    if (!QFileInfo::exists(dir + QStringLiteral("/node_modules/playwright-core"))) {
        *why = QStringLiteral("playwright-core is not installed (run npm install in bench/playwright)");
        return std::nullopt;
    }
    QProcess node;
    node.setWorkingDirectory(dir);
    node.start(QStringLiteral("node"),
               {QStringLiteral("fill.js"), browserPath, url, QString::number(kIterations),
                headless ? QStringLiteral("headless") : QStringLiteral("headed")});
    if (!node.waitForFinished(120000) || node.exitCode() != 0) {
        *why = QStringLiteral("node failed: ") + QString::fromLocal8Bit(node.readAllStandardError()).trimmed();
        return std::nullopt;
    }
    const QJsonObject result = QJsonDocument::fromJson(node.readAllStandardOutput()).object();
    return Figures {result.value(QStringLiteral("launchMs")).toDouble(),
                    result.value(QStringLiteral("roundTripMs")).toDouble(),
                    result.value(QStringLiteral("fillMs")).toDouble()};
}

Figures Medians(const std::vector<Figures>& runs)
{
    std::vector<double> launch, roundTrip, fill;
    for (const Figures& f : runs) {
        launch.push_back(f.launchMs);
        roundTrip.push_back(f.roundTripMs);
        fill.push_back(f.fillMs);
    }
    return {Median(launch), Median(roundTrip), Median(fill)};
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString browserPath = BrowserLocator::FindBrowser();
    if (browserPath.isEmpty()) {
        std::printf("%s\n", qPrintable(BrowserLocator::InstallHint()));
        return 1;
    }
    const QString url
        = QUrl::fromLocalFile(QStringLiteral(PESAVO_SOURCE_DIR "/tests/fixtures/browser/form.html")).toString();
    std::printf("browser %s, page %s, %d runs, %d iterations each\n", qPrintable(browserPath), qPrintable(url), kRuns,
                kIterations);

    std::vector<Figures> ours, theirs;
    QString why;
    for (int run = 0; run < kRuns; ++run) {
        if (auto f = RunOurs(url, true))
            ours.push_back(*f);
        if (why.isEmpty()) {
            if (auto f = RunPlaywright(browserPath, url, true, &why))
                theirs.push_back(*f);
        }
    }
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    std::vector<Figures> oursHeaded, theirsHeaded;
    QString whyHeaded = why;
    if (display) {
        std::printf("headed (window shown on %s):\n", qPrintable(qEnvironmentVariable("DISPLAY")));
        for (int run = 0; run < kRuns; ++run) {
            if (auto f = RunOurs(url, false))
                oursHeaded.push_back(*f);
            if (whyHeaded.isEmpty()) {
                if (auto f = RunPlaywright(browserPath, url, false, &whyHeaded))
                    theirsHeaded.push_back(*f);
            }
        }
    }
    if (ours.empty())
        return 1;
    const Figures a = Medians(ours);
    std::printf("%-34s %10s %12s %8s\n", "median of runs", "pesavo", "playwright", "ratio");
    auto line = [&](const char* what, double mine, double other) {
        if (theirs.empty())
            std::printf("%-34s %8.2f ms %12s %8s\n", what, mine, "-", "-");
        else
            std::printf("%-34s %8.2f ms %9.2f ms %7.2fx\n", what, mine, other, mine / other);
    };
    const Figures b = theirs.empty() ? Figures {} : Medians(theirs);
    line("DevTools round trip", a.roundTripMs, b.roundTripMs);
    line("weight into the open page", a.fillMs, b.fillMs);
    line("fresh launch to a filled field", a.launchMs, b.launchMs);
    if (theirs.empty())
        std::printf("Playwright not run: %s\n", qPrintable(why));
    if (!display) {
        std::printf("headed launch not measured: no display (run under xvfb-run -a)\n");
    } else if (!oursHeaded.empty()) {
        const double mine = Medians(oursHeaded).launchMs;
        if (theirsHeaded.empty())
            std::printf("%-34s %8.2f ms %12s %8s\nPlaywright headed not run: %s\n", "fresh launch, headed", mine, "-",
                        "-", qPrintable(whyHeaded));
        else
            line("fresh launch, headed", mine, Medians(theirsHeaded).launchMs);
    }
    std::printf("goals: open page < 10 ms, fresh launch < 1500 ms, ratios <= 1.00\n");
    return 0;
}
