// The fillers' logic on an in-memory page: which fields they write, in which order, with which
// values, and when they call the page filled. The same fillers run against a real browser in
// tst_autofill_browser.
#include "CWebDHL.h"
#include "CWebEbay.h"
#include "CWebFedEx.h"
#include "CWebUPS.h"
#include "CWebUSPSBusi.h"
#include "CWebUSPSDom.h"
#include "CWebUSPSIntEnv.h"
#include "CWebUSPSIntPac.h"
#include "FakeDocument.h"
#include "IniFile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// "KEY=value;KEY=value" into a section of a real settings file.
void PutKeys(IniFile& ini, const QString& section, const QString& keys)
{
    for (const QString& pair : keys.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        QVERIFY(ini.Section(section).Key(pair.left(eq)).SetValue(pair.mid(eq + 1)));
    }
}

} // namespace

class TestFillers : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void fedexContent_data();
    void fedexContent();
    void fedexWeight_data();
    void fedexWeight();
    void upsContent_data();
    void upsContent();
    void upsWeight_data();
    void upsWeight();
    void dhlContent_data();
    void dhlContent();
    void dhlWeight_data();
    void dhlWeight();
    void ebay_data();
    void ebay();
    void uspsDomestic_data();
    void uspsDomestic();
    void uspsBusiness_data();
    void uspsBusiness();
    void uspsInternational_data();
    void uspsInternational();
    void autoFillSwitch_data();
    void autoFillSwitch();

private:
    std::unique_ptr<QTemporaryDir> mDir;
    std::unique_ptr<IniFile> mIni;
    QStringList mLog;
};

void TestFillers::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
    mIni = std::make_unique<IniFile>();
    QVERIFY(mIni->OpenFile(mDir->filePath(u"Data1.ini"_s)));
    mLog.clear();
}

void TestFillers::cleanup()
{
    mIni.reset();
    mDir.reset();
}

// ---------------------------------------------------------------- FedEx

