#pragma once

#include "CWebFillerBase.h"

#include <functional>

// FedEx rate finder. The content step submits a first form; the package fields, and so the
// weight, are on the page that loads next. The weight goes in the display unit, with the
// page's unit list set to match.
class CWebFedEx final : public CWebFillerBase
{
public:
    // displayUnit answers the current display unit (0 kilograms, 1 pounds and ounces).
    CWebFedEx(IniFile& settings, std::function<int()> displayUnit);
    // A new launch writes the shipment fields again.
    void SetIsFilled(bool TrueFalse) override;
    bool ContentFilled() const { return mbContentFilled; }

    QStringList FieldNames() const override;
    void FillWeight(HtmlDocument* DOM, double Weight) override;
    void FillContent(HtmlDocument* DOM) override;

private:
    std::function<int()> mfnDisplayUnit;
    bool mbContentFilled = false;
};
