#pragma once

#include <QString>

class HtmlDocument;

// One object per fillable web page: it knows the page's address, the settings section that
// feeds it, and how to write the weight and the other shipping details into the page's form.
// The browser driver (CWebHelper) decides when these run; a null document makes every write fail.
class IAutoFillWeb
{
public:
    virtual ~IAutoFillWeb() = default;

    // Writes the weight (kilograms, never below 0). Sets IsFilled only when none of its writes failed,
    // so a page that does not carry the weight fields yet is tried again at the next completed load.
    virtual void FillWeight(HtmlDocument* DOM, double Weight) = 0;
    // Writes the non-weight fields from the settings; some pages submit a first form here.
    virtual void FillContent(HtmlDocument* DOM) = 0;
    virtual void Create(const QString& Name, const QString& Address) = 0;
    virtual QString Address() const = 0;
    virtual QString Name() const = 0;
    virtual bool IsFilled() const = 0;
    virtual void SetIsFilled(bool TrueFalse) = 0;
    // Whether the non-weight fields are to be written.
    virtual bool AutoFill() const = 0;

    // Web apps render their forms late: the driver watches the page after a load and calls FillContent and
    // FillWeight again as it changes. These tell it what such a filler needs.
    // A new document is shown (a load, or a route change of a single-page app): every field is written anew.
    // Between two of them a filler may leave alone what it already wrote, which the user may have edited.
    virtual void NewDocument() { }
    // Fields of the document still to be written when they appear, beyond the weight.
    virtual bool Pending() const { return false; }
    // The filler waits for a load it started itself (a form it submitted): changes before it mean nothing.
    virtual bool AwaitsLoad() const { return false; }
};
