#pragma once

#include "CWebFillerBase.h"

// UPS time-and-cost calculator: content is written at every completed load until the weight
// is in; the weight always goes in pounds. Nothing is submitted: the user does that.
class CWebUPS final : public CWebFillerBase
{
public:
    explicit CWebUPS(IniFile& settings)
        : CWebFillerBase(settings)
    { }
    QStringList FieldNames() const override;
    void FillWeight(HtmlDocument* DOM, double Weight) override;
    void FillContent(HtmlDocument* DOM) override;
};
