#pragma once

#include "CWebFillerBase.h"

// DHL rate calculator. The content goes in two phases over two completed loads: the country
// change reloads the page with that country's service list, so service and city can only be
// written on the reloaded page.
class CWebDHL final : public CWebFillerBase
{
public:
    explicit CWebDHL(IniFile& settings)
        : CWebFillerBase(settings)
    { }
    // A new launch starts again with the first content phase.
    void SetIsFilled(bool TrueFalse) override;
    // True while the second content phase is due.
    bool ContentFilled() const { return mbContentFilled; }
    // The country change of the first phase reloads the page: the second phase waits for that load.
    bool AwaitsLoad() const override { return mbContentFilled; }

    QStringList FieldNames() const override;
    void FillWeight(HtmlDocument* DOM, double Weight) override;
    void FillContent(HtmlDocument* DOM) override;

private:
    bool mbContentFilled = false;
};
