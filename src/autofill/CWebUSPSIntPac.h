#pragma once

#include "CWebFillerBase.h"

// USPS international calculator for packages; the twin of CWebUSPSIntEnv on the other address.
class CWebUSPSIntPac final : public CWebFillerBase
{
public:
    explicit CWebUSPSIntPac(IniFile& settings)
        : CWebFillerBase(settings)
    { }
    void FillWeight(HtmlDocument* DOM, double Weight) override;
    void FillContent(HtmlDocument* DOM) override;
};