void TestFillers::fedexContent_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("missing"); // field taken off the page
    QTest::addColumn<QString>("origZipText");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("contentFilled");

    const QString base = u"CNTRY1=179;CNTRY2=12;ZIP1=10001;ZIP2=H0H 0H0;PACK_NO=3;SHIP_DATE=2"_s;
    QTest::newRow("all steps, residence and ground") << base + u";SHIP_TO_RES=1;SERVICE=1"_s << QString() << QString()
                                                     << QStringList {u"origCountry.selectedIndex=179"_s,
                                                                     u"origCountry.onchange"_s,
                                                                     u"destCountry.selectedIndex=12"_s,
                                                                     u"destCountry.onchange"_s,
                                                                     u"origZip.value=10001"_s,
                                                                     u"destZip.value=H0H 0H0"_s,
                                                                     u"packageCount.value=3"_s,
                                                                     u"shipDate.selectedIndex=2"_s,
                                                                     u"shipToResidence[0].checked=true"_s,
                                                                     u"companyType[1].checked=true"_s,
                                                                     u"submitShipInfo.click"_s}
                                                     << true;
    QTest::newRow("no residence, express: no radio touched")
        << base + u";SHIP_TO_RES=0;SERVICE=0"_s << QString() << QString()
        << QStringList {u"origCountry.selectedIndex=179"_s, u"origCountry.onchange"_s,
                        u"destCountry.selectedIndex=12"_s,  u"destCountry.onchange"_s,
                        u"origZip.value=10001"_s,           u"destZip.value=H0H 0H0"_s,
                        u"packageCount.value=3"_s,          u"shipDate.selectedIndex=2"_s,
                        u"submitShipInfo.click"_s}
        << true;
    QTest::newRow("origin zip saying Not is left alone")
        << base << QString() << u"Not required"_s
        << QStringList {u"origCountry.selectedIndex=179"_s, u"origCountry.onchange"_s,
                        u"destCountry.selectedIndex=12"_s,  u"destCountry.onchange"_s,
                        u"destZip.value=H0H 0H0"_s,         u"packageCount.value=3"_s,
                        u"shipDate.selectedIndex=2"_s,      u"submitShipInfo.click"_s}
        << true;
    QTest::newRow("lower-case not is no reason to skip")
        << base << QString() << u"not yet"_s
        << QStringList {u"origCountry.selectedIndex=179"_s, u"origCountry.onchange"_s,
                        u"destCountry.selectedIndex=12"_s,  u"destCountry.onchange"_s,
                        u"origZip.value=10001"_s,           u"destZip.value=H0H 0H0"_s,
                        u"packageCount.value=3"_s,          u"shipDate.selectedIndex=2"_s,
                        u"submitShipInfo.click"_s}
        << true;
    QTest::newRow("stops at a missing destination country")
        << base + u";SHIP_TO_RES=1;SERVICE=1"_s << u"destCountry"_s << QString()
        << QStringList {u"origCountry.selectedIndex=179"_s, u"origCountry.onchange"_s} << false;
    QTest::newRow("stops at a missing submit button")
        << base << u"submitShipInfo"_s << QString()
        << QStringList {u"origCountry.selectedIndex=179"_s, u"origCountry.onchange"_s,
                        u"destCountry.selectedIndex=12"_s,  u"destCountry.onchange"_s,
                        u"origZip.value=10001"_s,           u"destZip.value=H0H 0H0"_s,
                        u"packageCount.value=3"_s,          u"shipDate.selectedIndex=2"_s}
        << false;
    QTest::newRow("a country position that is not a number stops at once")
        << u"CNTRY1=abc;CNTRY2=12"_s << QString() << QString() << QStringList {} << false;
    QTest::newRow("residence is judged by the leading number")
        << base + u";SHIP_TO_RES=1.0x;SERVICE=2"_s << QString() << QString()
        << QStringList {u"origCountry.selectedIndex=179"_s,
                        u"origCountry.onchange"_s,
                        u"destCountry.selectedIndex=12"_s,
                        u"destCountry.onchange"_s,
                        u"origZip.value=10001"_s,
                        u"destZip.value=H0H 0H0"_s,
                        u"packageCount.value=3"_s,
                        u"shipDate.selectedIndex=2"_s,
                        u"shipToResidence[0].checked=true"_s,
                        u"companyType[1].checked=true"_s,
                        u"submitShipInfo.click"_s}
        << true;
}

void TestFillers::fedexContent()
{
    QFETCH(QString, keys);
    QFETCH(QString, missing);
    QFETCH(QString, origZipText);
    QFETCH(QStringList, expected);
    QFETCH(bool, contentFilled);

    PutKeys(*mIni, u"_WGX_FEDEX"_s, keys);
    FakeDocument page(&mLog);
    for (const QString& name : {u"origCountry"_s, u"destCountry"_s})
        page.Add(name, u"select-one"_s)->onChange = [] {
        };
    page.Add(u"origZip"_s)->value = origZipText;
    page.Add(u"destZip"_s);
    page.Add(u"packageCount"_s);
    page.Add(u"shipDate"_s, u"select-one"_s);
    page.AddGroup(u"shipToResidence"_s, 2);
    page.AddGroup(u"companyType"_s, 2);
    page.Add(u"submitShipInfo"_s, u"button"_s);
    if (!missing.isEmpty())
        page.Remove(missing);

    CWebFedEx fedex(*mIni, [] { return 0; });
    fedex.Create(u"_WGX_FEDEX"_s, u"https://example.invalid/"_s);
    fedex.FillContent(&page);
    QCOMPARE(mLog, expected);
    QCOMPARE(fedex.ContentFilled(), contentFilled);

    // Done once per launch: a second call writes nothing, until a new launch resets the flag.
    mLog.clear();
    fedex.FillContent(&page);
    if (contentFilled) {
        QVERIFY(mLog.isEmpty());
        fedex.SetIsFilled(false);
        QVERIFY(!fedex.ContentFilled());
        fedex.FillContent(&page);
    }
    QCOMPARE(mLog, expected);
}

