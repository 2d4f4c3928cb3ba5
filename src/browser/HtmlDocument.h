#pragma once

#include "HtmlElement.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// A document of the page we fill (the top document or a frame's).
class HtmlDocument
{
public:
    virtual ~HtmlDocument() = default;
    // document.all[name]: the element whose name or id equals it, or the collection when several share it;
    // nullptr when missing.
    virtual std::shared_ptr<HtmlElement> All(const QString& nameOrId) = 0;
    virtual std::optional<QString> URL() = 0;
    // The document's own frames in document order, then those inside its open shadow roots.
    virtual int FrameCount() = 0;
    virtual std::shared_ptr<HtmlDocument> Frame(int index) = 0; // Frames(i).Document; nullptr if none
    // Element number `index` of document.all (all elements in document order); used by the converter.
    virtual std::shared_ptr<HtmlElement> AllItem(int index) = 0;

    // What a taught page needs. A document that cannot answer fails (nullptr / std::nullopt / false).
    virtual std::optional<QString> Title() { return std::nullopt; }
    // getElementsByName(name) in document order, as one group; nullptr when no element has the name.
    virtual std::shared_ptr<HtmlElement> ElementsByName(const QString& /*name*/) { return nullptr; }
    // One call into the page: this document's form fields (not its frames'), in document order, as
    // {"url", "title", "frames": count, "fields": [{"tag", "type", "name", "n", and "value" (text
    // kinds), "checked" (check box: bool; radio: position of the group's checked member or -1),
    // "index" and "selected" (lists)}]}, where n is the field-key number (0 for a unique name,
    // else the 1-based position among the elements of that name).
    virtual std::optional<QJsonObject> RecordFields() { return std::nullopt; }
    // One call into the page: runs the writes in order, each [kind, n, name, payload] with kind "v"
    // (value: text or number), "c" (checked), "r" (check member `payload` of the group `name`) or "s"
    // (list: {"i": index, "m": [positions]}), an optional fifth element true when the write must not
    // go into a password field (it then counts as not holding), and an optional sixth, the shadow path of
    // a field inside open shadow roots (see MFieldKey). A value goes through the element's own setter and
    // fires the events a person's input would; a check box or radio button that differs is clicked, as a
    // person would. Per write: 0 element not found, 1 found but the value did not hold, 2 written and
    // read back.
    virtual std::optional<QJsonArray> ReplayFields(const QJsonArray& /*writes*/) { return std::nullopt; }
    // Waits, without blocking, for this document or one of its frames to change the way a page that renders
    // its form late does: elements added (inside open shadow roots too), or a field's type or name changed.
    // `done` runs once, from the event loop: true after a change (or when the document went away), false
    // when timeoutMs passed without one. False when the watch could not be set up; `done` then never runs.
    virtual bool WatchChanges(int /*timeoutMs*/, std::function<void(bool changed)> /*done*/) { return false; }
};
