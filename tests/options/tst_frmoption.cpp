#include "AppState.h"
#include "Autostart.h"
#include "IniFile.h"
#include "MMain.h"
#include "ProgramRun.h"
#include "SecretStore.h"
#include "TestFiles.h"
#include "UserPages.h"
#include "frmAddWeb.h"
#include "frmOption.h"
#include "frmScale.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

// What a control shows, in one comparable form: a list box its text, a check box or an
// option button 0 or 1, a text box its text.
QString Shown(QWidget* control)
{
    if (auto* box = qobject_cast<QComboBox*>(control))
        return box->currentText();
    if (auto* check = qobject_cast<QAbstractButton*>(control))
        return check->isChecked() ? u"1"_s : u"0"_s;
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    return QString();
}

} // namespace

class tst_frmOption : public QObject
{
    Q_OBJECT

    ProgramRun::Folder mRun;

    QString Data2() const { return mRun.Path() + u"/Data2.ini"_s; }
    frmOption* Dialog() const { return static_cast<frmOption*>(MMain::Windows().options); }
    frmScale* Scale() const { return MMain::Windows().scale; }

    template <typename T = QWidget> T* Control(const QString& name) const
    {
        T* control = Dialog()->findChild<T*>(name);
        if (!control)
            qWarning() << "no control" << name;
        return control;
    }

    // The program with its windows on the settings in the temporary folder, and the dialog
    // opened from the main window as the user opens it. False, for the caller's QVERIFY, when
    // any of that failed.
    bool Open(const QString& settings)
    {
        if (!mRun.Start(settings, {u"/s"_s}))
            return false;
        Scale()->ShowOptions();
        return Dialog()->isVisible();
    }

    void Click(const QString& button) { Control<QPushButton>(button)->click(); }

    // Opens the list with a click, as a person does, and clicks the row in the list that drops down.
    static bool ChooseByMouse(QComboBox* box, int row)
    {
        // On the arrow: a click on the text of a list one may type into edits the text instead.
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 6, box->height() / 2));
        QAbstractItemView* view = box->view();
        if (!QTest::qWaitFor([view] { return view->isVisible(); }, 5000))
            return false;
        const QModelIndex index = view->model()->index(row, box->modelColumn(), box->rootModelIndex());
        // A list ignores a release this soon after it opened (the release of the click that opened it), and on
        // a busy machine it may still be laying out: click the row once it is in sight, again until taken.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        for (int attempt = 0; attempt < 50 && view->isVisible(); ++attempt) {
            view->scrollTo(index);
            const QRect shown = view->visualRect(index).intersected(view->viewport()->rect());
            if (!shown.isEmpty()) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, shown.center());
                if (QTest::qWaitFor([view] { return !view->isVisible(); }, 200))
                    break;
            } else {
                QTest::qWait(100);
            }
        }
        return !view->isVisible() && box->currentIndex() == row;
    }