void TestFillers::fedexWeight_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("kg");
    QTest::addColumn<bool>("weightField");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("filled");

    const QString u = u"packageForm.packageList[0].weightUnit"_s;
    const QString w = u"packageForm.packageList[0].weight"_s;
    QTest::newRow("kilograms 2.5") << 0 << 2.5 << true << QStringList {u + u".selectedIndex=1"_s, w + u".value=2.5"_s}
                                   << true;
    QTest::newRow("kilograms rounded to 3 decimals")
        << 0 << 1.23456 << true << QStringList {u + u".selectedIndex=1"_s, w + u".value=1.235"_s} << true;
    QTest::newRow("pounds 1 kg") << 1 << 1.0 << true << QStringList {u + u".selectedIndex=0"_s, w + u".value=2.205"_s}
                                 << true;
    QTest::newRow("other unit writes nothing") << 7 << 1.0 << true << QStringList {} << true;
    QTest::newRow("first page without package fields") << 0 << 1.0 << false << QStringList {} << false;
}

void TestFillers::fedexWeight()
{
    QFETCH(int, unit);
    QFETCH(double, kg);
    QFETCH(bool, weightField);
    QFETCH(QStringList, expected);
    QFETCH(bool, filled);

    FakeDocument page(&mLog);
    if (weightField) {
        page.Add(u"packageForm.packageList[0].weightUnit"_s, u"select-one"_s);
        page.Add(u"packageForm.packageList[0].weight"_s);
    }
    CWebFedEx fedex(*mIni, [unit] { return unit; });
    fedex.Create(u"_WGX_FEDEX"_s, QString());
    fedex.FillWeight(&page, kg);
    QCOMPARE(mLog, expected);
    QCOMPARE(fedex.IsFilled(), filled);
}

// ---------------------------------------------------------------- UPS

void TestFillers::upsContent_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("expected");

    // A check value that is not a number skips only its own step.
    QTest::newRow("document flag not a number")
        << u"CNTRY1=1;CITY1=A;ZIP1=1;CNTRY2=2;CITY2=B;ZIP2=2;PACK_NO=0;DOC=yes;CUS_VAL=;CUS_CNTRY=3;SHIP_TO_RES=5"_s
        << QStringList {u"origCountry.selectedIndex=1"_s, u"origCity.value=A"_s,   u"origPostal.value=1"_s,
                        u"destCountry.selectedIndex=2"_s, u"destCity.value=B"_s,   u"destPostal.value=2"_s,
                        u"packages.selectedIndex=0"_s,    u"customValue.value="_s, u"currency.selectedIndex=3"_s,
                        u"destResident.checked=true"_s};
    // Missing keys read as empty text: positions 0, empty texts, and check boxes left alone.
    QTest::newRow("empty section")
        << QString()
        << QStringList {u"origCountry.selectedIndex=0"_s, u"origCity.value="_s,    u"origPostal.value="_s,
                        u"destCountry.selectedIndex=0"_s, u"destCity.value="_s,    u"destPostal.value="_s,
                        u"packages.selectedIndex=0"_s,    u"customValue.value="_s, u"currency.selectedIndex=0"_s};
}

void TestFillers::upsContent()
{
    QFETCH(QString, keys);
    QFETCH(QStringList, expected);
    PutKeys(*mIni, u"_WGX_UPS"_s, keys);
    FakeDocument page(&mLog);
    for (const QString& name : {u"origCountry"_s, u"destCountry"_s, u"packages"_s, u"currency"_s})
        page.Add(name, u"select-one"_s);
    for (const QString& name : {u"origCity"_s, u"origPostal"_s, u"destCity"_s, u"destPostal"_s, u"customValue"_s})
        page.Add(name);
    page.Add(u"document"_s, u"checkbox"_s);
    page.Add(u"destResident"_s, u"checkbox"_s);
    CWebUPS ups(*mIni);
    ups.Create(u"_WGX_UPS"_s, QString());
    ups.FillContent(&page);
    QCOMPARE(mLog, expected);
    QVERIFY(!ups.IsFilled());
}

