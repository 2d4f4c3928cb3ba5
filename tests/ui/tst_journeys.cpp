// Journeys through the program as people take them: started as main() starts it, on a desktop of its own
// (an X server with a window manager, or a Wayland compositor), used with real input and ended in what the
// person would look at. On X11 every click and key goes through the X server (xdotool) to wherever it lands,
// pop-up lists included; elsewhere the same clicks are sent to the real widgets as events.
//
// Each journey is a data row of steps, one line each: a verb, a widget ("window.child") and the rest.
#include "AppState.h"
#include "Autostart.h"
#include "BrowserFixture.h"
#include "CPageLauncher.h"
#include "CWebHelper.h"
#include "ChromiumBrowser.h"
#include "DevToolsSession.h"
#include "PageProbe.h"
#include "ProgramRun.h"
#include "SimulatedUsbDevice.h"
#include "TestFiles.h"
#include "frmAddWeb.h"
#include "frmScale.h"
#include "frmSimulator.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {
constexpr int kWaitMs = 20000;
const QString kShop = u"https://shop.example.test/checkout"_s;

bool OnX11()
{
    return QGuiApplication::platformName() == u"xcb"_s;
}

bool Xdotool(const QStringList& args)
{
    QProcess tool;
    tool.start(u"xdotool"_s, args);
    // The program keeps running while the tool works: it may be what the tool waits for.
    return QTest::qWaitFor([&tool] { return tool.state() == QProcess::NotRunning; }, kWaitMs)
        && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

// "frmOption.cboWeb": a child of a window by their names; "frmOption" the window itself.
QWidget* Find(const QString& path)
{
    const QString window = path.section(u'.', 0, 0);
    const QString child = path.section(u'.', 1);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == window && (w->isVisible() || child.isEmpty()))
            return child.isEmpty() ? w : w->findChild<QWidget*>(child);
    }
    return nullptr;
}

// What a person reads off a control.
QString Shown(QWidget* w)
{
    if (!w)
        return u"<none>"_s;
    if (auto* box = qobject_cast<QCheckBox*>(w))
        return box->isChecked() ? u"true"_s : u"false"_s;
    if (auto* list = qobject_cast<QComboBox*>(w))
        return list->currentText();
    if (auto* text = qobject_cast<QLineEdit*>(w))
        return text->text();
    return w->isVisible() ? u"shown"_s : u"hidden"_s;
}

// A click where the person sees the point: once the window is on the screen, at its place there.
bool Click(QWidget* w, QPoint at = {-1, -1}, Qt::MouseButton button = Qt::LeftButton)
{
    if (!w || !QTest::qWaitFor([w] { return w->isVisible(); }, kWaitMs)
        || !QTest::qWaitForWindowExposed(w->window(), kWaitMs))
        return false;
    // A check box takes clicks on its box and caption only, at its left however wide it is laid out.
    if (at == QPoint(-1, -1) && qobject_cast<QCheckBox*>(w)) {
        QStyleOptionButton box;
        box.initFrom(w);
        at = w->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &box, w).center();
    }
    if (at == QPoint(-1, -1))
        at = w->rect().center();
    if (!OnX11()) {
        QTest::mouseClick(w, button, {}, at);
        return true;
    }
    // Moved, then seen there by the X server, then clicked: xdotool's own --sync waits for a motion, and there is
    // none when the pointer already is at the spot (the same button of a window placed where the last one was).
    const QPoint global = w->mapToGlobal(at);
    return Xdotool({u"mousemove"_s, QString::number(global.x()), QString::number(global.y())})
        && QTest::qWaitFor([global] { return QCursor::pos() == global; }, kWaitMs)
        && Xdotool({u"click"_s, button == Qt::LeftButton ? u"1"_s : u"3"_s});
}

bool Type(const QString& text)
{
    if (OnX11())
        return Xdotool({u"type"_s, u"--delay"_s, u"30"_s, u"--"_s, text});
    QTest::keyClicks(QApplication::focusWidget(), text);
    return true;
}

