// The launcher, the browser driver and every carrier filler against a real headless browser,
// on the carriers' own https addresses answered offline from tests/fixtures.
#include "BrowserFixture.h"
#include "CCarrierPages.h"
#include "CPageLauncher.h"
#include "CUnitConverter.h"
#include "CWebFedEx.h"
#include "CWebHelper.h"
#include "ChromiumBrowser.h"
#include "HtmlDocument.h"
#include "IniFile.h"
#include "PageProbe.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

constexpr int kLoadTimeoutMs = 20000;

// The settings section of each launcher index (1 = UPS ... 8 = eBay), as the options dialog writes them.
const QString kSections[]
    = {QString(),          u"_WGX_UPS"_s, u"_WGX_USPS_DOM"_s, u"_WGX_USPS_BUSI"_s, u"_WGX_USPS_INT"_s,
       u"_WGX_USPS_INT"_s, u"_WGX_DHL"_s, u"_WGX_FEDEX"_s,    u"_WGX_EBAY"_s};

void AddRow(const char* name, int page, const QString& keys, double kg, const QString& expected, int unit = 0,
            const QString& pageFile = QString())
{
    QTest::newRow(name) << page << keys << kg << expected << unit << pageFile;
}

// Prefixes without the query: the pages' own forms and reloads land on them too.
void ServeCarrierPages()
{
    BrowserFixture& fixture = BrowserFixture::Instance();
    fixture.ClearServed();
    fixture.Serve(u"https://www.fedex.com/ratefinder/home"_s, u"fedex_home.html"_s);
    fixture.Serve(u"https://www.fedex.com/ratefinder/package"_s, u"fedex_package.html"_s);
    fixture.Serve(u"https://wwwapps.ups.com/calTimeCost"_s, u"ups.html"_s);
    fixture.Serve(u"https://www.dhl-usa.com/ratecalculator/HandlerServlet"_s, u"dhl.html"_s);
    fixture.Serve(u"https://cgi.ebay.com/ws/eBayISAPI.dll"_s, u"ebay.html"_s);
    fixture.Serve(u"https://postcalc.usps.com/"_s, u"usps_domestic.html"_s);
    fixture.Serve(u"https://dbcalc.usps.com/ieframe.htm"_s, u"usps_business_frameset.html"_s);
    fixture.Serve(u"https://dbcalc.usps.com/iehead.htm"_s, u"usps_business_head.html"_s);
    fixture.Serve(u"https://dbcalc.usps.com/ieform.htm"_s, u"usps_business_form.html"_s);
    fixture.Serve(u"https://ircalc.usps.com/weight.asp"_s, u"usps_international.html"_s);
}

} // namespace

class TestAutoFillBrowser : public QObject
{
    Q_OBJECT

    // The page's settings written ("key=value;..."), the page launched and, unless told otherwise, filled.
    bool Launch(int page, const QString& keys, double kg, bool waitFilled = true)
    {
        mWeight = kg;
        const QString text = u'[' + kSections[page] + u"]\n"_s + QString(keys).replace(u';', u'\n');
        if (!WriteFile(mDir->filePath(u"Data1.ini"_s), text) || !mLauncher->SaveSelection(page)
            || !mLauncher->LaunchWebPage())
            return false;
        return !waitFilled || WaitFilled(mLauncher->WebHelper());
    }

    static bool WaitFilled(CWebHelper* helper)
    {
        return helper && helper->CurrentFiller()
            && QTest::qWaitFor([&] { return helper->CurrentFiller()->IsFilled(); }, kLoadTimeoutMs);
    }

    HtmlDocument* Document() { return (mDocument = mLauncher->WebHelper()->Browser()->Document()).get(); }
    // The field checks of a "|"-separated list that do not hold on the launched page.
    QString Wrong(const QString& checks) { return PageProbe::Mismatches(Document(), checks, u'|').join(u'\n'); }

