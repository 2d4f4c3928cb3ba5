#include "CWebFillerBase.h"

#include "CFormField.h"
#include "HtmlDocument.h"
#include "IniFile.h"
#include "IniValue.h"

#include <QDebug>

CWebFillerBase::CWebFillerBase(IniFile& settings)
    : mobjSettings(settings)
{ }

void CWebFillerBase::Create(const QString& Name, const QString& Address)
{
    mstrName = Name;
    mstrAddress = Address;
}

bool CWebFillerBase::AutoFill() const
{
    return IniValue::ToNumber(KeyText(CarrierKeys::Key::AutoFill)) == 1.0;
}

QString CWebFillerBase::KeyText(CarrierKeys::Key key) const
{
    const QString name = CarrierKeys::Name(key);
    const std::optional<CarrierKeys::Carrier> carrier = CarrierKeys::OfSection(mstrName);
    if (!carrier || !CarrierKeys::Holds(*carrier, key))
        qWarning().noquote() << "autofill: section" << mstrName << "holds no key" << name;
    return mobjSettings.Section(mstrName).Key(name).Value();
}

bool CWebFillerBase::AutoFillOff() const
{
    return IniValue::ToNumber(KeyText(CarrierKeys::Key::AutoFill)) == 0.0;
}

QStringList CWebFillerBase::MissingFields(HtmlDocument* DOM)
{
    const std::shared_ptr<HtmlDocument> frame = DOM && FieldsFrame() >= 0 ? DOM->Frame(FieldsFrame()) : nullptr;
    HtmlDocument* document = FieldsFrame() >= 0 ? frame.get() : DOM;
    QStringList missing;
    for (const QString& name : FieldNames()) {
        if (!CFormField::Find(document, name))
            missing.append(name);
    }
    return missing;
}
