#pragma once

#include "CWebFillerBase.h"

// eBay seller shipping calculator: content at every completed load until the weight (whole
// pounds and whole ounces) is in.
class CWebEbay final : public CWebFillerBase
{
public:
    explicit CWebEbay(IniFile& settings)
        : CWebFillerBase(settings)
    { }
    QStringList FieldNames() const override;
    void FillWeight(HtmlDocument* DOM, double Weight) override;
    void FillContent(HtmlDocument* DOM) override;
};
