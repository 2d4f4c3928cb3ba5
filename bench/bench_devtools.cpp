// Prints what driving the browser costs: one DevTools round trip, a weight written into a page that is
// already open, and a fresh browser launch up to a filled field; then the same work done by Playwright
// on the same page with the same browser, and the ratios, headless as the tests run; when there is a
// display (run it under xvfb-run), the fresh launch again with the browser window shown, as the user sees
// it. Then the recording and the replay of a taught page of 2,000 fields (two frames, one of another site),
// beside the same replay done by Playwright; and the same for a React app of 2,000 fields in three documents.
#include "BrowserFixture.h"
#include "BrowserLocator.h"
#include "CWebUserAdd.h"
#include "ChromiumBrowser.h"
#include "DevToolsSession.h"
#include "HtmlDocument.h"
#include "HtmlElement.h"
#include "IniFile.h"
#include "frmAddWeb.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cmath>
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

// ---- A taught page of 2,000 fields -------------------------------------------------------------------

constexpr int kPageRuns = 20;
constexpr int kPerFieldRuns = 3; // a write per evaluate takes seconds a run
const QString kTopUrl = QStringLiteral("https://bench.example.test/");
const QString kSameFrameUrl = QStringLiteral("https://bench.example.test/frame.html");
const QString kOtherFrameUrl = QStringLiteral("https://frames.other-site.test/frame.html");

struct Field
{
    int document; // 0 the top, 1 the frame of the same site, 2 the other site's
    QString name;
    QString kind; // "v" text, "c" check box, "s" list
    QJsonValue value;
};

// Every tenth field a check box, every tenth a list, the rest text; one weight field per document.
QByteArray FieldsHtml(const QString& prefix, int count, const QString& weightCode, std::vector<Field>* fields,
                      int document)
{
    QByteArray html;
    for (int i = 0; i < count; ++i) {
        const QString name = prefix + QString::number(i);
        if (i % 10 == 0) {
            html += "<input type=checkbox name=" + name.toUtf8() + ">\n";
            fields->push_back({document, name, QStringLiteral("c"), true});
        } else if (i % 10 == 5) {
            html += "<select name=" + name.toUtf8() + "><option>a<option>b<option>c</select>\n";
            fields->push_back({document, name, QStringLiteral("s"), 2});
        } else {
            html += "<input type=text name=" + name.toUtf8() + ">\n";
            fields->push_back({document, name, QStringLiteral("v"), QStringLiteral("value %1").arg(i)});
        }
    }
    html += "<input type=text name=weight>\n";
    fields->push_back({document, QStringLiteral("weight"), QStringLiteral("v"), weightCode});
    return html;
}

double Percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(share * double(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

void PrintTimes(const char* what, const std::vector<double>& times)
{
    std::printf("%-46s p50 %8.1f ms   p95 %8.1f ms   (%zu runs)\n", what, Percentile(times, 0.5),
                Percentile(times, 0.95), times.size());
}

std::vector<double> ToTimes(const QJsonValue& list)
{
    std::vector<double> times;
    for (const QJsonValue& value : list.toArray())
        times.push_back(value.toDouble());
    return times;
}

bool FillAsPerson(HtmlDocument* document, const std::vector<Field>& fields, int which)
{
    QJsonArray writes;
    for (const Field& field : fields) {
        if (field.document == which)
            writes.append(QJsonArray {field.kind, 1, field.name, field.value});
    }
    return document && document->ReplayFields(writes).has_value();
}

int RunTaughtPage(const QString& browserPath)
{
    std::vector<Field> fields;
    const QByteArray frame = "<!DOCTYPE html><html><body><form>\n"
        + FieldsHtml(QStringLiteral("f"), 499, QStringLiteral("oz"), &fields, 1) + "</form></body></html>";
    // The same frame page on both hosts: record its fields once for each.
    std::vector<Field> otherFrame;
    FieldsHtml(QStringLiteral("f"), 499, QStringLiteral("oz"), &otherFrame, 2);
    fields.insert(fields.end(), otherFrame.begin(), otherFrame.end());
    const QByteArray top = "<!DOCTYPE html><html><head><title>Bench</title></head><body><form>\n"
        + FieldsHtml(QStringLiteral("t"), 999, QStringLiteral("OZ"), &fields, 0) + "</form>\n<iframe src=\""
        + kSameFrameUrl.toUtf8() + "\"></iframe><iframe src=\"" + kOtherFrameUrl.toUtf8()
        + "\"></iframe></body></html>";
    std::printf("\ntaught page: %zu fields (top %d, two frames of %d, one of another site)\n", fields.size(), 1000,
                500);

    BrowserFixture& fixture = BrowserFixture::Instance();
    if (!fixture.IsReady()) {
        std::printf("browser not started: %s\n", qPrintable(fixture.LastError()));
        return 1;
    }
    fixture.ServeBody(kTopUrl, top);
    fixture.ServeBody(kSameFrameUrl, frame);
    fixture.ServeBody(kOtherFrameUrl, frame);
    auto page = fixture.NewPage();
    if (!page || !BrowserFixture::Load(*page, kTopUrl)) {
        std::printf("page not loaded\n");
        return 1;
    }
    page->SetDomTimeout(15000);
    auto document = page->Document();
    const auto same = document ? document->Frame(0) : nullptr;
    const auto other = document ? document->Frame(1) : nullptr;
    if (!FillAsPerson(document.get(), fields, 0) || !FillAsPerson(same.get(), fields, 1)
        || !FillAsPerson(other.get(), fields, 2)) {
        std::printf("page not filled before recording\n");
        return 1;
    }

    QTemporaryDir dir;
    IniFile ini;
    ini.OpenFile(dir.filePath(QStringLiteral("Data1.ini")));
    const QString name = QStringLiteral("Bench");
    std::vector<double> recordCall, record;
    QElapsedTimer timer;
    for (int run = 0; run < kPageRuns; ++run) {
        for (const QString& section : {name, name + QStringLiteral("_FRAME0"), name + QStringLiteral("_FRAME1")})
            ini.Section(section).Delete();
        document = page->Document();
        timer.start();
        document->RecordFields();
        document->Frame(0)->RecordFields();
        document->Frame(1)->RecordFields();
        recordCall.push_back(double(timer.nsecsElapsed()) / 1e6);
        document = page->Document();
        QString codes;
        timer.start();
        frmAddWeb::RecordPageFields(ini, document.get(), name, &codes);
        record.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    ini.Section(name).Key(QStringLiteral("_WGX_ADDRESS")).SetValue(kTopUrl);

    CWebUserAdd filler(ini);
    filler.Create(name, kTopUrl);
    filler.EnglishUnits = 8;
    std::vector<double> replay;
    bool allFilled = true;
    for (int run = 0; run < kPageRuns; ++run) {
        if (!BrowserFixture::Load(*page, kTopUrl))
            return 1;
        filler.NewDocument();
        timer.start();
        filler.FillContent(page->Document().get());
        filler.FillWeight(page->Document().get(), 0.5);
        replay.push_back(double(timer.nsecsElapsed()) / 1e6);
        allFilled = allFilled && filler.IsFilled();
    }
    PrintTimes("record: the three page calls", recordCall);
    PrintTimes("record: page calls and settings file", record);
    PrintTimes("replay: values and weight, every document", replay);
    if (!allFilled)
        std::printf("  (a replay did not find every weight field)\n");
    page->ClosePage();

    // Playwright on the same pages, in its own browser.
    const QString scripts = QStringLiteral(PESAVO_SOURCE_DIR "/bench/playwright");
    if (!QFileInfo::exists(scripts + QStringLiteral("/node_modules/playwright-core"))) {
        std::printf("Playwright not run: playwright-core is not installed (run npm install in bench/playwright)\n");
    } else {
        QTemporaryDir pages;
        QJsonArray plan;
        for (const Field& field : fields) {
            QJsonValue value = field.value;
            if (field.name == QStringLiteral("weight"))
                value = QStringLiteral("17.6");
            plan.append(QJsonArray {field.document, QJsonArray {field.name, field.kind, value}});
        }
        const QJsonObject planFile {{QStringLiteral("url"), kTopUrl},
                                    {QStringLiteral("frames"), QJsonArray {QString(), kSameFrameUrl, kOtherFrameUrl}},
                                    {QStringLiteral("fields"), plan}};
        const auto save = [&pages](const char* file, const QByteArray& data) {
            QFile out(pages.filePath(QString::fromLatin1(file)));
            return out.open(QIODevice::WriteOnly) && out.write(data) == data.size();
        };
        save("top.html", top);
        save("frame.html", frame);
        save("plan.json", QJsonDocument(planFile).toJson(QJsonDocument::Compact));
        QProcess node;
        node.setWorkingDirectory(scripts);
        node.start(QStringLiteral("node"),
                   {QStringLiteral("replay.js"), browserPath, pages.path(), QString::number(kPageRuns),
                    QString::number(kPerFieldRuns)});
        if (!node.waitForFinished(600000) || node.exitCode() != 0) {
            std::printf("Playwright failed: %s\n", qPrintable(QString::fromLocal8Bit(node.readAllStandardError())));
        } else {
            const QJsonObject result = QJsonDocument::fromJson(node.readAllStandardOutput()).object();
            PrintTimes("Playwright replay: one evaluate per field", ToTimes(result.value(QStringLiteral("perField"))));
            PrintTimes("Playwright replay: one evaluate per document",
                       ToTimes(result.value(QStringLiteral("batched"))));
        }
    }
    std::printf("goal: record and replay p95 <= 300 ms each\n");
    return 0;
}

// ---- A taught React app of 2,000 fields in three documents --------------------------------------------

// tests/fixtures/webapps/react.html: 7 fields of its own and 993 more, two frames of the same app (one of
// another host) with 500 each; React 18's production build, its state drawn into the page.
const QString kAppUrl = QStringLiteral("https://apps.example.test/webapps/react.html");
const QString kAppShape = QStringLiteral("fields=993&frames=2&frameFields=493");
constexpr int kAppDocuments = 3;

// Each document's state as its app draws it ("" while it draws nothing).
QStringList AppStates(HtmlDocument* top)
{
    QStringList states;
    const int frames = top ? top->FrameCount() : 0;
    for (int i = -1; i < frames; ++i) {
        const std::shared_ptr<HtmlDocument> frame = i < 0 ? nullptr : top->Frame(i);
        HtmlDocument* document = i < 0 ? top : frame.get();
        const auto output = document ? document->All(QStringLiteral("state")) : nullptr;
        states.append(output ? output->Value().value_or(QString()) : QString());
    }
    return states;
}

bool LoadApp(ChromiumBrowser& page, const QString& url)
{
    return BrowserFixture::Load(page, url)
        && QTest::qWaitFor(
               [&page] {
                   const QStringList states = AppStates(page.Document().get());
                   return states.size() == kAppDocuments && !states.contains(QString());
               },
               30000);
}

// What Playwright is to write into each document: [name, kind, value], the weight as Pesavo writes it.
QJsonArray AppPlan(HtmlDocument* document)
{
    QJsonArray writes;
    QSet<QString> groups;
    const auto record = document ? document->RecordFields() : std::nullopt;
    for (const QJsonValue& entry : record ? record->value(QStringLiteral("fields")).toArray() : QJsonArray()) {
        const QJsonObject f = entry.toObject();
        const QString name = f.value(QStringLiteral("name")).toString();
        const QString type = f.value(QStringLiteral("type")).toString();
        if (type == QStringLiteral("radio")) {
            if (!groups.contains(name) && f.value(QStringLiteral("checked")).toInt() >= 0)
                writes.append(QJsonArray {name, QStringLiteral("r"), f.value(QStringLiteral("checked"))});
            groups.insert(name);
        } else if (type == QStringLiteral("checkbox")) {
            writes.append(QJsonArray {name, QStringLiteral("c"), f.value(QStringLiteral("checked"))});
        } else if (f.value(QStringLiteral("tag")).toString() == QStringLiteral("select")) {
            writes.append(QJsonArray {name, QStringLiteral("s"), f.value(QStringLiteral("index"))});
        } else {
            const QString value = f.value(QStringLiteral("value")).toString();
            writes.append(
                QJsonArray {name, QStringLiteral("v"), value == QStringLiteral("oz") ? QStringLiteral("17.6") : value});
        }
    }
    return writes;
}

int RunReactApp(const QString& browserPath)
{
    const QString fixtures = QStringLiteral(PESAVO_SOURCE_DIR "/tests/fixtures");
    if (!QFileInfo::exists(fixtures + QStringLiteral("/node_modules/react-dom"))) {
        std::printf("\nReact app not run: tests/fixtures/node_modules is missing (scripts/deps.sh)\n");
        return 0;
    }
    BrowserFixture& fixture = BrowserFixture::Instance();
    for (const char* site : {"https://apps.example.test/", "https://frames.example.test/"})
        fixture.ServeFolder(QString::fromLatin1(site), fixtures);
    auto page = fixture.NewPage();
    if (!page || !LoadApp(*page, kAppUrl + QStringLiteral("?preset&") + kAppShape)) {
        std::printf("\nReact app not loaded\n");
        return 1;
    }
    page->SetDomTimeout(15000);
    auto document = page->Document();
    QStringList expected = AppStates(document.get());
    for (QString& state : expected)
        state.replace(QStringLiteral("\"weight\":\"oz\""), QStringLiteral("\"weight\":\"17.6\""));
    QJsonArray plan {AppPlan(document.get())};
    for (int i = 0; i < kAppDocuments - 1; ++i)
        plan.append(AppPlan(document->Frame(i).get()));
    qsizetype fields = 0;
    for (const QJsonValue& writes : plan)
        fields += writes.toArray().size();
    std::printf("\ntaught React app: %lld fields in %d documents (frames of two hosts), React 18 production build\n",
                static_cast<long long>(fields), kAppDocuments);

    QTemporaryDir dir;
    IniFile ini;
    ini.OpenFile(dir.filePath(QStringLiteral("Data1.ini")));
    const QString name = QStringLiteral("App");
    std::vector<double> record;
    QString codes;
    QElapsedTimer timer;
    for (int run = 0; run < kPageRuns; ++run) {
        for (const QString& section : {name, name + QStringLiteral("_FRAME0"), name + QStringLiteral("_FRAME1")})
            ini.Section(section).Delete();
        document = page->Document();
        codes.clear();
        timer.start();
        frmAddWeb::RecordPageFields(ini, document.get(), name, &codes);
        record.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    const QString address = kAppUrl + u'?' + kAppShape;
    ini.Section(name).Key(QStringLiteral("_WGX_ADDRESS")).SetValue(address);

    CWebUserAdd filler(ini);
    filler.Create(name, address);
    filler.EnglishUnits = 8;
    std::vector<double> replay;
    int filled = 0;
    int inState = 0;
    for (int run = 0; run < kPageRuns; ++run) {
        if (!LoadApp(*page, address))
            return 1;
        filler.NewDocument();
        timer.start();
        filler.FillContent(page->Document().get());
        filler.FillWeight(page->Document().get(), 0.5);
        replay.push_back(double(timer.nsecsElapsed()) / 1e6);
        filled += filler.IsFilled() ? 1 : 0;
        // After a few of the app's own renders: only what React took is still there.
        QTest::qWait(150);
        inState += AppStates(page->Document().get()) == expected ? 1 : 0;
    }
    PrintTimes("React app record: page calls and settings file", record);
    PrintTimes("React app replay: values and weight, 3 documents", replay);
    std::printf("  filled %d of %d runs; every document's React state as recorded in %d of %d\n", filled, kPageRuns,
                inState, kPageRuns);
    page->ClosePage();

    const QString scripts = QStringLiteral(PESAVO_SOURCE_DIR "/bench/playwright");
    if (!QFileInfo::exists(scripts + QStringLiteral("/node_modules/playwright-core"))) {
        std::printf("Playwright not run: playwright-core is not installed (run npm install in bench/playwright)\n");
    } else {
        QTemporaryDir planDir;
        QFile planFile(planDir.filePath(QStringLiteral("plan.json")));
        const QJsonObject planObject {{QStringLiteral("url"), address}, {QStringLiteral("documents"), plan}};
        if (!planFile.open(QIODevice::WriteOnly) || planFile.write(QJsonDocument(planObject).toJson()) <= 0)
            return 1;
        planFile.close();
        QProcess node;
        node.setWorkingDirectory(scripts);
        node.start(
            QStringLiteral("node"),
            {QStringLiteral("replay_app.js"), browserPath, fixtures, planFile.fileName(), QString::number(kPageRuns)});
        if (!node.waitForFinished(600000) || node.exitCode() != 0)
            std::printf("Playwright failed: %s\n", qPrintable(QString::fromLocal8Bit(node.readAllStandardError())));
        else
            PrintTimes(
                "Playwright React app replay: evaluate a document",
                ToTimes(
                    QJsonDocument::fromJson(node.readAllStandardOutput()).object().value(QStringLiteral("batched"))));
    }
    std::printf("goal: React app record and replay p95 <= 300 ms each\n");
    return 0;
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
    const int taught = RunTaughtPage(browserPath);
    return RunReactApp(browserPath) != 0 ? 1 : taught;
}