void TestFillers::upsWeight_data()
{
    QTest::addColumn<QString>("weightType");
    QTest::addColumn<double>("kg");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("filled");
    QTest::newRow("0.5 kg in pounds") << u"text"_s << 0.5
                                      << QStringList {u"weightType.value=LBS"_s, u"weight.value=1.102"_s} << true;
    QTest::newRow("hidden weight field") << u"hidden"_s << 0.5 << QStringList {} << false;
    QTest::newRow("hidden in capitals") << u"HIDDEN"_s << 0.5 << QStringList {} << false;
    QTest::newRow("no weight field at all") << QString() << 0.5 << QStringList {u"weightType.value=LBS"_s} << false;
}

void TestFillers::upsWeight()
{
    QFETCH(QString, weightType);
    QFETCH(double, kg);
    QFETCH(QStringList, expected);
    QFETCH(bool, filled);
    FakeDocument page(&mLog);
    page.Add(u"weightType"_s, u"hidden"_s);
    if (!weightType.isEmpty())
        page.Add(u"weight"_s, weightType);
    CWebUPS ups(*mIni);
    ups.Create(u"_WGX_UPS"_s, QString());
    ups.FillWeight(&page, kg);
    QCOMPARE(mLog, expected);
    QCOMPARE(ups.IsFilled(), filled);
}

// ---------------------------------------------------------------- DHL

void TestFillers::dhlContent_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("phase1");
    QTest::addColumn<QStringList>("phase2");

    const QStringList phase2 {u"serviceType.selectedIndex=1"_s, u"destinationCity.value=Lyon"_s};
    QTest::newRow("not residential, saturday")
        << u"CITY1=Reno;ZIP1=89501;ZIP2=69001;HEIGHT=4;WIDTH=5;LEN=6;SHIP_TO_RES=1;EMP=20;SAT=1;SHIP_PRO_VAL=100;"
           u"CNTRY2=80;SERVICE=1;CITY=Lyon"_s
        << QStringList {u"origCity.value=Reno"_s,
                        u"originZipCode.value=89501"_s,
                        u"destinationZipCode.value=69001"_s,
                        u"dimensionHeight.value=4"_s,
                        u"dimensionWidth.value=5"_s,
                        u"dimensionLength.value=6"_s,
                        u"isResidential[1].checked=true"_s,
                        u"monthlyPackages.value=20"_s,
                        u"satDelivery.checked=true"_s,
                        u"shipmentValue.value=100"_s,
                        u"destinationCountryCode.selectedIndex=80"_s,
                        u"destinationCountryCode.onchange"_s}
        << phase2;
    QTest::newRow("residence not a byte skips only that step")
        << u"CITY1=;ZIP1=1;ZIP2=2;HEIGHT=;WIDTH=;LEN=;SHIP_TO_RES=300;EMP=;SAT=0;SHIP_PRO_VAL=;CNTRY2=80;SERVICE=1;"
           u"CITY=Lyon"_s
        << QStringList {u"origCity.value="_s,
                        u"originZipCode.value=1"_s,
                        u"destinationZipCode.value=2"_s,
                        u"dimensionHeight.value="_s,
                        u"dimensionWidth.value="_s,
                        u"dimensionLength.value="_s,
                        u"monthlyPackages.value="_s,
                        u"satDelivery.checked=false"_s,
                        u"shipmentValue.value="_s,
                        u"destinationCountryCode.selectedIndex=80"_s,
                        u"destinationCountryCode.onchange"_s}
        << phase2;
}