    std::unique_ptr<QTemporaryDir> mDir;
    std::unique_ptr<IniFile> mIni;
    std::unique_ptr<CPageLauncher> mLauncher;
    std::shared_ptr<HtmlDocument> mDocument;
    double mWeight = 0.0;
    int mUnit = 0;
    int mBrowsersMade = 0;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(BrowserFixture::Instance().IsReady(), qPrintable(BrowserFixture::Instance().LastError()));
    }

    void init()
    {
        ServeCarrierPages(); // a row may have replaced one
        mDir = std::make_unique<QTemporaryDir>();
        QVERIFY(mDir->isValid());
        mIni = std::make_unique<IniFile>();
        QVERIFY(mIni->OpenFile(mDir->filePath(u"Data1.ini"_s)));
        mWeight = 0.0;
        mUnit = 0;
        mBrowsersMade = 0;
        const auto makeBrowser = [this](QString* error) {
            auto page = BrowserFixture::OpenPage(error);
            mBrowsersMade += page ? 1 : 0;
            return page;
        };
        const CWebHelper::Accessors accessors {
            makeBrowser,
            [this] { return mWeight; },
            [this] { return mUnit; },
        };
        mLauncher = std::make_unique<CPageLauncher>(*mIni, accessors, [](int) { return std::optional<QString>(); });
    }

    void cleanup()
    {
        mDocument.reset();
        mLauncher.reset();
        mIni.reset();
        mDir.reset();
    }

    void launchFillsCarrierPage_data()
    {
        QTest::addColumn<int>("page"); // launcher index
        QTest::addColumn<QString>("keys");
        QTest::addColumn<double>("kg");
        QTest::addColumn<QString>("expected"); // "|"-separated field checks
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("pageFile"); // served at the page's address instead of the usual one

        AddRow("UPS, auto fill on", 1,
               u"AUTO_FILL=1;CNTRY1=194;CITY1=Reno;ZIP1=89501;CNTRY2=225;CITY2=Boise;ZIP2=83702;PACK_NO=2;DOC=1;"
               u"CUS_VAL=12.50;CUS_CNTRY=130;SHIP_TO_RES=1"_s,
               0.5,
               u"origCountry#=194|origCity=Reno|origPostal=89501|destCountry#=225|destCity=Boise|"
               u"destPostal=83702|packages#=2|document?=true|customValue=12.50|currency#=130|"
               u"destResident?=true|weightType=LBS|weight=1.102"_s);
        AddRow("UPS, settings text reaches the page as plain text", 1,
               u"AUTO_FILL=1;CITY1=O'Hare \"A\" </script><b>\\x;ZIP1=  spaced  "_s, 0.5,
               u"origCity=O'Hare \"A\" </script><b>\\x|origPostal=spaced|weight=1.102"_s);
        AddRow("UPS, a step that fails is skipped, the rest written", 1,
               u"AUTO_FILL=1;CITY1=Reno;DOC=yes;CUS_VAL=9;SHIP_TO_RES=1"_s, 0.5,
               u"origCity=Reno|document?=false|customValue=9|destResident?=true|weight=1.102"_s);
        AddRow("USPS domestic, package", 2, u"AUTO_FILL=1;SERVICE=1;ZIP1=10001;ZIP2=94114"_s, 0.5,
               u"MT[1]?=true|MT[0]?=false|OZ=10001|DZ=94114|P=1|O=1.6"_s);
        AddRow("USPS domestic, negative weight goes in as 0", 2, u"AUTO_FILL=0;ZIP1=10001"_s, -0.3, u"OZ=|P=0|O=0"_s);
        AddRow("USPS business, form in frame 1", 3, u"AUTO_FILL=1;NON=1;SIZE=2;RATE=0;ZIP1=10001;ZIP2=20004"_s, 1.0,
               u"1:chkNS?=true|1:selSize#=2|1:changeArgs=selSize:undefined;|1:selRate#=0|1:txtOrigin=10001|"
               u"1:txtDest=20004|1:format[1]?=true|1:txtSPWt=2.205|0:txtSPWt=heading"_s);
        AddRow("USPS international package, a position written 12.0", 5, u"AUTO_FILL=1;CNTRY=12.0"_s, 0.5,
               u"Country#=12|Pounds=1|Ounces=1.6"_s);
        AddRow("DHL, two phases over the country reload", 6,
               u"AUTO_FILL=1;CITY1=Reno;ZIP1=89501;ZIP2=69001;HEIGHT=4;WIDTH=5;LEN=6;SHIP_TO_RES=1;EMP=20;SAT=1;"
               u"SHIP_PRO_VAL=100;CNTRY2=80;SERVICE=1;CITY=Lyon"_s,
               1.0,
               u"loads=2|origCity=Reno|originZipCode=89501|destinationZipCode=69001|dimensionHeight=4|"
               u"dimensionWidth=5|dimensionLength=6|isResidential[1]?=true|monthlyPackages=20|"
               u"satDelivery?=true|shipmentValue=100|destinationCountryCode#=80|serviceType#=1|"
               u"destinationCity=Lyon|actualWeight=2.3"_s);
        AddRow("DHL, auto fill off: one load, weight only", 6, u"AUTO_FILL=0;CITY1=Reno"_s, 0.1,
               u"loads=1|origCity=|destinationCountryCode#=267|actualWeight=0.5"_s);
        AddRow("DHL, 2.200 lb is not raised to 2.3", 6, u"AUTO_FILL=0"_s, 0.9979, u"actualWeight=2.2"_s);
        AddRow("FedEx, shipment form submitted, package page filled in pounds", 7,
               u"AUTO_FILL=1;CNTRY1=179;CNTRY2=12;ZIP1=10001;ZIP2=H0H 0H0;PACK_NO=3;SHIP_DATE=2;SHIP_TO_RES=1;"
               u"SERVICE=1"_s,
               1.0,
               u"echo_origCountry=179|echo_destCountry=12|echo_origZip=10001|echo_destZip=Not required|"
               u"echo_packageCount=3|echo_shipDate=2|echo_shipToResidence=Y|echo_companyType=Ground|"
               u"echo_changeArgs=origCountry:true;destCountry:true;|"
               u"packageForm.packageList[0].weightUnit#=0|packageForm.packageList[0].weight=2.205"_s,
               1);
        AddRow("FedEx in kilograms", 7, u"AUTO_FILL=1;CNTRY1=179;CNTRY2=179;ZIP1=1;ZIP2=2;PACK_NO=1;SHIP_DATE=0"_s, 2.5,
               u"echo_destZip=2|echo_shipToResidence=N|echo_companyType=Express|"
               u"packageForm.packageList[0].weightUnit#=1|packageForm.packageList[0].weight=2.5"_s);
        AddRow("eBay", 8, u"AUTO_FILL=1;PACK_SIZE=4;LEN=10;WIDTH=8;HEIGHT=2;ZIP1=30312;SHOW_RATE_TO=3;ZIP2=02115"_s,
               1.36,
               u"PackageSize#=4|LengthDimension=10|WidthDimension=8|HeightDimension=2|OriginatingZip=30312|"
               u"destinationCity#=3|destinationZipCode=02115|HigherUnitWeight=3|LowerUnitWeight=0"_s);
        AddRow("USPS business, a size that is not a position still runs the size handler", 3,
               u"AUTO_FILL=1;SIZE=abc;RATE=1;ZIP1=10001"_s, 1.0,
               u"1:selSize#=0|1:changeArgs=selSize:undefined;|1:selRate#=1|1:txtOrigin=10001"_s);
        AddRow(
            "DHL, a country that is not a position still reloads the page", 6,
            u"AUTO_FILL=1;CITY1=Reno;CNTRY2=abc;SERVICE=3;CITY=Boise"_s, 1.0,
            u"loads=2|origCity=Reno|destinationCountryCode#=267|serviceType#=3|destinationCity=Boise|actualWeight=2.3"_s);
        AddRow("UPS, auto fill off: a hidden weight field waits for the next page", 1, u"AUTO_FILL=0;CITY1=Reno"_s, 0.5,
               u"origCity=|step=2|hiddenWeight=|hiddenWeightType=KGS|weightType=LBS|weight=1.102"_s, 0,
               u"ups_weight_later.html"_s);
        AddRow("eBay, 0.5 kg: whole ounces", 8, u"AUTO_FILL=0"_s, 0.5, u"HigherUnitWeight=1|LowerUnitWeight=2"_s);
    }

    void launchFillsCarrierPage()
    {
        QFETCH(int, page);
        QFETCH(QString, keys);
        QFETCH(double, kg);
        QFETCH(QString, expected);
        QFETCH(int, unit);
        QFETCH(QString, pageFile);
        if (!pageFile.isEmpty())
            BrowserFixture::Instance().Serve(CCarrierPages::ForLauncherIndex(page)->address, pageFile);
        mUnit = unit;
        QVERIFY2(Launch(page, keys, kg), "the page was not filled");
        QCOMPARE(Wrong(expected), QString());
    }

    void fedexContentStopsAtFirstFailure()
    {
        // The destination country is not a position: the shipment step ends there, nothing later is
        // written and the form is not submitted, so the page never gets its weight in this launch.
        QVERIFY(Launch(7, u"AUTO_FILL=1;CNTRY1=5;CNTRY2=abc;ZIP1=10001;ZIP2=2;PACK_NO=4;SHIP_TO_RES=1"_s, 1.0, false));
        WebBrowser* browser = mLauncher->WebHelper()->Browser();
        QTRY_VERIFY_WITH_TIMEOUT(
            browser->ReadyState() == 4 && browser->Document() && Wrong(u"origCountry#=5"_s).isEmpty(), kLoadTimeoutMs);
        QCOMPARE(Wrong(u"changeArgs=origCountry:true;|destCountry#=179|packageCount=1"_s), QString());
        QCOMPARE(Document()->URL().value_or(QString()), CCarrierPages::FedExAddress());
        auto* fedex = static_cast<CWebFedEx*>(mLauncher->WebHelper()->CurrentFiller());
        QVERIFY(!fedex->ContentFilled());
        QVERIFY(!fedex->IsFilled());
    }

    void refillOfOpenPageWritesOnlyWeight()
    {
        QVERIFY(Launch(2, u"AUTO_FILL=1;SERVICE=1;ZIP1=10001;ZIP2=94114"_s, 0.5));
        // The user edits the page; a reload would lose the edit.
        QVERIFY(Document()->All(u"OZ"_s)->SetValue(u"typed by hand"_s));
        mWeight = 1.36;
        QVERIFY(mLauncher->LaunchWebPage());
        // Filled at once, before any load could have happened.
        QVERIFY(mLauncher->WebHelper()->CurrentFiller()->IsFilled());
        QCOMPARE(Wrong(u"OZ=typed by hand|P=3|O=0"_s), QString());
        QCOMPARE(mBrowsersMade, 1);
    }

    void filledPageIsLeftAloneOnLaterLoads()
    {
        QVERIFY(Launch(1, u"AUTO_FILL=1;CITY1=Reno"_s, 0.5));
        WebBrowser* browser = mLauncher->WebHelper()->Browser();
        // The user goes on to the carrier's next page (here the same form again, empty).
        QSignalSpy loads(browser, &WebBrowser::ProgressChange);
        QVERIFY(browser->Navigate(CCarrierPages::UpsAddress() + u"&step=2"_s));
        QVERIFY(loads.wait(kLoadTimeoutMs));
        QTRY_COMPARE_WITH_TIMEOUT(browser->ReadyState(), 4, kLoadTimeoutMs);
        QCOMPARE(Wrong(u"origCity=|weight="_s), QString());
    }

    void envelopeFillerSkipsPackagePage()
    {
        // The browser shows the package page when the envelope page is launched.
        QVERIFY(Launch(5, u"AUTO_FILL=0"_s, 0.5));
        QVERIFY(Document()->All(u"Pounds"_s)->SetValue(u"package"_s));
        // Not written on the package page: the driver navigates to the envelope page instead.
        QVERIFY(Launch(4, QString(), 0.5));
        QCOMPARE(mBrowsersMade, 1);
        QCOMPARE(Document()->URL().value_or(QString()), CCarrierPages::UspsIntEnvelopeAddress());
        QCOMPARE(Wrong(u"Pounds=1"_s), QString());
    }

    void converterPage_data()
    {
        QTest::addColumn<QString>("page"); // empty: the program's own converter page
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("kg");
        QTest::addColumn<QString>("expected"); // "|"-separated field checks; empty: the window is let go
        QTest::newRow("kilograms") << QString() << 0 << 2.5 << u"unit=KG|InUnit=2.5|OutLB=5.512|OutG=2500.0"_s;
        QTest::newRow("pounds") << QString() << 1 << 1.0 << u"unit=LB|InUnit=2.205|OutKG=1.000|OutOZ=35.28"_s;
        QTest::newRow("other unit: the page converts what it holds")
            << QString() << 5 << 1.0 << u"unit=KG|InUnit=0|OutKG=0.000"_s;
        QTest::newRow("page without the converter's fields: let go, the next open starts afresh")
            << CCarrierPages::UspsDomesticAddress() << 0 << 1.0 << QString();
    }

    void converterPage()
    {
        QFETCH(QString, page);
        QFETCH(int, unit);
        QFETCH(double, kg);
        QFETCH(QString, expected);
        if (page.isEmpty()) {
            const QString file = QStringLiteral(PESAVO_RESOURCES "/conversion.html");
            QVERIFY(QFileInfo::exists(file));
            page = QUrl::fromLocalFile(QFileInfo(file).canonicalFilePath()).toString();
        }
        int made = 0;
        CUnitConverter converter(
            [&made](QString*) -> std::unique_ptr<WebBrowser> {
                ++made;
                return BrowserFixture::Instance().NewPage();
            },
            [kg] { return kg; }, [unit] { return unit; });
        QVERIFY(converter.OpenConverter(page));
        QTRY_VERIFY_WITH_TIMEOUT(!converter.Pending(), kLoadTimeoutMs);
        if (expected.isEmpty()) {
            QCOMPARE(converter.Browser(), nullptr);
            QVERIFY(converter.OpenConverter(page));
            QCOMPARE(made, 2);
            return;
        }
        // Still there: the click on element 35 worked (a failed step would have released the browser).
        QVERIFY(converter.Browser());
        QCOMPARE(PageProbe::Mismatches(converter.Browser()->Document().get(), expected, u'|').join(u'\n'), QString());
    }
};

QTEST_GUILESS_MAIN(TestAutoFillBrowser)
#include "tst_autofill_browser.moc"