private Q_SLOTS:
    void cleanup() { mRun.CleanUp(); }

    // Every key of a section reaches its control, the value shown proving it went to the right one; a
    // well-formed section is written back unchanged on OK. Hand-edited nonsense leaves the control as it
    // was before loading or takes what the number read gives; nothing breaks.
    void sectionKeys_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("pairs"); // KEY=VALUE;KEY=VALUE
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("writtenBack");
        const auto row = [](const char* name, const char* section, const QString& pairs, const char* control,
                            const QString& shown, bool writtenBack = false) {
            QTest::newRow(name) << QString::fromLatin1(section) << pairs << QString::fromLatin1(control) << shown
                                << writtenBack;
        };
        row("FedEx", "_WGX_FEDEX",
            u"AUTO_FILL=1;CNTRY1=3;CNTRY2=179;ZIP1=38017;ZIP2=10001;SERVICE=1;SHIP_TO_RES=0;PACK_NO=3;SHIP_DATE=4"_s,
            "cboShipDate", u"4 days later"_s, true);
        // The city pick fills the ZIP box; the stored ZIP, read after it, wins.
        row("eBay", "_WGX_EBAY",
            u"AUTO_FILL=1;PACK_SIZE=4;SHOW_RATE_TO=3;HEIGHT=5;WIDTH=6;LEN=7;ZIP1=95125;ZIP2=99999"_s, "txtEbayZIP2",
            u"99999"_s, true);
        row("DHL domestic", "_WGX_DHL",
            u"AUTO_FILL=1;ZIP1=83702;ZIP2=02115;SHIP_TO_RES=1;CNTRY2=267;SERVICE=1;HEIGHT=2;LEN=3;WIDTH=4;EMP=50;"
            u"SHIP_PRO_VAL=100;SAT=1;CITY=Boise"_s,
            "cboDHLService0", u"Ground"_s, true);
        row("DHL international", "_WGX_DHL", u"CNTRY2=10;SERVICE=1;CITY=Vienna"_s, "cboDHLService1",
            u"International Document (Non Dutiable)"_s, true);
        row("USPS business", "_WGX_USPS_BUSI", u"AUTO_FILL=1;ZIP1=10001;ZIP2=60601;NON=1;SIZE=1;RATE=1"_s,
            "cboUSPSBusiRate", u"Presorted"_s, true);
        row("UPS", "_WGX_UPS",
            u"AUTO_FILL=1;ZIP1=89501;ZIP2=73301;DOC=1;CNTRY1=3;CNTRY2=5;PACK_NO=4;CITY1=Reno;CITY2=Austin;CUS_VAL=120;"
            u"CUS_CNTRY=2;SHIP_TO_RES=1"_s,
            "txtUPSCity2", u"Austin"_s, true);
        row("USPS domestic", "_WGX_USPS_DOM", u"AUTO_FILL=1;SERVICE=1;ZIP1=10001;ZIP2=60601"_s, "optUSPSDom1", u"1"_s,
            true);
        row("USPS international", "_WGX_USPS_INT", u"AUTO_FILL=1;CNTRY=7"_s, "chkUSPSIntAutoFill", u"1"_s, true);
        row("country text", "_WGX_FEDEX", u"CNTRY1=abc"_s, "cboCntry1", u"U.S.A."_s);
        row("country past the end", "_WGX_FEDEX", u"CNTRY1=194"_s, "cboCntry1", u"U.S.A."_s);
        row("country -1: typed text", "_WGX_FEDEX", u"CNTRY2=-1"_s, "cboCntry2", QString());
        row("ship date letters", "_WGX_FEDEX", u"SHIP_DATE=soon"_s, "cboShipDate", u"Today"_s);
        row("ship date leading number", "_WGX_FEDEX", u"SHIP_DATE=3 days"_s, "cboShipDate", u"3 days later"_s);
        row("auto fill empty", "_WGX_FEDEX", u"AUTO_FILL="_s, "chkAutoFill", u"0"_s);
        row("auto fill 2", "_WGX_UPS", u"AUTO_FILL=2"_s, "chkUPSAutoFill", u"0"_s);
        row("huge position", "_WGX_UPS", u"CNTRY2=1e9"_s, "cboUPSCntry2", QString());
        row("number read check", "_WGX_UPS", u"DOC=1 yes"_s, "chkUPSDoc", u"1"_s);
        row("keys size keeps one rate", "_WGX_USPS_BUSI", u"SIZE=2;RATE=1"_s, "cboUSPSBusiRate", u"Single-Piece"_s);
        row("service past the end", "_WGX_DHL", u"CNTRY2=267;SERVICE=9"_s, "cboDHLService0", QString());
        // An empty option key reads as position 0, which means the opposite in the two sections.
        row("FedEx residence empty: No", "_WGX_FEDEX", u"SHIP_TO_RES="_s, "optFedRes0", u"1"_s);
        row("DHL residence empty: Yes", "_WGX_DHL", u"SHIP_TO_RES="_s, "optDHLRes0", u"1"_s);
    }
    void sectionKeys()
    {
        QFETCH(QString, section);
        QFETCH(QString, pairs);
        QFETCH(QString, control);
        QFETCH(bool, writtenBack);
        QVERIFY(Open(u"[%1]\n%2\n"_s.arg(section, QString(pairs).replace(u';', u'\n'))));
        QTEST(Shown(Control(control)), "shown");
        if (!writtenBack)
            return;
        Click(u"cmdOK"_s);
        QVERIFY(!Dialog()->isVisible());
        for (const QString& pair : pairs.split(u';')) {
            const QString key = pair.section(u'=', 0, 0);
            QCOMPARE(key + u'=' + mRun.Stored(section, key), pair);
        }
    }

    // The same nonsense in every key the dialog reads: it opens, and OK writes every key again.
    void nonsenseInEveryKey_data()
    {
        QTest::addColumn<QString>("nonsense");
        QTest::newRow("-5") << u"-5"_s;
        QTest::newRow("text") << u"abc"_s;
        QTest::newRow("past every list") << u"32767"_s;
        QTest::newRow("beyond 16 bits") << u"1e12"_s;
        QTest::newRow("empty") << QString();
    }
    void nonsenseInEveryKey()
    {
        QFETCH(QString, nonsense);
        QVERIFY(Open(QString()));
        Click(u"cmdOK"_s);
        QStringList lines = QString::fromUtf8(ReadBytes(mRun.Data1())).split(u'\n');
        QStringList layout; // the carrier sections and their keys, in the order written
        for (QString& line : lines) {
            if (line.startsWith(u"[_WGX_GENERAL]"_s) || (!layout.isEmpty() && line.startsWith(u'[')))
                layout << line;
            if (!line.startsWith(u'[') && line.contains(u'=') && !line.startsWith(u"AUTO_LAUNCH"_s)) {
                layout << line.section(u'=', 0, 0);
                line = line.section(u'=', 0, 0) + u'=' + nonsense;
            }
        }
        QCOMPARE(layout.join(u' '),
                 u"[_WGX_GENERAL] STARTUP PREPARE_BROWSER "
                 "[_WGX_FEDEX] AUTO_FILL CNTRY1 CNTRY2 ZIP1 ZIP2 SERVICE SHIP_TO_RES PACK_NO SHIP_DATE "
                 "[_WGX_EBAY] AUTO_FILL PACK_SIZE SHOW_RATE_TO HEIGHT WIDTH LEN ZIP1 ZIP2 "
                 "[_WGX_DHL] AUTO_FILL ZIP1 ZIP2 SHIP_TO_RES CNTRY2 SERVICE HEIGHT LEN WIDTH EMP SHIP_PRO_VAL SAT CITY "
                 "[_WGX_USPS_DOM] AUTO_FILL SERVICE ZIP1 ZIP2 [_WGX_USPS_INT] AUTO_FILL CNTRY "
                 "[_WGX_UPS] AUTO_FILL ZIP1 ZIP2 DOC CNTRY1 CNTRY2 PACK_NO CITY1 CITY2 CUS_VAL CUS_CNTRY SHIP_TO_RES "
                 "[_WGX_USPS_BUSI] AUTO_FILL ZIP1 ZIP2 NON SIZE RATE"_s);
        ProgramRun::Exit();
        QVERIFY(Open(lines.join(u'\n')));
        Click(u"cmdOK"_s);
        QCOMPARE(mRun.Stored(u"_WGX_UPS"_s, u"CITY2"_s), nonsense);
        QVERIFY(!mRun.Stored(u"_WGX_UPS"_s, u"CNTRY2"_s).isEmpty());
    }

    void carrierRules()
    {
        QVERIFY(Open(QString()));
        auto* show = Control<QComboBox>(u"cboEbayShow"_s);
        show->setCurrentIndex(show->findText(u"Boston"_s));
        QCOMPARE(Shown(Control(u"txtEbayZIP2"_s)), u"02115"_s);

        auto* size = Control<QComboBox>(u"cboUSPSBusiSize"_s);
        auto* rate = Control<QComboBox>(u"cboUSPSBusiRate"_s);
        rate->setCurrentIndex(1);
        size->setCurrentIndex(2);
        QCOMPARE(rate->count(), 1);
        QCOMPARE(rate->currentText(), u"Single-Piece"_s);
        size->setCurrentIndex(1);
        QCOMPARE(rate->itemText(1), u"Presorted"_s);

        // The city box stays as typed even when the destination disables it.
        auto* country = Control<QComboBox>(u"cboDHLCntry2"_s);
        auto* city = Control<QLineEdit>(u"txtDHLCity"_s);
        country->setCurrentIndex(10);
        QVERIFY(city->isEnabled());
        city->setText(u"Linz"_s);
        country->setCurrentIndex(267);
        QVERIFY(!city->isEnabled());
        Control<QComboBox>(u"cboDHLService0"_s)->setCurrentIndex(1);

        // A country typed that is not an entry is no position, one typed in full is its entry's; Enter in
        // the box confirms the dialog.
        Control<QComboBox>(u"cboCntry2"_s)->setEditText(u"Atlantis"_s);
        Control<QTabWidget>(u"TabStrip"_s)->setCurrentIndex(5);
        auto* typed = Control<QComboBox>(u"cboCntry1"_s);
        typed->setFocus();
        typed->lineEdit()->selectAll();
        QTest::keyClicks(typed, u"Canada"_s);
        QTest::keyClick(typed, Qt::Key_Return);
        QVERIFY(!Dialog()->isVisible());
        QCOMPARE(mRun.Stored(u"_WGX_DHL"_s, u"SERVICE"_s), u"1"_s);
        QCOMPARE(mRun.Stored(u"_WGX_DHL"_s, u"CITY"_s), u"Linz"_s);
        QCOMPARE(mRun.Stored(u"_WGX_FEDEX"_s, u"CNTRY1"_s), u"33"_s);
        QCOMPARE(mRun.Stored(u"_WGX_FEDEX"_s, u"CNTRY2"_s), u"-1"_s);
        // A text key the file lacks reads as empty text and empties the box.
        QCOMPARE(mRun.Stored(u"_WGX_FEDEX"_s, u"PACK_NO"_s), QString());
    }

    // Typed text is one value of one key whatever it holds.
    void hostileValuesKeepTheFileWhole_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("line break and section") << u"1\n[_WGX_GENERAL]\nSKIN=7"_s << u"1 [_WGX_GENERAL] SKIN=7"_s;
        QTest::newRow("equals") << u"=AUTO_FILL=1"_s << u"=AUTO_FILL=1"_s;
        QTest::newRow("carriage return") << u"a\r\nb"_s << u"a  b"_s;
        QTest::newRow("non-Latin") << u"東京都 Ünïcode ﻿ 𝄞"_s << u"東京都 Ünïcode ﻿ 𝄞"_s;
        QTest::newRow("10,000 characters") << QString(10000, u'9') << QString(10000, u'9');
    }
    void hostileValuesKeepTheFileWhole()
    {
        QFETCH(QString, typed);
        QVERIFY(Open(u"[_WGX_GENERAL]\nSKIN=2\nAUTO_LAUNCH=0\n[_WGX_UPS]\nAUTO_FILL=0\n"_s));
        Control<QLineEdit>(u"txtZip1"_s)->setText(typed);
        Control<QLineEdit>(u"txtUPSCity1"_s)->setText(typed);
        Click(u"cmdOK"_s);
        QTEST(mRun.Stored(u"_WGX_FEDEX"_s, u"ZIP1"_s), "stored");
        QTEST(mRun.Stored(u"_WGX_UPS"_s, u"CITY1"_s), "stored");
        QCOMPARE(mRun.Stored(u"_WGX_FEDEX"_s, u"ZIP2"_s), QString());
        QCOMPARE(mRun.Stored(u"_WGX_GENERAL"_s, u"SKIN"_s), u"2"_s);
        QCOMPARE(mRun.Stored(u"_WGX_UPS"_s, u"AUTO_FILL"_s), u"0"_s);
        // Eight sections, each header once, every line a header or a key.
        const QStringList lines = QString::fromUtf8(ReadBytes(mRun.Data1())).split(u'\n');
        QCOMPARE(lines.filter(QRegularExpression(u"^[^[A-Z_]"_s)), QStringList());
        QCOMPARE(lines.filter(QRegularExpression(u"^\\["_s)).size(), 8);
    }

    // Leaving without OK never saves what was typed or picked. Cancel and Escape put back the copy taken on
    // opening, the auto-launch choice made meanwhile too; the close box, and a Cancel with no copy taken at
    // this opening (never an older copy), leave that choice in effect.
    void leavingWithoutOK_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("copyTaken");
        QTest::addColumn<int>("autoLaunchAfter");
        QTest::newRow("Cancel") << u"cmdCancel"_s << true << 2;
        QTest::newRow("Escape") << u"Escape"_s << true << 2;
        QTest::newRow("close box") << u"close"_s << true << 5;
        QTest::newRow("Cancel, no copy taken") << u"cmdCancel"_s << false << 5;
    }
    void leavingWithoutOK()
    {
        QFETCH(QString, how);
        QFETCH(bool, copyTaken);
        QFETCH(int, autoLaunchAfter);
        if (!copyTaken) {
            QVERIFY(QDir().mkpath(Data2()));
            for (int opening = 0; opening < 2; ++opening)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"backup copy not taken"_s));
        }
        QVERIFY(Open(u"[_WGX_GENERAL]\r\nAUTO_LAUNCH=2\r\nSKIN=1\r\n; kept\r\n[_WGX_FEDEX]\r\nZIP1=38017\r\n"_s));
        const QByteArray before = ReadBytes(mRun.Data1());
        QCOMPARE(ReadBytes(Data2()), copyTaken ? before : QByteArray());
        QCOMPARE(Control<QComboBox>(u"cboWeb"_s)->currentIndex(), 2);
        // A page picked in the General tab's list takes effect at once, OK or not.
        Control<QComboBox>(u"cboWeb"_s)->setCurrentIndex(5);
        Dialog()->cboWeb_Click();
        QCOMPARE(mRun.Stored(u"_WGX_GENERAL"_s, u"AUTO_LAUNCH"_s), u"5"_s);
        QCOMPARE(Scale()->cboWeb()->currentIndex(), 5);
        Control<QLineEdit>(u"txtZip1"_s)->setText(u"99999"_s);
        Control<QToolButton>(u"Imgs6"_s)->click();

        if (how == u"Escape"_s)
            QTest::keyClick(Dialog(), Qt::Key_Escape);
        else if (how == u"close"_s)
            QVERIFY(Dialog()->close());
        else
            Click(how);
        QVERIFY(!Dialog()->isVisible());
        QVERIFY(Scale()->isEnabled());
        if (autoLaunchAfter == 2)
            QCOMPARE(ReadBytes(mRun.Data1()), before);
        QTEST(mRun.Stored(u"_WGX_GENERAL"_s, u"AUTO_LAUNCH"_s).toInt(), "autoLaunchAfter");
        QTEST(int(App().General().autoLaunch), "autoLaunchAfter");
        QTEST(Scale()->cboWeb()->currentIndex(), "autoLaunchAfter");
        QCOMPARE(mRun.Stored(u"_WGX_FEDEX"_s, u"ZIP1"_s), u"38017"_s);
        QCOMPARE(App().General().skin, qint16(1));
        QVERIFY(!ReadBytes(Data2()).contains("AUTO_LAUNCH=5"));
        QCOMPARE(QFileInfo(Data2()).isDir(), !copyTaken);

        // Opening again shows the file, not the abandoned edits.
        Scale()->ShowOptions();
        QCOMPARE(Shown(Control(u"txtZip1"_s)), u"38017"_s);
        QCOMPARE(Dialog()->ChosenSkin(), 1);
    }

    // Deleting a page renumbers the list, removes its sections with its frames' and the
    // main window follows; the auto-launch choice keeps naming the same page or falls to None.
    void deletePage_data()
    {
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("chosenAfter");
        // None, eight built-in pages, then A (9), B (10), C (11).
        QTest::newRow("the chosen page") << u"B"_s << 10 << QStringList {u"A"_s, u"C"_s, QString()} << 0;
        QTest::newRow("a page before the chosen one") << u"A"_s << 11 << QStringList {u"B"_s, u"C"_s, QString()} << 10;
    }
    void deletePage()
    {
        QFETCH(QString, deleted);
        QFETCH(int, chosen);
        QFETCH(QStringList, names);
        QString settings = u"[_WGX_GENERAL]\nAUTO_LAUNCH=%1\n[_WGX_WEB]\nCNT=3\n_WGX_NAME1=A\n_WGX_NAME2=B\n"
                           u"_WGX_NAME3=C\n"_s.arg(chosen);
        for (const QString& page : {u"A"_s, u"B"_s, u"C"_s})
            settings += u"[%1]\n_WGX_TITLE=%1 title\n_WGX_ADDRESS=http://%1.example/\n_WGX_FRM_CNT=2\n[%1_FRAME0]\n"
                        u"_WGX_FRM_CNT=0\n[%1_FRAME1]\n_WGX_FRM_CNT=1\n[%1_FRAME1_FRAME0]\nX=1\n"_s.arg(page);
        QVERIFY(Open(settings));
        auto* list = Control<QTreeWidget>(u"lvWebpage"_s);
        QCOMPARE(list->topLevelItemCount(), 3);

        // Nothing selected: nothing happens.
        Click(u"cmdDelete"_s);
        QCOMPARE(list->topLevelItemCount(), 3);

        list->setCurrentItem(list->findItems(deleted, Qt::MatchExactly).value(0));
        Click(u"cmdDelete"_s);
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(mRun.Stored(u"_WGX_WEB"_s, u"CNT"_s), u"2"_s);
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(mRun.Stored(u"_WGX_WEB"_s, u"_WGX_NAME"_s + QString::number(i + 1)), names.at(i));
        const QByteArray file = ReadBytes(mRun.Data1());
        for (const QString& gone : {u"[%1]"_s, u"[%1_FRAME0]"_s, u"[%1_FRAME1]"_s, u"[%1_FRAME1_FRAME0]"_s})
            QVERIFY(!file.contains(gone.arg(deleted).toUtf8()));
        for (const QString& kept : names.mid(0, 2))
            QVERIFY(file.contains((u"[%1_FRAME1_FRAME0]"_s.arg(kept)).toUtf8()));

        QTEST(int(App().General().autoLaunch), "chosenAfter");
        QTEST(mRun.Stored(u"_WGX_GENERAL"_s, u"AUTO_LAUNCH"_s).toInt(), "chosenAfter");
        QTEST(Control<QComboBox>(u"cboWeb"_s)->currentIndex(), "chosenAfter");
        QCOMPARE(App().gSession->Pages(), names.mid(0, 2));
        QCOMPARE(Scale()->cboWeb()->count(), 11);
        QCOMPARE(Scale()->cboWeb()->itemText(10), names.at(1));
        QTEST(Scale()->cboWeb()->currentIndex(), "chosenAfter");
    }

    // While the dialog holds the program modal, each of its lists, on every tab, drops down and takes a
    // click on a row, and the pop-up menu (the tray's and the right click's) still answers.
    void listsAndMenusAnswerTheMouse()
    {
        QVERIFY(Open(u"[_WGX_GENERAL]\nAUTO_LAUNCH=0\nTOP=0\n"_s));
        QVERIFY(!Scale()->isEnabled());
        auto* tabs = Dialog()->findChild<QTabWidget*>();
        QTabBar* bar = tabs->tabBar();
        int lists = 0;
        for (int tab = 0; tab < bar->count(); ++tab) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
            QCOMPARE(tabs->currentIndex(), tab);
            for (QComboBox* box : tabs->currentWidget()->findChildren<QComboBox*>()) {
                if (!box->isVisible() || box->count() < 2)
                    continue;
                const int row = box->currentIndex() == box->count() - 1 ? 0 : box->count() - 1;
                QVERIFY2(ChooseByMouse(box, row), qPrintable(box->objectName()));
                ++lists;
            }
        }
        QVERIFY2(lists >= 15, qPrintable(QString::number(lists)));

        QMenu* menu = Scale()->PopupMenu();
        menu->popup(QPoint(20, 20));
        QTRY_VERIFY(menu->isVisible());
        QAction* onTop = nullptr;
        for (QAction* action : menu->actions())
            onTop = action->text() == u"Always on Top"_s ? action : onTop;
        QVERIFY(onTop);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(onTop).center());
        QTRY_VERIFY(App().General().alwaysOnTop);
        Click(u"cmdCancel"_s);
        QVERIFY(Scale()->isEnabled());
    }

    // A deleted page's passwords leave the keyring when the dialog is left with OK; Cancel brings the
    // page back with them. The keyring is a real one (the test runs in a private D-Bus session).
    void deletedPagePasswords_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("kept");
        QTest::newRow("OK") << u"cmdOK"_s << false;
        QTest::newRow("Cancel") << u"cmdCancel"_s << true;
    }
    void deletedPagePasswords()
    {
        QFETCH(QString, how);
        QFETCH(bool, kept);
        SecretStore* store = SecretStore::Shared();
        QVERIFY(store);
        const QString origin = u"https://b.example:443"_s;
        const QList<SecretStore::Key> keys {{u"B"_s, origin, u"0_wgx_pw"_s}, {u"B_FRAME0"_s, origin, u"2_wgx_pw"_s}};
        int stored = 0;
        for (const SecretStore::Key& key : keys)
            store->Store(key, u"secret"_s, [&stored](bool ok, const QString&) { stored += ok ? 1 : 100; });
        QTRY_COMPARE(stored, 2);
        QVERIFY(Open(u"[_WGX_WEB]\nCNT=1\n_WGX_NAME1=B\n[B]\n_WGX_FRM_CNT=1\n_WGX_ORIGIN=%1\n"
                     "_WGX_KEYRING=0_wgx_pw\n[B_FRAME0]\n_WGX_ORIGIN=%1\n_WGX_KEYRING=2_wgx_pw\n"_s.arg(origin)));
        auto* list = Control<QTreeWidget>(u"lvWebpage"_s);
        list->setCurrentItem(list->findItems(u"B"_s, Qt::MatchExactly).value(0));
        Click(u"cmdDelete"_s);
        Click(how);
        QCOMPARE(App().gSession->Pages().size(), kept ? 1 : 0);
        int found = 0, answers = 0;
        for (const SecretStore::Key& key : keys) {
            store->Fetch(key, [&](const std::optional<QString>& secret, const QString&) {
                ++answers;
                found += secret == u"secret"_s ? 1 : 0;
            });
        }
        QTRY_COMPARE(answers, 2);
        QCOMPARE(found, kept ? 2 : 0);
    }

    // The colour in use writes nothing; the start-up box sets the entry. "Add" opens the program's own wizard
    // over the dialog. A page added through it goes into both lists at once; Cancel takes it out of the file
    // and the main window again.
    void colourStartupAndAddedPage()
    {
        QVERIFY(Open(u"[_WGX_GENERAL]\nAUTO_LAUNCH=0\n[_WGX_WEB]\nCNT=1\n_WGX_NAME1=A\n"_s));
        // The colour already in use: no key written, no re-skin.
        Control<QToolButton>(u"Imgs0"_s)->click();
        auto* startup = Control<QCheckBox>(u"chkAutoStart"_s);
        startup->setChecked(true);
        const qint64 panel = Scale()->picPanel()->pixmap().cacheKey();
        Click(u"cmdOK"_s);
        QVERIFY(!ReadBytes(mRun.Data1()).contains("SKIN"));
        QCOMPARE(Scale()->picPanel()->pixmap().cacheKey(), panel);
        QCOMPARE(mRun.Stored(u"_WGX_GENERAL"_s, u"STARTUP"_s), u"1"_s);
        QVERIFY(Autostart::IsRegistered());

        Scale()->ShowOptions();
        startup->setChecked(false);
        Control<QToolButton>(u"Imgs4"_s)->click();
        Click(u"cmdOK"_s);
        QCOMPARE(mRun.Stored(u"_WGX_GENERAL"_s, u"STARTUP"_s), u"0"_s);
        QVERIFY(!Autostart::IsRegistered());
        QCOMPARE(mRun.Stored(u"_WGX_GENERAL"_s, u"SKIN"_s), u"4"_s);
        QCOMPARE(App().General().skin, qint16(4));
        QVERIFY(Scale()->picPanel()->pixmap().cacheKey() != panel);

        Scale()->ShowOptions();
        const QByteArray before = ReadBytes(mRun.Data1());
        auto* list = Control<QTreeWidget>(u"lvWebpage"_s);
        Click(u"cmdAdd"_s);
        auto* wizard = Dialog()->findChild<frmAddWeb*>();
        QVERIFY(wizard && wizard->isVisible());
        QCOMPARE(wizard->windowModality(), Qt::WindowModal);
        wizard->cmdCancel_Click();
        QCOMPARE(list->topLevelItemCount(), 1);

        int shown = 0;
        QWidget* owner = nullptr;
        Dialog()->SetAddPageWizard([&](QWidget* over, const std::function<void(const QString&)>& added) {
            ++shown;
            owner = over;
            // What the wizard leaves behind when the user finishes it.
            IniFile& settings = App().gSession->Settings();
            settings.Section(u"Shop"_s).Key(u"_WGX_TITLE"_s).SetValue(u"Shop rates"_s);
            settings.Section(u"Shop"_s).Key(u"_WGX_ADDRESS"_s).SetValue(u"http://shop.example/"_s);
            settings.Section(u"_WGX_WEB"_s).Key(u"CNT"_s).SetValue(2);
            settings.Section(u"_WGX_WEB"_s).Key(u"_WGX_NAME2"_s).SetValue(u"Shop"_s);
            // The wizard rebuilds the main window's list itself; the page must not show twice.
            MMain::LoadWebPages();
            added(u"Shop"_s);
        });
        Click(u"cmdAdd"_s);
        QCOMPARE(shown, 1);
        QCOMPARE(owner, static_cast<QWidget*>(MMain::Windows().options));
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(1), u"Shop rates"_s);
        QCOMPARE(Control<QComboBox>(u"cboWeb"_s)->itemText(10), u"Shop"_s);
        QCOMPARE(Scale()->cboWeb()->count(), 11);
        QCOMPARE(Scale()->cboWeb()->itemText(10), u"Shop"_s);
        QCOMPARE(Scale()->AutoLaunchMenu()->actions().size(), 12);

        Click(u"cmdCancel"_s);
        QCOMPARE(ReadBytes(mRun.Data1()), before);
        QCOMPARE(App().gSession->Pages(), QStringList {u"A"_s});
        QCOMPARE(Scale()->cboWeb()->count(), 10);
        QCOMPARE(Scale()->AutoLaunchMenu()->actions().last()->text(), u"A"_s);

        // At the limit the wizard is not even shown.
        {
            const IniFile::Batch batch(App().gSession->Settings());
            for (int i = int(App().gSession->Pages().size()); i < UserPages::MaxPages; ++i)
                QVERIFY(UserPages::Add(App().gSession->Settings(), u"Page %1"_s.arg(i)));
        }
        MMain::LoadWebPages();
        QCOMPARE(App().gSession->Pages().size(), UserPages::MaxPages);
        Scale()->ShowOptions();
        Click(u"cmdAdd"_s);
        QCOMPARE(shown, 1);
    }

    // A country typed in another letter case than its entry is no position; "Select a city..." leaves the
    // ZIP box as it was.
    void typedCaseAndNoCity()
    {
        QVERIFY(Open(u"[_WGX_EBAY]\nSHOW_RATE_TO=3\nZIP2=99999\n"_s));
        Control<QComboBox>(u"cboEbayShow"_s)->setCurrentIndex(0);
        QCOMPARE(Shown(Control(u"txtEbayZIP2"_s)), u"99999"_s);
        Control<QComboBox>(u"cboCntry1"_s)->setEditText(u"canada"_s);
        Click(u"cmdOK"_s);
        QCOMPARE(mRun.Stored(u"_WGX_FEDEX"_s, u"CNTRY1"_s), u"-1"_s);
        QCOMPARE(mRun.Stored(u"_WGX_EBAY"_s, u"ZIP2"_s), u"99999"_s);
    }
};

QTEST_MAIN(tst_frmOption)
#include "tst_frmoption.moc"
