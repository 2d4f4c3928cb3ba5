// Every key a carrier filler reads is one the key table gives its section: a key the options dialog
// never writes would leave the filler reading nothing, and nobody would see why.
#include "CCarrierPages.h"
#include "CWebFillerBase.h"
#include "CWebHelper.h"
#include "FakeDocument.h"
#include "IniFile.h"
#include "TestFiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCarrierKeys : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fillersReadTheirSectionsKeys_data()
    {
        QTest::addColumn<int>("filler");
        for (const CCarrierPages::Page& page : CCarrierPages::Fillers())
            QTest::newRow(qPrintable(page.caption)) << page.fillerIndex;
    }
    void fillersReadTheirSectionsKeys()
    {
        QFETCH(int, filler);
        QTemporaryDir dir;
        QString file;
        for (const CarrierKeys::Carrier carrier : CarrierKeys::Carriers())
            file += u"[%1]\nAUTO_FILL=1\n"_s.arg(CarrierKeys::Section(carrier));
        QVERIFY(WriteFile(dir.filePath(u"Data1.ini"_s), file));
        IniFile settings;
        QVERIFY(settings.OpenFile(dir.filePath(u"Data1.ini"_s)));
        CWebHelper helper(settings, {});
        auto* web = dynamic_cast<CWebFillerBase*>(helper.Filler(filler));
        QVERIFY(web);
        QStringList log;
        FakeDocument page(&log);
        for (const QString& field : web->FieldNames())
            page.Add(field);
        QTest::failOnWarning(QRegularExpression(u"holds no key"_s));
        // Twice: DHL writes its service and city on the page the first step reloads.
        web->FillContent(&page);
        web->FillContent(&page);
    }
};

QTEST_GUILESS_MAIN(TestCarrierKeys)
#include "tst_carrierkeys.moc"