void TestFillers::dhlContent()
{
    QFETCH(QString, keys);
    QFETCH(QStringList, phase1);
    QFETCH(QStringList, phase2);
    PutKeys(*mIni, u"_WGX_DHL"_s, keys);
    FakeDocument page(&mLog);
    for (const QString& name :
         {u"origCity"_s, u"originZipCode"_s, u"destinationZipCode"_s, u"dimensionHeight"_s, u"dimensionWidth"_s,
          u"dimensionLength"_s, u"monthlyPackages"_s, u"shipmentValue"_s, u"destinationCity"_s})
        page.Add(name);
    page.AddGroup(u"isResidential"_s, 2);
    page.Add(u"satDelivery"_s, u"checkbox"_s);
    page.Add(u"destinationCountryCode"_s, u"select-one"_s)->onChange = [] {
    };
    page.Add(u"serviceType"_s, u"select-one"_s);

    CWebDHL dhl(*mIni);
    dhl.Create(u"_WGX_DHL"_s, QString());
    dhl.SetIsFilled(false);
    dhl.FillContent(&page);
    QCOMPARE(mLog, phase1);
    QVERIFY(dhl.ContentFilled());
    // The weight written between the phases does not finish the launch.
    page.Add(u"actualWeight"_s);
    dhl.FillWeight(&page, 1.0);
    QVERIFY(!dhl.IsFilled());

    mLog.clear();
    dhl.FillContent(&page);
    QCOMPARE(mLog, phase2);
    QVERIFY(!dhl.ContentFilled());
    dhl.FillWeight(&page, 1.0);
    QVERIFY(dhl.IsFilled());
}

void TestFillers::dhlWeight_data()
{
    QTest::addColumn<double>("kg");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1 kg: 2.205 lb goes up to 2.3") << 1.0 << u"2.3"_s;
    QTest::newRow("0.9979 kg: 2.200 lb stays 2.2") << 0.9979 << u"2.2"_s;
    QTest::newRow("0.1 kg: raised to the minimum") << 0.1 << u"0.5"_s;
    QTest::newRow("0 kg: the minimum") << 0.0 << u"0.5"_s;
    QTest::newRow("0.25 kg: 0.551 lb up to 0.6") << 0.25 << u"0.6"_s;
    QTest::newRow("10 kg: 22.046 lb up to 22.1") << 10.0 << u"22.1"_s;
}

void TestFillers::dhlWeight()
{
    QFETCH(double, kg);
    QFETCH(QString, expected);
    FakeDocument page(&mLog);
    page.Add(u"actualWeight"_s);
    CWebDHL dhl(*mIni);
    dhl.Create(u"_WGX_DHL"_s, QString());
    dhl.FillWeight(&page, kg);
    QCOMPARE(mLog, QStringList {u"actualWeight.value="_s + expected});
    QVERIFY(dhl.IsFilled());
}

// ---------------------------------------------------------------- eBay

void TestFillers::ebay_data()
{
    QTest::addColumn<double>("kg");
    QTest::addColumn<QString>("pounds");
    QTest::addColumn<QString>("ounces");
    QTest::newRow("0.5 kg: 1 lb 1.6 oz, whole ounces 2") << 0.5 << u"1"_s << u"2"_s;
    QTest::newRow("1.36 kg: ounces carry to the pound") << 1.36 << u"3"_s << u"0"_s;
    QTest::newRow("0.1 kg: 3.5 oz to even 4") << 0.1 << u"0"_s << u"4"_s;
    QTest::newRow("0.2 kg: 7.1 oz") << 0.2 << u"0"_s << u"7"_s;
}

void TestFillers::ebay()
{
    QFETCH(double, kg);
    QFETCH(QString, pounds);
    QFETCH(QString, ounces);
    PutKeys(*mIni, u"_WGX_EBAY"_s, u"PACK_SIZE=4;LEN=10;WIDTH=8;HEIGHT=2;ZIP1=30312;SHOW_RATE_TO=3;ZIP2=02115"_s);
    FakeDocument page(&mLog);
    for (const QString& name : {u"LengthDimension"_s, u"WidthDimension"_s, u"HeightDimension"_s, u"OriginatingZip"_s,
                                u"destinationZipCode"_s, u"HigherUnitWeight"_s, u"LowerUnitWeight"_s})
        page.Add(name);
    page.Add(u"PackageSize"_s, u"select-one"_s);
    page.Add(u"destinationCity"_s, u"select-one"_s);
    CWebEbay ebay(*mIni);
    ebay.Create(u"_WGX_EBAY"_s, QString());
    ebay.FillContent(&page);
    ebay.FillWeight(&page, kg);
    QCOMPARE(mLog,
             (QStringList {u"PackageSize.selectedIndex=4"_s, u"LengthDimension.value=10"_s, u"WidthDimension.value=8"_s,
                           u"HeightDimension.value=2"_s, u"OriginatingZip.value=30312"_s,
                           u"destinationCity.selectedIndex=3"_s, u"destinationZipCode.value=02115"_s,
                           u"HigherUnitWeight.value="_s + pounds, u"LowerUnitWeight.value="_s + ounces}));
    QVERIFY(ebay.IsFilled());
}

