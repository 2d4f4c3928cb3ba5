#include "BrowserFixture.h"
#include "ChromiumBrowser.h"
#include "DevToolsSession.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {
using Json = nlohmann::json;
const QString kHost = u"https://www.example-carrier.test"_s;
const QString kFormUrl = kHost + u"/ratefinder/home?cc=US&language=en"_s;

// Reads the page directly, independent of the element code under test; the value as JSON text.
QString PageValue(ChromiumBrowser& page, const char* expression)
{
    const auto reply = page.Session()->Call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}},
                                            page.SessionId());
    if (!reply || !reply->contains("result"))
        return u"<no reply>"_s;
    return QString::fromStdString((*reply)["result"].value("value", Json()).dump());
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
        // Cookies and remembered forms live in the profile: no one else reads it.
        QCOMPARE(QFileInfo(fixture.Options().profileDir).permissions() & 0x0077, QFileDevice::Permissions());
        fixture.Serve(kHost + u"/ratefinder/"_s, u"browser/form.html"_s);
        fixture.Serve(kHost + u"/business/home"_s, u"browser/frameset.html"_s);
        fixture.Serve(kHost + u"/business/banner.html"_s, u"browser/banner.html"_s);
        fixture.Serve(kHost + u"/business/form.html"_s, u"browser/form.html"_s);
        fixture.Serve(kHost + u"/stall"_s, u"browser/stall.html"_s);
        fixture.Hold(kHost + u"/never"_s);
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

    void setValue_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value"); // a number goes in as one
        QTest::addColumn<QString>("text");
        const QString hostile = u"a\"b'c\\d</script><script>alert(1)</script>${x}`"_s;
        const QString hostileLines = u"line1\nline2 \"q\" \\ </script>"_s;
        const QString nonAscii = u"Zürich ✓ 東京"_s;
        QTest::newRow("hostile") << u"weight"_s << QVariant(hostile) << hostile;
        QTest::newRow("hostile with line break") << u"notes"_s << QVariant(hostileLines) << hostileLines;
        QTest::newRow("non-ascii") << u"zipOnly"_s << QVariant(nonAscii) << nonAscii;
        QTest::newRow("whole number") << u"weight"_s << QVariant(3.0) << u"3"_s;
        QTest::newRow("binary fraction") << u"weight"_s << QVariant(0.1 + 0.2) << u"0.30000000000000004"_s;
    }
    void setValue()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        auto document = LoadForm();
        QVERIFY(document);
        auto element = document->All(field);
        QVERIFY(element);
        if (value.typeId() == QMetaType::Double)
            QVERIFY(element->SetValue(value.toDouble()));
        else
            QVERIFY(element->SetValue(value.toString()));
        QCOMPARE(element->Value(), std::optional<QString>(text));
        // Nothing the value held was run as script.
        QCOMPARE(PageValue(*mPage, "document.scripts.length"), u"1"_s);
        const std::string expression = "document.all['" + field.toStdString() + "'].value";
        QCOMPARE(PageValue(*mPage, expression.c_str()), QString::fromStdString(Json(text.toStdString()).dump()));
    }

    // One page walked through: the carriers' https address answered offline to a page that cannot tell it is
    // driven, its controls, and what becomes of them when the page is left.
    void controlsAndLeaving()
    {
        auto document = LoadForm();
        QVERIFY(document);
        QCOMPARE(document->URL(), std::optional<QString>(kFormUrl));
        QCOMPARE(PageValue(*mPage, "[location.origin, isSecureContext, navigator.webdriver]"),
                 uR"(["%1",true,false])"_s.arg(kHost));
        // Found by id as well as by name; a name that would break out of a selector finds nothing.
        QCOMPARE(document->All(u"zipOnly"_s)->Type(), std::optional<QString>(u"text"_s));
        QVERIFY(!document->All(u"noSuchField"_s));
        QVERIFY(!document->All(u"weight\"]"_s));

        auto group = document->All(u"units"_s);
        QVERIFY(group);
        QCOMPARE(group->Length(), 3);
        QVERIFY(!group->Item(3));
        QVERIFY(!group->Item(-1));
        QVERIFY(group->Item(1)->SetChecked(true));
        for (int i = 0; i < group->Length(); ++i)
            QCOMPARE(group->Item(i)->Checked(), std::optional<bool>(i == 1));
        QCOMPARE(PageValue(*mPage, "document.querySelector('input[name=units]:checked').value"), uR"("kg")"_s);
        // The group as a whole is not a field.
        QVERIFY(!group->SetValue(u"x"_s));
        QVERIFY(!group->Checked());

        auto service = document->All(u"service"_s);
        QVERIFY(service->SetSelectedIndex(2));
        QCOMPARE(PageValue(*mPage, "document.all.service.selectedIndex"), u"2"_s);
        // Only a select has options; only a box has a checked state.
        auto weight = document->All(u"weight"_s);
        QVERIFY(!weight->SetSelectedIndex(1));
        QVERIFY(!service->SetChecked(true));
        QVERIFY(document->All(u"residential"_s)->SetChecked(true));
        QCOMPARE(PageValue(*mPage, "document.all.residential.checked"), u"true"_s);

        QVERIFY(document->All(u"calc"_s)->Click());
        QCOMPARE(PageValue(*mPage, "document.getElementById('log').textContent"), uR"("clicked")"_s);
        // A handler that throws is not taken for a change.
        QVERIFY(!document->All(u"broken"_s)->FireOnChange());
        QVERIFY(weight->FireOnChange());
        QCOMPARE(PageValue(*mPage, "JSON.stringify(changes)"), uR"("[true]")"_s);

        // A page whose server never answers gives no completion; the calls return, and the form on its
        // way out is not asked for.
        QSignalSpy progress(mPage.get(), &WebBrowser::ProgressChange);
        QVERIFY(mPage->Navigate(kHost + u"/never"_s));
        QVERIFY(!progress.wait(1500));
        const auto leaving = mPage->Document();
        QVERIFY(!leaving || !leaving->All(u"weight"_s));

        // What was found on a page left behind fails, and is not looked for on the next one, whose form
        // sits in its second frame.
        QVERIFY(BrowserFixture::Load(*mPage, kHost + u"/business/home"_s));
        QVERIFY(!weight->SetValue(u"1"_s));
        QVERIFY(!weight->Value());
        QVERIFY(!document->All(u"weight"_s));
        auto top = mPage->Document();
        QVERIFY(top);
        QCOMPARE(top->FrameCount(), 2);
        QVERIFY(!top->All(u"weight"_s));
    }

    void spinningPageFailsWithinDeadline()
    {
        QVERIFY(BrowserFixture::Load(*mPage, kHost + u"/stall"_s));
        mPage->SetDomTimeout(1000);
        auto document = mPage->Document();
        QVERIFY(document);
        auto spin = document->All(u"spin"_s);
        QVERIFY(spin);
        QVERIFY(!spin->Click()); // the handler never returns
        QVERIFY(!document->All(u"weight"_s)); // the page is still stuck
        QCOMPARE(mPage->ReadyState(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDevToolsBrowser)
#include "tst_devtoolsbrowser.moc"
