// Launches carrier pages that fight back (tests/fixtures/hostile) through the real launcher,
// browser driver and fillers, in a headless browser, and after each launches an ordinary page in
// the same window. Prints, per page: how long the launch call took, the longest time the event
// loop could not answer (what a click would wait), whether and when the page was filled, and
// whether the ordinary page after it was filled.
//   bench_hostilepages [observe-seconds]        (default 8)
// Exits non-zero when a launch call does not return within 15 s, a page that should be filled is
// not, the window cannot be used for the next page, or the browser is lost. The times are shown,
// not judged: they grow with the machine's load, and every document call blocks the event loop
// up to its deadline. The 15 s is three times the deadline of any one browser call, a margin a
// loaded machine keeps; a launch that waits on a hostile page for longer has hung on it.
#include "BrowserFixture.h"
#include "CCarrierPages.h"
#include "CPageLauncher.h"
#include "CWebHelper.h"
#include "ChromiumBrowser.h"
#include "DevToolsSession.h"
#include "IniFile.h"
#include "ResidentMemory.h"
#include "StallMeter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kLaunchReturnsMs = 15000;
// What a page that is never filled would hit; the wait ends as soon as it is.
constexpr int kFillMs = 30000;
constexpr int kAnswerMs = 10000;

struct Scenario
{
    const char* name;
    int page; // launcher index
    QString section;
    QString keys;
    QString file; // served at the page's address; empty: the request is never answered
    bool fills; // the page can be filled at all
    // The user has clicked into the page, so leaving it asks "Leave site?"; the user answers Leave.
    bool asksOnLeaving = false;
};

void PutKeys(IniFile& ini, const QString& section, const QString& keys)
{
    for (const QString& pair : keys.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        ini.Section(section).Key(pair.left(eq)).SetValue(pair.mid(eq + 1));
    }
}

