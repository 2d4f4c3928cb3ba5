#pragma once

#include "CWebFillerBase.h"

// USPS business-rate calculator. The page is a frameset; the form lives in frame 1.
class CWebUSPSBusi final : public CWebFillerBase
{
public:
    explicit CWebUSPSBusi(IniFile& settings)
        : CWebFillerBase(settings)
    { }
    static constexpr int FormFrame = 1;
    QStringList FieldNames() const override;

protected:
    int FieldsFrame() const override { return FormFrame; }

public:
    void FillWeight(HtmlDocument* DOM, double Weight) override;
    void FillContent(HtmlDocument* DOM) override;
};
