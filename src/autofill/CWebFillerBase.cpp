#include "CWebFillerBase.h"

#include "CFormField.h"
#include "HtmlDocument.h"
#include "IniFile.h"
#include "IniValue.h"

using namespace Qt::StringLiterals;

CWebFillerBase::CWebFillerBase(IniFile& settings)
    : mSettings(settings)
{ }

void CWebFillerBase::Create(const QString& Name, const QString& Address)
{
    mstrName = Name;
    mstrAddress = Address;
}

bool CWebFillerBase::AutoFill() const
{
    return IniValue::ToNumber(KeyText(u"AUTO_FILL"_s)) == 1.0;
}

QString CWebFillerBase::KeyText(const QString& key) const
{
    return mSettings.Section(mstrName).Key(key).Value();
}

bool CWebFillerBase::AutoFillOff() const
{
    return IniValue::ToNumber(KeyText(u"AUTO_FILL"_s)) == 0.0;
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
