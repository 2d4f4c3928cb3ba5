#pragma once

#include "CWebFillerBase.h"

// USPS domestic postage calculator: mail type and ZIP codes, then pounds and ounces.
class CWebUSPSDom final : public CWebFillerBase
{
public:
    explicit CWebUSPSDom(IniFile& settings)
        : CWebFillerBase(settings)
    { }
    QStringList FieldNames() const override;
    void FillWeight(HtmlDocument* DOM, double Weight) override;
    void FillContent(HtmlDocument* DOM) override;
};
