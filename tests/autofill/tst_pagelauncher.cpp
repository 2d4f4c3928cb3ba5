// When a carrier page fills itself, without a browser. Which page a launch picks and how it fills are
// driven end to end in tst_autofill_browser and, from the main window, in tst_weblaunch.
#include "CCarrierPages.h"
#include "CWebHelper.h"
#include "IniFile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPageLauncher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void autoFillSwitch_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("on");
        QTest::newRow("1 with text after") << u"1abc"_s << true;
        QTest::newRow("2") << u"2"_s << false;
        QTest::newRow("missing") << QString() << false;
    }

    void autoFillSwitch()
    {
        QFETCH(QString, value);
        QFETCH(bool, on);
        QTemporaryDir dir;
        IniFile ini;
        QVERIFY(dir.isValid() && ini.OpenFile(dir.filePath(u"Data1.ini"_s)));
        if (!value.isNull())
            QVERIFY(ini.Section(u"_WGX_UPS"_s).Key(u"AUTO_FILL"_s).SetValue(value));
        CWebHelper helper(ini, {});
        helper.Create(u"_WGX_UPS"_s, CCarrierPages::UpsAddress());
        QCOMPARE(helper.CurrentFiller()->AutoFill(), on);
        // Read afresh on every call: the options dialog may change it while the filler lives.
        QVERIFY(ini.Section(u"_WGX_UPS"_s).Key(u"AUTO_FILL"_s).SetValue(on ? 0 : 1));
        QCOMPARE(helper.CurrentFiller()->AutoFill(), !on);
    }
};

QTEST_GUILESS_MAIN(TestPageLauncher)
#include "tst_pagelauncher.moc"