bool Key(const QString& x11Name, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    if (OnX11())
        return Xdotool({u"key"_s, x11Name});
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    return true;
}

// Opens a list by a click on it; its rows, once they are on the screen.
QAbstractItemView* OpenList(QWidget* w)
{
    auto* list = qobject_cast<QComboBox*>(w);
    if (!list || !Click(list))
        return nullptr;
    QAbstractItemView* rows = list->view();
    return QTest::qWaitFor([rows] { return rows->isVisible(); }, kWaitMs)
            && QTest::qWaitForWindowExposed(rows->window(), kWaitMs)
        ? rows
        : nullptr;
}

// Browser input: the field focused and the text inserted as typed text, so the page's scripts see it.
bool TypeInPage(ChromiumBrowser* page, const QString& field, const QString& text)
{
    const std::string focus = "document.getElementsByName('" + field.toStdString() + "')[0].focus()";
    return page && page->Session()->Call("Runtime.evaluate", {{"expression", focus}}, page->SessionId())
        && page->Session()->Call("Input.insertText", {{"text", text.toStdString()}}, page->SessionId());
}
} // namespace

class tst_Journeys : public QObject
{
    Q_OBJECT

    ProgramRun::Folder mRun;
    QByteArray mKept;

    // The program as main() starts it with --simulate: the simulated scale (without drift) and its control window
    // beside the display; pages open in the tests' browser.
    bool Start()
    {
        QPointer<SimulatedUsbDevice> scale;
        const bool started = mRun.Start(QString(), {}, false, [&scale] {
            auto device = std::make_unique<SimulatedUsbDevice>();
            // Exact readings: the page is filled with what was put on, whenever the weight settles.
            device->SetNoiseAndDrift(false);
            scale = device.get();
            return device;
        });
        App().gBrowserFactory = [](WebPageUse, QString* error) {
            return BrowserFixture::OpenPage(error);
        };
        if (!started || !scale)
            return false;
        auto* control = new frmSimulator(scale);
        control->move(MMain::Windows().shown->frameGeometry().topRight() + QPoint(12, 0));
        control->show();
        return true;
    }