// ---------------------------------------------------------------- USPS

void TestFillers::uspsDomestic_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<double>("kg");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("service out of byte range, zips still written")
        << u"AUTO_FILL=1;SERVICE=-1;ZIP1=1;ZIP2=2"_s << 0.0
        << QStringList {u"OZ.value=1"_s, u"DZ.value=2"_s, u"P.value=0"_s, u"O.value=0"_s};
    QTest::newRow("auto fill 0: only the weight")
        << u"AUTO_FILL=0;SERVICE=1;ZIP1=1;ZIP2=2"_s << 0.5 << QStringList {u"P.value=1"_s, u"O.value=1.6"_s};
}

void TestFillers::uspsDomestic()
{
    QFETCH(QString, keys);
    QFETCH(double, kg);
    QFETCH(QStringList, expected);
    PutKeys(*mIni, u"_WGX_USPS_DOM"_s, keys);
    FakeDocument page(&mLog);
    page.AddGroup(u"MT"_s, 2);
    for (const QString& name : {u"OZ"_s, u"DZ"_s, u"P"_s, u"O"_s})
        page.Add(name);
    CWebUSPSDom dom(*mIni);
    dom.Create(u"_WGX_USPS_DOM"_s, QString());
    dom.FillContent(&page);
    dom.FillWeight(&page, kg);
    QCOMPARE(mLog, expected);
    QVERIFY(dom.IsFilled());
}

void TestFillers::uspsBusiness_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("formFrame");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("filled");
    QTest::newRow("fields in frame 1") << u"AUTO_FILL=1;NON=1;SIZE=1;RATE=1;ZIP1=10001;ZIP2=20004"_s << true
                                       << QStringList {u"chkNS.checked=true"_s,    u"selSize.selectedIndex=1"_s,
                                                       u"selSize.onchange"_s,      u"selRate.selectedIndex=1"_s,
                                                       u"txtOrigin.value=10001"_s, u"txtDest.value=20004"_s,
                                                       u"format[1].click"_s,       u"txtSPWt.value=2.205"_s}
                                       << true;
    QTest::newRow("frame 1 not there yet")
        << u"AUTO_FILL=1;NON=1;SIZE=1;RATE=1;ZIP1=10001;ZIP2=20004"_s << false << QStringList {} << false;
}

void TestFillers::uspsBusiness()
{
    QFETCH(QString, keys);
    QFETCH(bool, formFrame);
    QFETCH(QStringList, expected);
    QFETCH(bool, filled);
    PutKeys(*mIni, u"_WGX_USPS_BUSI"_s, keys);
    FakeDocument frameset(&mLog);
    // The same names in the frameset's own document and in frame 0 must not be the ones written.
    auto decoy = std::make_shared<FakeDocument>(nullptr);
    frameset.frames.push_back(decoy);
    if (formFrame) {
        auto form = std::make_shared<FakeDocument>(&mLog);
        form->Add(u"chkNS"_s, u"checkbox"_s);
        form->Add(u"selSize"_s, u"select-one"_s)->onChange = [] {
        };
        form->Add(u"selRate"_s, u"select-one"_s);
        form->Add(u"txtOrigin"_s);
        form->Add(u"txtDest"_s);
        form->AddGroup(u"format"_s, 3);
        form->Add(u"txtSPWt"_s);
        frameset.frames.push_back(form);
    }
    CWebUSPSBusi busi(*mIni);
    busi.Create(u"_WGX_USPS_BUSI"_s, QString());
    busi.FillContent(&frameset);
    busi.FillWeight(&frameset, 1.0);
    QCOMPARE(mLog, expected);
    QCOMPARE(busi.IsFilled(), filled);
}

