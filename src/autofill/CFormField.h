#pragma once

#include <QString>

#include <memory>
#include <optional>

class HtmlDocument;
class HtmlElement;

// The field operations the carrier fillers use on a page: look a field up by name (or id) in the
// document's "all" collection, then set text, select, check, click or fire its change handler.
// Each answers false when the document or the field is missing or the page refused the write.
class CFormField final
{
public:
    static std::shared_ptr<HtmlElement> Find(HtmlDocument* doc, const QString& name);
    // Member `index` of a same-named group (a radio group); a lone element is its own member 0.
    static std::shared_ptr<HtmlElement> Member(HtmlDocument* doc, const QString& name, int index);

    static bool SetText(HtmlDocument* doc, const QString& name, const QString& text);
    static bool SetNumber(HtmlDocument* doc, const QString& name, double number);
    static bool Select(HtmlDocument* doc, const QString& name, int position);
    // Selects the position held by a settings value; a value that is not a number fails.
    static bool SelectStored(HtmlDocument* doc, const QString& name, const QString& storedText);
    static bool SetChecked(HtmlDocument* doc, const QString& name, bool checked);
    static bool CheckMember(HtmlDocument* doc, const QString& name, int index);
    static bool Click(HtmlDocument* doc, const QString& name);
    static bool ClickMember(HtmlDocument* doc, const QString& name, int index);
    static bool FireChange(HtmlDocument* doc, const QString& name);
    static bool FireChangeWithoutArgument(HtmlDocument* doc, const QString& name);
    static std::optional<QString> Type(HtmlDocument* doc, const QString& name);
    static std::optional<QString> Value(HtmlDocument* doc, const QString& name);

    // Strict readings of settings text, as a typed conversion would do them: the whole text
    // (blanks around it aside) must be a number. nullopt when it is not, or out of range.
    static std::optional<int> ToByte(const QString& text);
    static std::optional<bool> ToBool(const QString& text);
    static std::optional<int> ToInt32(const QString& text);
};
