#pragma once

#include "HtmlDocument.h"
#include "HtmlElement.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>
#include <memory>

// An in-memory page for the window's fill-in logic: fields by name, each write appended to one
// log as "name.property=value" in the order it was made. Numbers are logged in their shortest
// decimal form, as a page would show them.
class FakeElement final : public HtmlElement
{
public:
    FakeElement(QStringList* log, QString name)
        : mLog(log)
        , mName(std::move(name))
    { }

    int Length() const override { return 1; }
    std::shared_ptr<HtmlElement> Item(int) override { return nullptr; }
    bool SetValue(const QString& text) override { return Write(QStringLiteral("value"), value = text); }
    bool SetValue(double number) override
    {
        return Write(QStringLiteral("value"), value = QString::number(number, 'g', QLocale::FloatingPointShortest));
    }
    std::optional<QString> Value() override { return value; }
    std::optional<QString> Type() override { return QStringLiteral("text"); }
    bool SetSelectedIndex(int index) override { return Write(QStringLiteral("selectedIndex"), QString::number(index)); }
    std::optional<int> SelectedIndex() override { return std::nullopt; }
    bool SetChecked(bool on) override { return Write(QStringLiteral("checked"), QVariant(on).toString()); }
    std::optional<bool> Checked() override { return std::nullopt; }
    bool Click() override { return false; }
    // The page takes the change, so a filler goes on to the fields after it.
    bool FireOnChange() override { return true; }
    bool FireOnChangeWithoutArgument() override { return false; }

    QString value;

private:
    bool Write(const QString& property, const QString& text)
    {
        mLog->append(mName + u'.' + property + u'=' + text);
        return true;
    }

    QStringList* mLog;
    QString mName;
};

class FakeDocument final : public HtmlDocument
{
public:
    explicit FakeDocument(QStringList* log)
        : mLog(log)
    { }

    // Where the page is: the last address navigated to, as a browser would show it.
    QString address;

    std::shared_ptr<FakeElement> Add(const QString& name)
    {
        return mFields[name] = std::make_shared<FakeElement>(mLog, name);
    }
    std::shared_ptr<FakeElement> Field(const QString& name) { return mFields.contains(name) ? mFields[name] : nullptr; }

    std::shared_ptr<HtmlElement> All(const QString& nameOrId) override { return Field(nameOrId); }
    std::optional<QString> URL() override { return address; }
    int FrameCount() override { return 0; }
    std::shared_ptr<HtmlDocument> Frame(int) override { return nullptr; }
    std::shared_ptr<HtmlElement> AllItem(int) override { return nullptr; }

private:
    QStringList* mLog;
    std::map<QString, std::shared_ptr<FakeElement>> mFields;
};