void TestFillers::uspsInternational_data()
{
    QTest::addColumn<bool>("envelope");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("filled");

    const QString env = u"https://ircalc.usps.com/weight.asp?Contents=0"_s;
    const QString pac = u"https://ircalc.usps.com/weight.asp?Contents=1"_s;
    const QStringList written {u"Country.selectedIndex=42"_s, u"Pounds.value=0"_s, u"Ounces.value=0"_s};
    const QStringList contentOnly {u"Country.selectedIndex=42"_s};
    QTest::newRow("envelope on its page") << true << env << written << true;
    QTest::newRow("package on its page") << false << pac << written << true;
    QTest::newRow("envelope on the package page") << true << pac << contentOnly << false;
    QTest::newRow("package on the envelope page") << false << env << contentOnly << false;
    QTest::newRow("own address inside a longer URL") << true << env + u"&lang=en"_s << written << true;
    QTest::newRow("other host") << true << u"https://example.com/weight.asp?Contents=0"_s << contentOnly << false;
    QTest::newRow("no URL") << true << QString() << contentOnly << false;
}

void TestFillers::uspsInternational()
{
    QFETCH(bool, envelope);
    QFETCH(QString, url);
    QFETCH(QStringList, expected);
    QFETCH(bool, filled);
    PutKeys(*mIni, u"_WGX_USPS_INT"_s, u"AUTO_FILL=1;CNTRY=42"_s);
    FakeDocument page(&mLog, url);
    page.Add(u"Country"_s, u"select-one"_s);
    page.Add(u"Pounds"_s);
    page.Add(u"Ounces"_s);
    std::unique_ptr<CWebFillerBase> filler;
    if (envelope) {
        filler = std::make_unique<CWebUSPSIntEnv>(*mIni);
        filler->Create(u"_WGX_USPS_INT"_s, u"https://ircalc.usps.com/weight.asp?Contents=0"_s);
    } else {
        filler = std::make_unique<CWebUSPSIntPac>(*mIni);
        filler->Create(u"_WGX_USPS_INT"_s, u"https://ircalc.usps.com/weight.asp?Contents=1"_s);
    }
    filler->FillContent(&page);
    filler->FillWeight(&page, 0.0);
    QCOMPARE(mLog, expected);
    QCOMPARE(filler->IsFilled(), filled);
}

// ---------------------------------------------------------------- AUTO_FILL

void TestFillers::autoFillSwitch_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("on");
    QTest::newRow("1") << u"1"_s << true;
    QTest::newRow("1 with text after") << u"1abc"_s << true;
    QTest::newRow("1.0") << u"1.0"_s << true;
    QTest::newRow("0") << u"0"_s << false;
    QTest::newRow("2") << u"2"_s << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("letters") << u"yes"_s << false;
}

void TestFillers::autoFillSwitch()
{
    QFETCH(QString, value);
    QFETCH(bool, on);
    if (!value.isNull())
        PutKeys(*mIni, u"_WGX_UPS"_s, u"AUTO_FILL="_s + value);
    CWebUPS ups(*mIni);
    ups.Create(u"_WGX_UPS"_s, QString());
    QCOMPARE(ups.AutoFill(), on);
    // Read afresh on every call: the options dialog may change it while the filler lives.
    QVERIFY(mIni->Section(u"_WGX_UPS"_s).Key(u"AUTO_FILL"_s).SetValue(on ? 0 : 1));
    QCOMPARE(ups.AutoFill(), !on);
}

QTEST_GUILESS_MAIN(TestFillers)
#include "tst_fillers.moc"
