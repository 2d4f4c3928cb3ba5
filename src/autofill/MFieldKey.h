#pragma once

#include <QString>

#include <memory>

class HtmlDocument;
class HtmlElement;

// How a taught page names its form fields: a number, the reserved marker "_wgx_" and the field's name
// attribute, as in 0_wgx_zip (the only field named zip) or 3_wgx_qty (the third of several named qty).
// The wizard names fields with ElementKey when it records a page; the user-page filler finds them again
// with ElementByKey when it replays it.
namespace MFieldKey {

// The number: 0 when the name is unique on the document, else the 1-based position among its elements.
QString FormatKey(int number, const QString& name);

struct KeyParts
{
    int number = 0; // the digits at the start of the key; 0 when there are none
    QString name; // the text after the first "_wgx_"; empty when the key has no marker
};
KeyParts ParseKey(const QString& key);

// The key of an element of the document; empty when the document cannot tell.
QString ElementKey(HtmlDocument* document, HtmlElement* element);
// The element a key names: for number 0 the document's "all" lookup of the name (an element, not a
// group), otherwise member number - 1 of the elements of that name. nullptr when nothing is found.
std::shared_ptr<HtmlElement> ElementByKey(HtmlDocument* document, const QString& key);

// "kg", "g", "lb" or "oz" in any letter case: the field is to receive the weight in that unit.
bool IsWeightCode(const QString& text);

} // namespace MFieldKey
