#pragma once

#include <QString>

#include <memory>
#include <utility>

class HtmlDocument;
class HtmlElement;

// How a taught page names its form fields: a number, the reserved marker "_wgx_" and the field's name
// attribute, as in 0_wgx_zip (the only field named zip) or 3_wgx_qty (the third of several named qty).
// The wizard names fields with ElementKey when it records a page; the user-page filler finds them again
// with ElementByKey when it replays it.
namespace MFieldKey {

// A field inside open shadow roots (web components) is named within its own tree, and its key goes on with
// "_wgx_shadow" and the path to that tree: each shadow host by its tag and its 1-based position among the
// elements of that tag in the host's own tree, as in 0_wgx_weight_wgx_shadow/ship-form.1 (the only field
// named weight in the shadow root of the first ship-form element). A reader that does not know the suffix
// takes it for part of a name no element has, and leaves the field alone; fields outside shadow roots keep
// the plain form. A radio group inside shadow roots is its name with the same suffix.
//
// The number: 0 when the name is unique in its tree, else the 1-based position among its elements there.
QString FormatKey(int number, const QString& name, const QString& shadowPath = QString());
// A radio group's key: its name, with the shadow path of its tree when it has one.
QString GroupKey(const QString& name, const QString& shadowPath);

struct KeyParts
{
    int number = 0; // the digits at the start of the key; 0 when there are none
    QString name; // the text after the first "_wgx_"; empty when the key has no marker
    QString shadow; // the shadow path ("/ship-form.1"); empty for a field of the document's own tree
};
KeyParts ParseKey(const QString& key);
// A radio group's key split into its name and shadow path.
std::pair<QString, QString> ParseGroupKey(const QString& key);

// The key of an element of the document; empty when the document cannot tell.
QString ElementKey(HtmlDocument* document, HtmlElement* element);
// The element a key names: for number 0 the document's "all" lookup of the name (an element, not a
// group), otherwise member number - 1 of the elements of that name. nullptr when nothing is found, and
// for a field inside shadow roots, which only the replay's page call reaches.
std::shared_ptr<HtmlElement> ElementByKey(HtmlDocument* document, const QString& key);

// "kg", "g", "lb" or "oz" in any letter case: the field is to receive the weight in that unit.
bool IsWeightCode(const QString& text);

} // namespace MFieldKey
