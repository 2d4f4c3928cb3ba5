#pragma once

#include <QString>

#include <memory>
#include <optional>

// An element of a page we fill, or a collection of same-named elements (radio groups).
// Every call is synchronous and bounded by a deadline; failure is false / nullptr / std::nullopt.
class HtmlElement
{
public:
    virtual ~HtmlElement() = default;
    virtual int Length() const = 0; // 1 for an element, n for a collection
    virtual std::shared_ptr<HtmlElement> Item(int index) = 0; // member i (document order); nullptr if none
    virtual bool SetValue(const QString& text) = 0; // el.value = text
    virtual bool SetValue(double number) = 0; // el.value = number (the page turns it into text)
    virtual std::optional<QString> Value() = 0;
    virtual std::optional<QString> Type() = 0; // el.type
    virtual bool SetSelectedIndex(int index) = 0;
    virtual std::optional<int> SelectedIndex() = 0;
    virtual bool SetChecked(bool checked) = 0;
    virtual std::optional<bool> Checked() = 0;
    virtual bool Click() = 0; // el.click()
    virtual bool FireOnChange() = 0; // el.onchange(true); fails if no handler or it throws

    // For taught pages; an element that cannot answer fails.
    virtual std::optional<QString> TagName() { return std::nullopt; } // lower case: "input", "select" ...
    virtual std::optional<QString> Name() { return std::nullopt; } // the name attribute
    // The same number for the same node as long as the document lives.
    virtual std::optional<qint64> UniqueId() { return std::nullopt; }
    virtual std::optional<bool> OptionSelected(int /*index*/) { return std::nullopt; }
    virtual bool SetOptionSelected(int /*index*/, bool /*selected*/) { return false; }
    virtual bool FireOnChangeWithoutArgument() = 0; // el.onchange(), as some pages' own code calls it
};
