#pragma once

#include "IAutoFillWeb.h"

#include <QString>

// The filler of the pages the user taught the program. The browser driver re-creates it for every
// launch of such a page, with the page's name, its stored address and the unit masks.
//
// Minimal for now: replay of captured pages is not built yet, so FillContent and FillWeight write
// nothing and IsFilled stays false (the driver keeps waiting, the page is left to the user).
class CWebUserAdd final : public IAutoFillWeb
{
public:
    void FillWeight(HtmlDocument* DOM, double Weight) override;
    void FillContent(HtmlDocument* DOM) override;
    void Create(const QString& Name, const QString& Address) override;
    QString Address() const override { return mstrAddress; }
    QString Name() const override { return mstrName; }
    bool IsFilled() const override { return mbFilled; }
    void SetIsFilled(bool TrueFalse) override { mbFilled = TrueFalse; }
    // A taught page replays its recorded values on every load.
    bool AutoFill() const override { return true; }

    // Units the page takes, set by the driver at each launch: 1 kg + 2 g; 4 lb + 8 oz.
    qint32 MetricUnits = 0;
    qint32 EnglishUnits = 0;

private:
    QString mstrName;
    QString mstrAddress;
    bool mbFilled = false;
};