void ClickInto(ChromiumBrowser* page)
{
    for (const char* type : {"mousePressed", "mouseReleased"}) {
        page->Session()->Call("Input.dispatchMouseEvent",
                              {{"type", type}, {"x", 5}, {"y", 5}, {"button", "left"}, {"clickCount", 1}},
                              page->SessionId(), kAnswerMs);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int observeMs = (argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 8) * 1000;
    BrowserFixture& fixture = BrowserFixture::Instance();
    if (!fixture.IsReady()) {
        std::fprintf(stderr, "no browser: %s\n", qPrintable(fixture.LastError()));
        return 2;
    }
    const QList<Scenario> scenarios {
        {"change handlers that throw", 6, u"_WGX_DHL"_s, u"AUTO_FILL=1;CNTRY2=1;CITY1=Reno"_s,
         u"hostile/throwing_change.html"_s, false},
        {"a load that never completes", 1, u"_WGX_UPS"_s, u"AUTO_FILL=1"_s, QString(), false},
        {"100,000 elements", 1, u"_WGX_UPS"_s, u"AUTO_FILL=1;CITY1=Reno"_s, u"hostile/many_elements.html"_s, true},
        {"navigates away mid-fill", 2, u"_WGX_USPS_DOM"_s, u"AUTO_FILL=1;ZIP1=10001"_s,
         u"hostile/navigates_away.html"_s, true},
        {"alert() from a change handler", 6, u"_WGX_DHL"_s, u"AUTO_FILL=1;CNTRY2=1"_s,
         u"hostile/alert_on_change.html"_s, false},
        {"alert() right after the load", 1, u"_WGX_UPS"_s, u"AUTO_FILL=1;CITY1=Reno"_s,
         u"hostile/alert_after_load.html"_s, false},
        {"beforeunload dialog on leaving", 2, u"_WGX_USPS_DOM"_s, u"AUTO_FILL=1;SERVICE=1;ZIP1=10001"_s,
         u"hostile/beforeunload.html"_s, true, true},
    };

    QTemporaryDir dir;
    IniFile ini;
    if (!dir.isValid() || !ini.OpenFile(dir.filePath(u"Data1.ini"_s)))
        return 1;
    PutKeys(ini, u"_WGX_EBAY"_s, u"AUTO_FILL=1;ZIP1=30312"_s);
    StallMeter meter;
    int failures = 0;
    qint64 worstStall = 0;
    for (const Scenario& scenario : scenarios) {
        fixture.ClearServed();
        const QString address = CCarrierPages::ForLauncherIndex(scenario.page)->address;
        if (scenario.file.isEmpty())
            fixture.Hold(address);
        else
            fixture.Serve(address, scenario.file);
        // The ordinary page the window goes on to.
        fixture.Serve(u"https://cgi.ebay.com/ws/eBayISAPI.dll"_s, u"ebay.html"_s);
        PutKeys(ini, scenario.section, scenario.keys);

        CWebHelper::Accessors accessors;
        accessors.makeBrowser = BrowserFixture::OpenPage;
        accessors.currentWeight = [] {
            return 0.5;
        };
        accessors.displayUnit = [] {
            return 0;
        };
        CPageLauncher launcher(ini, accessors, [](int) { return std::optional<QString>(); });
        const auto filled = [&launcher] {
            CWebHelper* helper = launcher.WebHelper();
            return helper && helper->CurrentFiller() && helper->CurrentFiller()->IsFilled();
        };

        meter.Start();
        QElapsedTimer clock;
        clock.start();
        launcher.SaveSelection(scenario.page);
        const bool launched = launcher.LaunchWebPage();
        const qint64 launchMs = clock.elapsed();
        // A page that cannot be filled is watched for a while; one that can is waited for.
        const bool wasFilled = QTest::qWaitFor(filled, scenario.fills ? std::max(observeMs, kFillMs) : observeMs / 2);
        const qint64 filledMs = clock.elapsed();
        auto* page = launcher.WebHelper() ? qobject_cast<ChromiumBrowser*>(launcher.WebHelper()->Browser()) : nullptr;
        if (scenario.asksOnLeaving && page)
            ClickInto(page);

        // The same window goes on to an ordinary page.
        clock.restart();
        launcher.SaveSelection(8);
        const bool relaunched = launcher.LaunchWebPage();
        bool nextFilled
            = relaunched && QTest::qWaitFor(filled, scenario.asksOnLeaving ? 1000 : std::max(observeMs, kFillMs));
        const bool waitedForUser = scenario.asksOnLeaving && !nextFilled;
        if (waitedForUser && page) {
            page->Session()->Call("Page.handleJavaScriptDialog", {{"accept", true}}, page->SessionId(), kAnswerMs);
            nextFilled = QTest::qWaitFor(filled, std::max(observeMs, kFillMs));
        }
        const qint64 nextMs = clock.elapsed();
        const qint64 stall = meter.Stop();
        worstStall = std::max(worstStall, stall);
        const bool alive = fixture.Session() && fixture.Session()->IsOpen();

        const bool ok = launched && launchMs < kLaunchReturnsMs && wasFilled == scenario.fills && nextFilled && alive;
        failures += ok ? 0 : 1;
        const QString filledText = wasFilled ? u"filled after %1 ms"_s.arg(filledMs) : u"not filled"_s;
        std::printf("hostile page \"%s\": launch call %lld ms, %s, longest event-loop stall %lld ms%s, next page "
                    "%s%s (%lld ms), browser %s%s\n",
                    scenario.name, static_cast<long long>(launchMs), qPrintable(filledText),
                    static_cast<long long>(stall), stall > 100 ? " (over 100 ms)" : "",
                    waitedForUser ? "waited for the user's answer, then was " : "",
                    nextFilled ? "filled" : "NOT filled", static_cast<long long>(nextMs), alive ? "alive" : "LOST",
                    ok ? "" : "  <- FAULT");
        std::fflush(stdout);
    }

    // A taught page whose address now sends the window to another site, with a password in the file as an
    // older version wrote it: nothing of the page may reach that site.
    fixture.ClearServed();
    fixture.ServeBody(u"https://shop.example.test/moved"_s,
                      "<script>location.replace('https://parcels.courier.test/login')</script>");
    fixture.ServeBody(u"https://parcels.courier.test/login"_s,
                      "<!DOCTYPE html><form><input name=user><input type=password name=pin></form>");
    PutKeys(ini, u"Shop"_s,
            u"_WGX_ADDRESS=https://shop.example.test/moved;_WGX_TEXT=0_wgx_user;0_wgx_user=me;"
            "_WGX_OTHERS=0_wgx_pin;0_wgx_pin=s3cret"_s);
    CWebHelper::Accessors accessors {BrowserFixture::OpenPage, [] { return 0.5; },
                                     [] {
                                         return 0;
                                     }};
    CWebHelper helper(ini, accessors);
    helper.Create(u"Shop"_s, QString());
    int secretsOutside = -1;
    if (helper.GotoPage()) {
        auto* page = qobject_cast<ChromiumBrowser*>(helper.Browser());
        QSignalSpy loads(page, &WebBrowser::ProgressChange);
        const auto landed = [&] {
            const auto document = loads.isEmpty() ? nullptr : page->Document();
            return document && document->URL().value_or(QString()).startsWith(u"https://parcels"_s);
        };
        if (QTest::qWaitFor(landed, kFillMs)) {
            const auto reply = page->Session()->Call(
                "Runtime.evaluate",
                {{"expression", "[...document.querySelectorAll('input')].filter(e => e.value !== '').length"},
                 {"returnByValue", true}},
                page->SessionId(), kAnswerMs);
            if (reply)
                secretsOutside = reply->value("result", nlohmann::json::object()).value("value", -1);
        }
        // A page that adds frames and drops them again without end: what it costs our memory.
        fixture.ServeBody(u"https://churn.example.test/"_s,
                          "<!DOCTYPE html><body><script>let n = 0; setInterval(() => {"
                          "const f = document.createElement('iframe'); f.src = '/frame?' + n++;"
                          "document.body.appendChild(f); const all = document.querySelectorAll('iframe');"
                          "if (all.length > 5) all[0].remove(); }, 20);</script></body>");
        fixture.ServeBody(u"https://churn.example.test/frame"_s, "<p>frame</p>");
        const long before = ResidentKiB();
        meter.Start();
        page->Navigate(u"https://churn.example.test/"_s);
        QTest::qWait(observeMs);
        worstStall = std::max(worstStall, meter.Stop());
        std::printf("frame churn: %d s of frames added and dropped every 20 ms, resident memory %+ld KiB\n",
                    observeMs / 1000, ResidentKiB() - before);
        page->ClosePage();
    }
    std::printf("taught page sent to another site: %d values found there (goal 0)\n", secretsOutside);
    failures += secretsOutside == 0 ? 0 : 1;
    std::printf("hostile pages: %lld pages, %d faults, secrets found outside their origin %d, longest event-loop "
                "stall %lld ms\n",
                static_cast<long long>(scenarios.size()) + 2, failures, std::max(secretsOutside, 0),
                static_cast<long long>(worstStall));
    return failures == 0 ? 0 : 1;
}