    // One step; false, with the reason in *why, when it could not be taken or did not end as the person expects.
    bool Step(const QString& line, QString* why)
    {
        const QString verb = line.section(u' ', 0, 0);
        const QString target = line.section(u' ', 1, 1);
        const QString rest = line.section(u' ', 2);
        // A window opened by the step before may still be on its way to the screen.
        static const QStringList acting {u"click"_s,  u"rightclick"_s, u"type"_s,   u"pick"_s,
                                         u"typein"_s, u"placed"_s,     u"outline"_s};
        QWidget* w = Find(target);
        if (acting.contains(verb) && !QTest::qWaitFor([&] { return (w = Find(target)) != nullptr; }, kWaitMs))
            return *why = target + u" not on the screen"_s, false;
        if (verb == u"click"_s)
            return Click(w);
        if (verb == u"rightclick"_s)
            return Click(w, {-1, -1}, Qt::RightButton);
        if (verb == u"menu"_s) { // an entry of the window's pop-up menu
            QMenu* menu = nullptr;
            if (!QTest::qWaitFor([&menu] { return (menu = static_cast<QMenu*>(Find(u"mnuPopup0"_s))) != nullptr; },
                                 kWaitMs))
                return *why = u"no menu"_s, false;
            const auto entries = menu->actions();
            for (QAction* entry : entries) {
                if (entry->text() == line.section(u' ', 1))
                    return Click(menu, menu->actionGeometry(entry).center());
            }
            return *why = u"no menu"_s, false;
        }
        if (verb == u"key"_s) // the keyboard's menu key
            return Key(u"Menu"_s, Qt::Key_Menu);
        if (verb == u"placed"_s) // where the window manager put it, not at the screen's corner
            return w && QTest::qWaitForWindowExposed(w)
                && w->frameGeometry().topLeft() != w->screen()->geometry().topLeft();
        if (verb == u"outline"_s) { // the skin's corner is neither shown nor takes clicks
            const QImage shot = w ? w->grab().toImage() : QImage();
            return w && !w->mask().contains(QPoint(0, 0)) && (OnX11() || qAlpha(shot.pixel(0, 0)) == 0);
        }
        if (verb == u"tab"_s) { // a tab of the options by its caption
            QTabWidget* tabs = nullptr;
            if (!QTest::qWaitFor(
                    [&tabs] { return (tabs = static_cast<QTabWidget*>(Find(u"frmOption.TabStrip"_s))) != nullptr; },
                    kWaitMs))
                return *why = u"no options dialog"_s, false;
            const QString caption = line.section(u' ', 1);
            for (int i = 0; tabs && i < tabs->count(); ++i) {
                if (tabs->tabText(i) == caption)
                    return Click(tabs->tabBar(), tabs->tabBar()->tabRect(i).center())
                        && QTest::qWaitFor([tabs, i] { return tabs->currentIndex() == i; }, kWaitMs);
            }
            return false;
        }
        if (verb == u"type"_s) { // into a text box, over what it held, once the box has the keyboard
            if (!Click(w) || !QTest::qWaitFor([w] { return w->hasFocus(); }, kWaitMs))
                return *why = u"no focus"_s, false;
            if (!Key(u"ctrl+a"_s, Qt::Key_A, Qt::ControlModifier) || !Type(rest))
                return *why = u"xdotool failed"_s, false;
            return QTest::qWaitFor([w, rest] { return Shown(w) == rest; }, kWaitMs)
                || (*why = u"shows "_s + Shown(w), false);
        }
        if (verb == u"pick"_s) { // a row of a list, by mouse
            QAbstractItemView* rows = OpenList(w);
            const QModelIndexList found = rows
                ? rows->model()->match(rows->model()->index(0, 0), Qt::DisplayRole, rest, 1, Qt::MatchExactly)
                : QModelIndexList();
            if (found.isEmpty() || !rows->viewport()->rect().contains(rows->visualRect(found.first()).center()))
                return *why = u"no row %1 in sight"_s.arg(rest), false;
            return Click(rows->viewport(), rows->visualRect(found.first()).center());
        }
        if (verb == u"typein"_s) // a list opened by mouse, the row found by typing its first letters
            return OpenList(w) && Type(rest) && Key(u"Return"_s, Qt::Key_Return);
        if (verb == u"shows"_s) {
            if (!QTest::qWaitFor([&] { return Shown(Find(target)) == rest; }, kWaitMs))
                return *why = u"shows %1"_s.arg(Shown(Find(target))), false;
            return true;
        }
        if (verb == u"stored"_s) {
            const QString stored = mRun.Stored(target.section(u'/', 0, 0), target.section(u'/', 1));
            return stored == rest || (*why = u"stored: %1"_s.arg(stored), false);
        }
        if (verb == u"keep"_s)
            return !(mKept = ReadBytes(mRun.Data1())).isEmpty();
        if (verb == u"kept"_s)
            return ReadBytes(mRun.Data1()) == mKept || (*why = QString::fromUtf8(ReadBytes(mRun.Data1())), false);
        if (verb == u"restart"_s) {
            ProgramRun::CleanUp();
            return Start();
        }
        if (verb == u"startup"_s) // the entry that starts the program with the session
            return Autostart::IsRegistered() || (*why = Autostart::EntryPath() + u" missing"_s, false);
        if (verb == u"ended"_s)
            return QTest::qWaitFor([] { return !MMain::Windows().scale; }, kWaitMs) && QFile::exists(mRun.Data1());
        // The wizard's browser: the person goes to the page and types into its fields.
        auto* wizard = static_cast<frmAddWeb*>(Find(u"frmAddWeb"_s));
        auto* page = wizard ? static_cast<ChromiumBrowser*>(wizard->Browser()) : nullptr;
        if (verb == u"browse"_s)
            return page && BrowserFixture::Load(*page, target)
                && QTest::qWaitFor([wizard] { return wizard->PageLoaded(); }, kWaitMs);
        if (verb == u"fill"_s)
            return TypeInPage(page, target, rest);
        // The page launched on the weight, as the person sees it filled.
        const auto launched = [] {
            CPageLauncher* launcher = App().gSession ? App().gSession->Launcher() : nullptr;
            CWebHelper* helper = launcher ? launcher->WebHelper() : nullptr;
            auto* shown = helper ? static_cast<ChromiumBrowser*>(helper->Browser()) : nullptr;
            return shown ? shown->Document() : nullptr;
        };
        if (verb == u"filled"_s) {
            QStringList wrong {u"no page launched"_s};
            const bool filled = QTest::qWaitFor(
                [&] {
                    const auto document = launched();
                    wrong = document ? PageProbe::Mismatches(document.get(), target) : wrong;
                    return document && wrong.isEmpty();
                },
                kWaitMs);
            return filled || (*why = wrong.join(u'\n'), false);
        }
        if (verb == u"weighed"_s) { // the weight field, within 5 %: when the weight settles depends on the load
            QString read;
            const bool near = QTest::qWaitFor(
                [&] {
                    const auto document = launched();
                    read = document ? PageProbe::Read(document.get(), target + u"="_s).section(u'=', 1) : QString();
                    return qAbs(read.toDouble() - rest.toDouble()) <= 0.05 * rest.toDouble();
                },
                kWaitMs);
            qInfo().noquote() << "filled with" << read << "for" << rest;
            return near || (*why = read, false);
        }
        return *why = u"unknown step"_s, false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // On the desktop the run asked for, not a fallback that would pass without one.
        const QString wanted = qEnvironmentVariable("QT_QPA_PLATFORM");
        if (!wanted.isEmpty())
            QCOMPARE(QGuiApplication::platformName(), wanted);
        qInfo().noquote() << "platform" << QGuiApplication::platformName();
    }

