#pragma once

#include "HtmlElement.h"

#include <QString>

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
    virtual int FrameCount() = 0;
    virtual std::shared_ptr<HtmlDocument> Frame(int index) = 0; // Frames(i).Document; nullptr if none
    // Element number `index` of document.all (all elements in document order); used by the converter.
    virtual std::shared_ptr<HtmlElement> AllItem(int index) = 0;
};
