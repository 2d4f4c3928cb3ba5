#include "BrowserFixture.h"
#include "ChromiumBrowser.h"
#include "DevToolsSession.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace {
using Json = nlohmann::json;
const QString kHost = QStringLiteral("https://www.example-carrier.test");
const QString kFormUrl = kHost + QStringLiteral("/ratefinder/home?cc=US&language=en");

// Reads the page directly, independent of the element code under test; the value as JSON text.
QString PageValue(ChromiumBrowser& page, const char* expression)
{
    const auto reply = page.Session()->Call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}},
                                            page.SessionId());
    if (!reply || !reply->contains("result"))
        return QStringLiteral("<no reply>");
    return QString::fromStdString((*reply)["result"].value("value", Json()).dump());
}

QString Js(const Json& value)
{
    return QString::fromStdString(value.dump());
}
} // namespace

class TestDevToolsBrowser : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<ChromiumBrowser> mPage;
    std::shared_ptr<HtmlDocument> LoadForm()
    {
        if (!BrowserFixture::Load(*mPage, kFormUrl))
            return nullptr;
        return mPage->Document();
    }

private Q_SLOTS:
    void initTestCase()
    {
        BrowserFixture& fixture = BrowserFixture::Instance();
        QVERIFY2(fixture.IsReady(), qPrintable(fixture.LastError()));
        fixture.Serve(kHost + QStringLiteral("/ratefinder/"), QStringLiteral("browser/form.html"));
        fixture.Serve(kHost + QStringLiteral("/business/home"), QStringLiteral("browser/frameset.html"));
        fixture.Serve(kHost + QStringLiteral("/business/banner.html"), QStringLiteral("browser/banner.html"));
        fixture.Serve(kHost + QStringLiteral("/business/form.html"), QStringLiteral("browser/form.html"));
        fixture.Serve(kHost + QStringLiteral("/stall"), QStringLiteral("browser/stall.html"));
        fixture.Hold(kHost + QStringLiteral("/never"));
    }
    void init()
    {
        mPage = BrowserFixture::Instance().NewPage();
        QVERIFY(mPage);
    }
    void cleanup()
    {
        if (mPage)
            mPage->ClosePage();
        mPage.reset();
    }

    void loadsInterceptedAddress()
    {
        const int answeredBefore = BrowserFixture::Instance().Answered();
        QSignalSpy progress(mPage.get(), &WebBrowser::ProgressChange);
        QVERIFY(BrowserFixture::Load(*mPage, kFormUrl));
        QCOMPARE(progress.first(), (QList<QVariant> {0, 0}));
        QCOMPARE(mPage->ReadyState(), 4);
        auto document = mPage->Document();
        QVERIFY(document);
        QCOMPARE(document->URL(), std::optional<QString>(kFormUrl));
        QCOMPARE(BrowserFixture::Instance().Answered(), answeredBefore + 1);
        QCOMPARE(PageValue(*mPage, "location.origin"), Js(Json(kHost.toStdString())));
        QCOMPARE(PageValue(*mPage, "isSecureContext"), Js(Json(true)));
    }

    void lookUp_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("type");
        QTest::newRow("by name") << QStringLiteral("weight") << 1 << QStringLiteral("text");
        QTest::newRow("by id only") << QStringLiteral("zipOnly") << 1 << QStringLiteral("text");
        QTest::newRow("id and name differ, id") << QStringLiteral("wgt") << 1 << QStringLiteral("text");
        QTest::newRow("select") << QStringLiteral("service") << 1 << QStringLiteral("select-one");
        QTest::newRow("textarea") << QStringLiteral("notes") << 1 << QStringLiteral("textarea");
        QTest::newRow("radio group") << QStringLiteral("units") << 3 << QStringLiteral("radio");
        QTest::newRow("missing") << QStringLiteral("noSuchField") << 0 << QString();
        QTest::newRow("quote in name") << QStringLiteral("weight\"]") << 0 << QString();
    }
    void lookUp()
    {
        QFETCH(QString, name);
        QFETCH(int, length);
        QFETCH(QString, type);
        auto document = LoadForm();
        QVERIFY(document);
        auto element = document->All(name);
        if (length == 0) {
            QVERIFY(!element);
            return;
        }
        QVERIFY(element);
        QCOMPARE(element->Length(), length);
        QCOMPARE(element->Item(0)->Type(), std::optional<QString>(type));
        QVERIFY(!element->Item(length));
        QVERIFY(!element->Item(-1));
    }

    void radioMembers_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::newRow("first") << 0 << QStringLiteral("lb");
        QTest::newRow("middle") << 1 << QStringLiteral("kg");
        QTest::newRow("last") << 2 << QStringLiteral("oz");
    }
    void radioMembers()
    {
        QFETCH(int, index);
        QFETCH(QString, value);
        auto document = LoadForm();
        QVERIFY(document);
        auto group = document->All(QStringLiteral("units"));
        QVERIFY(group);
        QVERIFY(group->Item(index)->SetChecked(true));
        QCOMPARE(group->Item(index)->Value(), std::optional<QString>(value));
        for (int i = 0; i < group->Length(); ++i)
            QCOMPARE(group->Item(i)->Checked(), std::optional<bool>(i == index));
        QCOMPARE(PageValue(*mPage, "document.querySelector('input[name=units]:checked').value"),
                 Js(Json(value.toStdString())));
        // The group as a whole is not a field.
        QVERIFY(!group->SetValue(QStringLiteral("x")));
        QVERIFY(!group->Checked());
    }

    void setText_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringLiteral("weight") << QStringLiteral("12.5");
        QTest::newRow("hostile") << QStringLiteral("weight")
                                 << QStringLiteral("a\"b'c\\d</script><script>alert(1)</script>${x}`");
        QTest::newRow("hostile with line break")
            << QStringLiteral("notes") << QStringLiteral("line1\nline2 \"q\" \\ </script>");
        QTest::newRow("non-ascii") << QStringLiteral("zipOnly") << QStringLiteral("Zürich ✓ 東京");
        QTest::newRow("empty") << QStringLiteral("weight") << QString();
    }
    void setText()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        auto document = LoadForm();
        QVERIFY(document);
        auto element = document->All(field);
        QVERIFY(element);
        QVERIFY(element->SetValue(text));
        QCOMPARE(element->Value(), std::optional<QString>(text));
        // Nothing the value held was run as script.
        QCOMPARE(PageValue(*mPage, "document.scripts.length"), Js(Json(1)));
        const std::string expression = "document.all['" + field.toStdString() + "'].value";
        QCOMPARE(PageValue(*mPage, expression.c_str()), Js(Json(text.toStdString())));
    }

    void setNumber_data()
    {
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("fraction") << 2.5 << QStringLiteral("2.5");
        QTest::newRow("whole") << 3.0 << QStringLiteral("3");
        QTest::newRow("zero") << 0.0 << QStringLiteral("0");
        QTest::newRow("binary fraction") << (0.1 + 0.2) << QStringLiteral("0.30000000000000004");
        QTest::newRow("large") << 1e21 << QStringLiteral("1e+21");
        QTest::newRow("negative") << -0.25 << QStringLiteral("-0.25");
    }
    void setNumber()
    {
        QFETCH(double, number);
        QFETCH(QString, text);
        auto document = LoadForm();
        QVERIFY(document);
        auto weight = document->All(QStringLiteral("weight"));
        QVERIFY(weight);
        QVERIFY(weight->SetValue(number));
        QCOMPARE(weight->Value(), std::optional<QString>(text));
    }

    void selectAndCheck_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("selectable");
        QTest::newRow("first option") << QStringLiteral("service") << 0 << true;
        QTest::newRow("last option") << QStringLiteral("service") << 2 << true;
        QTest::newRow("text field") << QStringLiteral("weight") << 1 << false;
    }
    void selectAndCheck()
    {
        QFETCH(QString, field);
        QFETCH(int, index);
        QFETCH(bool, selectable);
        auto document = LoadForm();
        QVERIFY(document);
        auto element = document->All(field);
        QVERIFY(element);
        QCOMPARE(element->SetSelectedIndex(index), selectable);
        if (selectable) {
            QCOMPARE(element->SelectedIndex(), std::optional<int>(index));
            QCOMPARE(PageValue(*mPage, "document.all.service.selectedIndex"), Js(Json(index)));
        } else {
            QVERIFY(!element->SelectedIndex());
        }
        // A select has no checked state; a checkbox does.
        QVERIFY(!document->All(QStringLiteral("service"))->SetChecked(true));
        auto box = document->All(QStringLiteral("residential"));
        QVERIFY(box->SetChecked(true));
        QCOMPARE(box->Checked(), std::optional<bool>(true));
        QVERIFY(box->SetChecked(false));
        QCOMPARE(PageValue(*mPage, "document.all.residential.checked"), Js(Json(false)));
    }

    void clickRunsHandler()
    {
        auto document = LoadForm();
        QVERIFY(document);
        QVERIFY(document->All(QStringLiteral("calc"))->Click());
        QCOMPARE(PageValue(*mPage, "document.getElementById('log').textContent"), Js(Json("clicked")));
    }

    void fireOnChange_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("fires");
        QTest::newRow("handler") << QStringLiteral("weight") << true;
        QTest::newRow("handler throws") << QStringLiteral("broken") << false;
        QTest::newRow("no handler") << QStringLiteral("zipOnly") << false;
    }
    void fireOnChange()
    {
        QFETCH(QString, field);
        QFETCH(bool, fires);
        auto document = LoadForm();
        QVERIFY(document);
        QCOMPARE(document->All(field)->FireOnChange(), fires);
        QCOMPARE(PageValue(*mPage, "JSON.stringify(changes)"), Js(Json(fires ? "[true]" : "[]")));
    }

    void allItemWalksDocumentOrder()
    {
        auto document = LoadForm();
        QVERIFY(document);
        // html, head, title, script, body, form, then the fields in order
        const QStringList expected = {QStringLiteral("text"), QStringLiteral("text"), QStringLiteral("textarea")};
        QStringList types;
        for (int i = 6; i < 9; ++i) {
            auto element = document->AllItem(i);
            QVERIFY(element);
            types << element->Type().value_or(QStringLiteral("?"));
        }
        QCOMPARE(types, expected);
        QVERIFY(!document->AllItem(100000));
        QVERIFY(!document->AllItem(-1));
    }

    void framesetSecondFrameHoldsForm()
    {
        QVERIFY(BrowserFixture::Load(*mPage, kHost + QStringLiteral("/business/home")));
        auto top = mPage->Document();
        QVERIFY(top);
        QCOMPARE(top->FrameCount(), 2);
        QVERIFY(!top->All(QStringLiteral("weight")));
        QVERIFY(!top->Frame(2));
        auto banner = top->Frame(0);
        QVERIFY(banner);
        QVERIFY(!banner->All(QStringLiteral("weight")));
        QVERIFY(banner->All(QStringLiteral("banner")));
        auto form = top->Frame(1);
        QVERIFY(form);
        QCOMPARE(form->URL(), std::optional<QString>(kHost + QStringLiteral("/business/form.html")));
        QVERIFY(form->All(QStringLiteral("weight"))->SetValue(1.5));
        QCOMPARE(PageValue(*mPage, "frames[1].document.all.weight.value"), Js(Json("1.5")));
    }

    void staleElementAfterNavigationFails()
    {
        auto document = LoadForm();
        QVERIFY(document);
        auto weight = document->All(QStringLiteral("weight"));
        QVERIFY(weight);
        QVERIFY(BrowserFixture::Load(*mPage, kHost + QStringLiteral("/business/banner.html")));
        QVERIFY(!weight->SetValue(QStringLiteral("1")));
        QVERIFY(!weight->Value());
        QVERIFY(!document->All(QStringLiteral("weight")));
    }

    void pageThatNeverLoadsGivesNoCompletion()
    {
        QSignalSpy progress(mPage.get(), &WebBrowser::ProgressChange);
        QVERIFY(mPage->Navigate(kHost + QStringLiteral("/never")));
        QVERIFY(!progress.wait(1500));
        // The program keeps answering: the calls return, none of them finds a form.
        auto document = mPage->Document();
        QVERIFY(!document || !document->All(QStringLiteral("weight")));
    }

    void spinningPageFailsWithinDeadline()
    {
        QVERIFY(BrowserFixture::Load(*mPage, kHost + QStringLiteral("/stall")));
        mPage->SetDomTimeout(1000);
        auto document = mPage->Document();
        QVERIFY(document);
        auto spin = document->All(QStringLiteral("spin"));
        QVERIFY(spin);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!spin->Click()); // the handler never returns
        QVERIFY(!document->All(QStringLiteral("weight"))); // the page is still stuck
        QCOMPARE(mPage->ReadyState(), 0);
        QVERIFY2(timer.elapsed() < 10000, "calls into a stuck page must give up at their deadline");
    }

    void closingPageQuits()
    {
        QVERIFY(BrowserFixture::Load(*mPage, kFormUrl));
        QVERIFY(mPage->IsAlive());
        QSignalSpy quit(mPage.get(), &WebBrowser::OnQuit);
        QVERIFY(mPage->ClosePage());
        QVERIFY(quit.count() == 1 || quit.wait(5000));
        QCOMPARE(quit.count(), 1);
        QVERIFY(!mPage->IsAlive());
        QCOMPARE(mPage->ReadyState(), 0);
        QVERIFY(!mPage->Document());
        QVERIFY(!mPage->Navigate(kFormUrl));
    }

    void hideAndShowWindow()
    {
        QVERIFY(BrowserFixture::Load(*mPage, kFormUrl));
        QVERIFY(mPage->SetVisible(false));
        QVERIFY(!mPage->Visible());
        QVERIFY(mPage->SetVisible(true));
        QVERIFY(mPage->Visible());
        // Hiding does not lose the page.
        QCOMPARE(mPage->ReadyState(), 4);
    }

    void notMarkedAsAutomated()
    {
        QVERIFY(BrowserFixture::Load(*mPage, kFormUrl));
        QCOMPARE(PageValue(*mPage, "navigator.webdriver"), Js(Json(false)));
    }
};

QTEST_GUILESS_MAIN(TestDevToolsBrowser)
#include "tst_devtoolsbrowser.moc"
