#pragma once

#include "CWebFillerBase.h"

// USPS international calculator for envelopes. The package page has the same fields, so the
// weight is written only when the browser's address contains this filler's own address.
class CWebUSPSIntEnv : public CWebFillerBase
{
public:
    explicit CWebUSPSIntEnv(IniFile& settings)
        : CWebFillerBase(settings)
    { }
    QStringList FieldNames() const override;
    void FillWeight(HtmlDocument* DOM, double Weight) override;
    void FillContent(HtmlDocument* DOM) override;
};
