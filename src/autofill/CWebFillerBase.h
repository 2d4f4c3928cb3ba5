#pragma once

#include "CarrierKeys.h"
#include "IAutoFillWeb.h"

#include <QString>
#include <QStringList>

class IniFile;

// What every built-in carrier filler shares: its name (the settings section), its address, the
// filled flag, and the AUTO_FILL switch read afresh from the section on every call.
class CWebFillerBase : public IAutoFillWeb
{
public:
    explicit CWebFillerBase(IniFile& settings);

    void Create(const QString& Name, const QString& Address) override;
    QString Address() const override { return mstrAddress; }
    QString Name() const override { return mstrName; }
    bool IsFilled() const override { return mbFilled; }
    void SetIsFilled(bool TrueFalse) override { mbFilled = TrueFalse; }
    // True only when AUTO_FILL's leading number is exactly 1.
    bool AutoFill() const override;

    // The names of the fields the filler writes, as its page had them when it was written.
    virtual QStringList FieldNames() const = 0;
    // Those the document (or the frame that holds the form) does not have.
    QStringList MissingFields(HtmlDocument* DOM);

protected:
    // The frame that holds the form; -1 for the document itself.
    virtual int FieldsFrame() const { return -1; }
    // The text of a key of this filler's section (empty when missing). A key the section does not hold
    // is read all the same, and logged: the options dialog never writes it.
    QString KeyText(CarrierKeys::Key key) const;
    // AUTO_FILL numerically 0: the content step must not run even when called directly.
    bool AutoFillOff() const;

    IniFile& mobjSettings;
    QString mstrName;
    QString mstrAddress;
    bool mbFilled = false;
};