    void init()
    {
        // Wherever it runs, the program starts and goes without a warning.
        QTest::failOnWarning(QRegularExpression(u".*"_s));
    }

    void cleanup()
    {
        // What the screen showed when a journey failed, where the run asks for it.
        const QString shots = qEnvironmentVariable("PESAVO_JOURNEY_SHOTS");
        if (QTest::currentTestFailed() && OnX11() && !shots.isEmpty())
            QProcess::execute(
                u"import"_s,
                {u"-window"_s, u"root"_s, shots + u"/"_s + QString::fromLatin1(QTest::currentDataTag()) + u".png"_s});
        mRun.CleanUp();
    }

    void journey_data()
    {
        QTest::addColumn<QStringList>("steps");
        // The one journey also taken on Wayland, where nothing but clicks reaches the program.
        QTest::newRow("options open, cancel and quit") << QStringList {u"outline frmScale"_s,
                                                                       u"click frmScale.picOpt"_s,
                                                                       u"shows frmOption shown"_s,
                                                                       u"click frmOption.cmdCancel"_s,
                                                                       u"shows frmOption hidden"_s,
                                                                       u"click frmScale.picCls"_s,
                                                                       u"ended"_s};
        QTest::newRow("the window's own menu without a tray: on top over a restart, compact display and back")
            << QStringList {u"rightclick frmScale.picPanel"_s,
                            u"menu Always on Top"_s,
                            u"restart"_s,
                            u"placed frmScale"_s,
                            u"rightclick frmScale.picPanel"_s,
                            u"menu Small Display"_s,
                            u"shows frmLCDDisplay shown"_s,
                            u"click frmLCDDisplay.picBox"_s,
                            u"key Menu"_s,
                            u"menu Small Display"_s,
                            u"shows frmScale shown"_s};
        QTest::newRow("auto-launch page in both lists, kept over a restart")
            << QStringList {u"shows frmScale.cboWeb None"_s,
                            u"pick frmScale.cboWeb UPS"_s,
                            u"click frmScale.picOpt"_s,
                            u"shows frmOption.cboWeb UPS"_s,
                            u"pick frmOption.cboWeb DHL Rates"_s,
                            u"click frmOption.cmdOK"_s,
                            u"restart"_s,
                            u"shows frmScale.cboWeb DHL Rates"_s,
                            u"click frmScale.picOpt"_s,
                            u"shows frmOption.cboWeb DHL Rates"_s};
        QTest::newRow("carrier tab by mouse and keyboard, Cancel keeps the file")
            << QStringList {u"click frmScale.picOpt"_s,
                            u"tab DHL"_s,
                            u"click frmOption.chkDHLAutoFill"_s,
                            u"type frmOption.txtDHLZip1 10115"_s,
                            u"typein frmOption.cboDHLCntry2 Germ"_s,
                            u"click frmOption.cmdOK"_s,
                            u"stored _WGX_DHL/ZIP1 10115"_s,
                            u"click frmScale.picOpt"_s,
                            u"tab DHL"_s,
                            u"shows frmOption.chkDHLAutoFill true"_s,
                            u"shows frmOption.cboDHLCntry2 Germany"_s,
                            u"shows frmOption.txtDHLZip1 10115"_s,
                            u"keep"_s,
                            u"type frmOption.txtDHLZip1 99999"_s,
                            u"click frmOption.chkDHLAutoFill"_s,
                            u"click frmOption.cmdCancel"_s,
                            u"kept"_s};
        QTest::newRow("run at startup, no browser prepared")
            << QStringList {u"click frmScale.picOpt"_s,
                            u"click frmOption.chkAutoStart"_s,
                            u"shows frmOption.chkAutoStart true"_s,
                            u"click frmOption.chkPrepare"_s,
                            u"click frmOption.cmdOK"_s,
                            u"startup"_s,
                            u"stored _WGX_GENERAL/PREPARE_BROWSER 0"_s};
        QTest::newRow("teach a page, then weigh") << QStringList {u"click frmScale.picOpt"_s,
                                                                  u"tab Add Web Page"_s,
                                                                  u"click frmOption.cmdAdd"_s,
                                                                  u"type frmAddWeb.txtName Corner Shop"_s,
                                                                  u"click frmAddWeb.cmdNext"_s,
                                                                  u"browse "_s + kShop,
                                                                  u"fill zip 10115"_s,
                                                                  u"fill weight KG"_s,
                                                                  u"click frmAddWeb.cmdNext"_s,
                                                                  u"click frmAddWeb.cmdFinish"_s,
                                                                  u"click frmOption.cmdOK"_s,
                                                                  u"pick frmScale.cboWeb Corner Shop"_s,
                                                                  u"click frmSimulator.cmdLoad1000"_s,
                                                                  u"filled 0_wgx_zip=10115"_s,
                                                                  u"weighed 0_wgx_weight 1"_s};
    }

    void journey()
    {
        QFETCH(QStringList, steps);
        if (!steps.filter(QRegularExpression(u"^browse "_s)).isEmpty()) {
            BrowserFixture& fixture = BrowserFixture::Instance();
            QVERIFY2(fixture.IsReady(), qPrintable(fixture.LastError()));
            fixture.ServeTaughtShop();
        }
        QVERIFY(Start());
        for (const QString& line : std::as_const(steps)) {
            QString why;
            QVERIFY2(Step(line, &why), qPrintable(line + u": "_s + why));
        }
    }
};

QTEST_MAIN(tst_Journeys)
#include "tst_journeys.moc"
