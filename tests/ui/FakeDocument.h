#pragma once

#include "HtmlDocument.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

// An in-memory page for the fillers' logic: fields by name, each write appended to one log as
// "name.property=value" in the order the filler made it. Numbers are logged in their shortest
// decimal form, as a page would show them.
class FakeElement final : public HtmlElement
{
public:
    FakeElement(QStringList* log, QString name, QString type = QStringLiteral("text"))
        : mLog(log)
        , mName(std::move(name))
        , mType(std::move(type))
    { }

    int Length() const override { return 1; }
    std::shared_ptr<HtmlElement> Item(int index) override
    {
        return index == 0 ? std::shared_ptr<HtmlElement>(mSelf.lock()) : nullptr;
    }
    bool SetValue(const QString& text) override
    {
        return Write(QStringLiteral("value"), text, [&] { value = text; });
    }
    bool SetValue(double number) override
    {
        const QString text = QString::number(number, 'g', QLocale::FloatingPointShortest);
        return Write(QStringLiteral("value"), text, [&] { value = text; });
    }
    std::optional<QString> Value() override { return value; }
    std::optional<QString> Type() override { return mType; }
    bool SetSelectedIndex(int index) override
    {
        return Write(QStringLiteral("selectedIndex"), QString::number(index), [&] { selectedIndex = index; });
    }
    std::optional<int> SelectedIndex() override { return selectedIndex; }
    bool SetChecked(bool on) override
    {
        return Write(QStringLiteral("checked"), on ? QStringLiteral("true") : QStringLiteral("false"),
                     [&] { checked = on; });
    }
    std::optional<bool> Checked() override { return checked; }
    bool Click() override
    {
        if (refuse)
            return false;
        mLog->append(mName + QStringLiteral(".click"));
        if (onClick)
            onClick();
        return true;
    }
    bool FireOnChange() override
    {
        if (refuse || !onChange)
            return false;
        mLog->append(mName + QStringLiteral(".onchange"));
        onChange();
        return true;
    }
    bool FireOnChangeWithoutArgument() override
    {
        if (refuse || !onChange)
            return false;
        mLog->append(mName + QStringLiteral(".onchange()"));
        onChange();
        return true;
    }

    QString value;
    int selectedIndex = -1;
    bool checked = false;
    bool refuse = false; // the page refuses every write to this field
    std::function<void()> onChange;
    std::function<void()> onClick;
    std::weak_ptr<FakeElement> mSelf;

private:
    template <typename F> bool Write(const QString& property, const QString& text, F apply)
    {
        if (refuse)
            return false;
        apply();
        mLog->append(mName + u'.' + property + u'=' + text);
        return true;
    }

    QStringList* mLog;
    QString mName;
    QString mType;
};

// Several elements of one name (a radio group): All() answers this collection.
class FakeCollection final : public HtmlElement
{
public:
    explicit FakeCollection(std::vector<std::shared_ptr<FakeElement>> members)
        : mMembers(std::move(members))
    { }
    int Length() const override { return static_cast<int>(mMembers.size()); }
    std::shared_ptr<HtmlElement> Item(int index) override
    {
        if (index < 0 || index >= Length())
            return nullptr;
        return mMembers[static_cast<size_t>(index)];
    }
    // A collection has no value of its own: the page would throw or ignore; we fail.
    bool SetValue(const QString&) override { return false; }
    bool SetValue(double) override { return false; }
    std::optional<QString> Value() override { return std::nullopt; }
    std::optional<QString> Type() override { return std::nullopt; }
    bool SetSelectedIndex(int) override { return false; }
    std::optional<int> SelectedIndex() override { return std::nullopt; }
    bool SetChecked(bool) override { return false; }
    std::optional<bool> Checked() override { return std::nullopt; }
    bool Click() override { return false; }
    bool FireOnChange() override { return false; }
    bool FireOnChangeWithoutArgument() override { return false; }

private:
    std::vector<std::shared_ptr<FakeElement>> mMembers;
};

class FakeDocument final : public HtmlDocument
{
public:
    explicit FakeDocument(QStringList* log, QString url = QString())
        : mLog(log)
        , mUrl(std::move(url))
    { }

    // Adds one element; adding a name again makes it a group.
    std::shared_ptr<FakeElement> Add(const QString& name, const QString& type = QStringLiteral("text"))
    {
        auto element = std::make_shared<FakeElement>(mLog, name, type);
        element->mSelf = element;
        mFields[name].push_back(element);
        return element;
    }
    // Adds `count` members named name[0], name[1] ... in the log, sharing one name on the page.
    void AddGroup(const QString& name, int count, const QString& type = QStringLiteral("radio"))
    {
        for (int i = 0; i < count; ++i) {
            auto element = std::make_shared<FakeElement>(mLog, name + u'[' + QString::number(i) + u']', type);
            element->mSelf = element;
            mFields[name].push_back(element);
        }
    }
    std::shared_ptr<FakeElement> Field(const QString& name, int index = 0)
    {
        const auto it = mFields.find(name);
        if (it == mFields.end() || index >= static_cast<int>(it->second.size()))
            return nullptr;
        return it->second[static_cast<size_t>(index)];
    }
    void Remove(const QString& name) { mFields.erase(name); }

    std::shared_ptr<HtmlElement> All(const QString& nameOrId) override
    {
        const auto it = mFields.find(nameOrId);
        if (it == mFields.end() || it->second.empty())
            return nullptr;
        if (it->second.size() == 1)
            return it->second.front();
        return std::make_shared<FakeCollection>(it->second);
    }
    std::optional<QString> URL() override
    {
        if (mUrl.isNull())
            return std::nullopt;
        return mUrl;
    }
    int FrameCount() override { return static_cast<int>(frames.size()); }
    std::shared_ptr<HtmlDocument> Frame(int index) override
    {
        if (index < 0 || index >= FrameCount())
            return nullptr;
        return frames[static_cast<size_t>(index)];
    }
    std::shared_ptr<HtmlElement> AllItem(int) override { return nullptr; }

    std::vector<std::shared_ptr<FakeDocument>> frames;

private:
    QStringList* mLog;
    QString mUrl;
    std::map<QString, std::vector<std::shared_ptr<FakeElement>>> mFields;
};
