#include "CWebUserAdd.h"

#include "CFormField.h"
#include "HtmlDocument.h"
#include "IniFile.h"
#include "IniValue.h"
#include "MFieldKey.h"
#include "Utility.h"
#include "WeightSplit.h"

#include <QDebug>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

const QStringList kValueLists = {u"_WGX_TEXT"_s, u"_WGX_OTHERS"_s, u"_WGX_TEXTAREA"_s};

QString TrimOneSlash(QString address)
{
    if (address.endsWith(u'/'))
        address.chop(1);
    return address;
}

// [kind, number, name, payload, never into a password field, shadow path]
QJsonArray Write(const QString& kind, const QString& key, const QJsonValue& payload)
{
    const MFieldKey::KeyParts parts = MFieldKey::ParseKey(key);
    return QJsonArray {kind, parts.number, parts.name, payload, false, parts.shadow};
}

QJsonArray GroupWrite(const QString& key, int member)
{
    const auto [name, shadow] = MFieldKey::ParseGroupKey(key);
    return QJsonArray {u"r"_s, 0, name, member, false, shadow};
}

constexpr qsizetype kPlain = 4;

// The leading number of a stored text as a whole number (a list position or a member number).
int LeadingInt(const QString& text)
{
    const double number = IniValue::ToNumber(text);
    if (!(number > -2147483648.0 && number < 2147483648.0))
        return -1;
    return int(number);
}

QString FrameSection(const QString& section, int index)
{
    return section + u"_FRAME"_s + QString::number(index);
}

const QString kKeyring = u"_WGX_KEYRING"_s;
const QString kOrigin = u"_WGX_ORIGIN"_s;

} // namespace

CWebUserAdd::CWebUserAdd(IniFile& settings)
    : mSettings(settings)
{ }

void CWebUserAdd::Create(const QString& Name, const QString& Address)
{
    mstrName = Name;
    mstrAddress = Address;
    FetchSecrets();
}

QList<SecretStore::Key> CWebUserAdd::PageSecrets(IniFile& settings, const QString& page)
{
    QList<SecretStore::Key> keys;
    const IniSection section = settings.Section(page);
    const QString origin = section.Key(kOrigin).Value();
    for (const QString& field : section.Key(kKeyring).Value().split(u',', Qt::SkipEmptyParts)) {
        if (!origin.isEmpty())
            keys.append({page, origin, field});
    }
    const int frames = IniValue::ToInt16(section.Key(u"_WGX_FRM_CNT"_s).Value()).value_or(0);
    for (int i = 0; i < frames; ++i)
        keys.append(PageSecrets(settings, FrameSection(page, i)));
    return keys;
}

void CWebUserAdd::FetchSecrets()
{
    mSecrets.clear();
    mPendingSecrets = 0;
    mLaunch = std::make_shared<int>(0);
    SecretStore* store = SecretStore::Shared();
    if (!store || mstrName.isEmpty())
        return;
    for (const SecretStore::Key& key : PageSecrets(mSettings, mstrName)) {
        ++mPendingSecrets;
        store->Fetch(key,
                     [this, key, launch = std::weak_ptr<int>(mLaunch)](const std::optional<QString>& secret,
                                                                       const QString& error) {
                         if (!launch.lock())
                             return;
                         --mPendingSecrets;
                         if (secret)
                             mSecrets.insert({key.page, key.field}, *secret);
                         else
                             qWarning().noquote()
                                 << "Page" << mstrName << "- no password for" << key.field << "in the keyring"
                                 << (error.isEmpty() ? QString() : u": "_s + error);
                         // The page may have loaded before the keyring answered: fill it now, not at a
                         // load that may never come.
                         if (mPendingSecrets == 0 && SecretsArrived)
                             SecretsArrived();
                     });
    }
}

QString CWebUserAdd::KeyText(const QString& section, const QString& key) const
{
    return mSettings.Section(section).Key(key).Value();
}

void CWebUserAdd::FillContent(HtmlDocument* DOM)
{
    mMissing = false;
    FillFormFields(DOM, mstrName);
}

bool CWebUserAdd::MayWrite(HtmlDocument* document, const QString& section, bool* secrets) const
{
    QString recorded = KeyText(section, kOrigin);
    if (recorded.isEmpty() && section == mstrName)
        recorded = Utility::OriginOf(mstrAddress);
    *secrets = !recorded.isEmpty();
    if (recorded.isEmpty())
        return true;
    const QString shown = Utility::OriginOf(document->URL().value_or(QString()));
    if (shown == recorded)
        return true;
    qWarning().noquote() << "Taught page" << mstrName << ": nothing written into"
                         << (shown.isEmpty() ? u"a document"_s : shown) << "where" << section << "was recorded from"
                         << recorded;
    return false;
}

void CWebUserAdd::WithoutSecrets(QJsonArray& writes)
{
    for (qsizetype i = 0; i < writes.size(); ++i) {
        QJsonArray write = writes.at(i).toArray();
        write[kPlain] = true;
        writes[i] = write;
    }
}

void CWebUserAdd::FillFormFields(HtmlDocument* document, const QString& section)
{
    bool secrets = false;
    if (!document || !MayWrite(document, section, &secrets))
        return;
    // Passwords go only into a document whose origin was checked against the recorded one: the keyring's,
    // and one an older version stored here.
    const bool home = secrets;
    const QStringList inKeyring = KeyText(section, kKeyring).split(u',', Qt::SkipEmptyParts);
    QJsonArray writes;
    QStringList landing; // what each write is, for mLanded
    const auto add = [&](const QString& key, const std::function<void()>& write) {
        const QString id = section + u'\n' + key;
        if (mLanded.contains(id))
            return;
        const qsizetype before = writes.size();
        write();
        if (writes.size() > before)
            landing.append(id);
    };
    for (const QString& list : kValueLists) {
        const bool textArea = list == u"_WGX_TEXTAREA"_s;
        for (const QString& key : KeyText(section, list).split(u',')) {
            if (!inKeyring.contains(key))
                add(key, [&] { SetFieldValue(writes, key, KeyText(section, key), textArea, !home); });
        }
    }
    for (const QString& key : inKeyring) {
        const auto secret = mSecrets.constFind({section, key});
        if (home && secret != mSecrets.constEnd())
            add(key, [&] { writes.append(Write(u"v"_s, key, *secret)); });
    }
    // A value that is not a number (edited by hand, or missing) leaves that field alone.
    for (const QString& key : KeyText(section, u"_WGX_CHKBOX"_s).split(u',')) {
        if (const auto checked = CFormField::ToBool(KeyText(section, key)))
            add(key, [&] { writes.append(Write(u"c"_s, key, *checked)); });
    }
    for (const QString& group : KeyText(section, u"_WGX_RADIO"_s).split(u',')) {
        if (const auto member = CFormField::ToByte(KeyText(section, group)); member && !group.isEmpty())
            add(group, [&] { writes.append(GroupWrite(group, *member)); });
    }
    // A combobox takes its option by the text shown: it is opened and that option clicked.
    for (const QString& key : KeyText(section, u"_WGX_COMBO"_s).split(u',', Qt::SkipEmptyParts))
        add(key, [&] { writes.append(Write(u"o"_s, key, KeyText(section, key))); });
    for (const QString& key : KeyText(section, u"_WGX_SELECT"_s).split(u',', Qt::SkipEmptyParts)) {
        const QString value = KeyText(section, key);
        QJsonArray positions;
        for (const QString& position : value.split(u',', Qt::SkipEmptyParts))
            positions.append(LeadingInt(position));
        add(key, [&] {
            writes.append(Write(u"s"_s, key, QJsonObject {{u"i"_s, LeadingInt(value)}, {u"m"_s, positions}}));
        });
    }
    // Fields that are not there are skipped by the page function; the rest of the page still gets its
    // values, and those fields theirs when they appear.
    if (!writes.isEmpty()) {
        const auto done = document->ReplayFields(writes);
        for (qsizetype i = 0; i < landing.size(); ++i) {
            if (done && i < done->size() && done->at(i).toInt() != 0)
                mLanded.insert(landing.at(i));
            else
                mMissing = true;
        }
    }

    // The frames the page has now, whatever their number was when it was recorded.
    const int frames = document->FrameCount();
    for (int i = 0; i < frames; ++i) {
        const auto frame = document->Frame(i);
        FillFormFields(frame.get(), FrameSection(section, i));
    }
}

void CWebUserAdd::SetFieldValue(QJsonArray& writes, const QString& key, QString value, bool textArea,
                                bool guarded) const
{
    if (MFieldKey::ParseKey(key).name.isEmpty())
        return;
    // A weight field gets the weight in the weight step, never its code.
    if (MFieldKey::IsWeightCode(value))
        return;
    if (textArea)
        value.replace(u"_CRLF_"_s, u"\r\n"_s);
    QJsonArray write = Write(u"v"_s, key, value);
    if (guarded)
        write[kPlain] = true;
    writes.append(write);
}

void CWebUserAdd::FillWeight(HtmlDocument* DOM, double Weight)
{
    const std::optional<QString> url = DOM ? DOM->URL() : std::nullopt;
    if (!url || TrimOneSlash(*url) != TrimOneSlash(mstrAddress)) {
        mbFilled = false; // not on the recorded page (yet)
        return;
    }
    if (MetricUnits == 0 && EnglishUnits == 0) {
        mbFilled = mPendingSecrets == 0;
        return;
    }
    mbFilled = FillWeightFields(DOM, mstrName, Weight);
    // The keyring has not answered yet: the next load brings the passwords.
    if (mPendingSecrets != 0)
        mbFilled = false;
}

bool CWebUserAdd::FillWeightFields(HtmlDocument* document, const QString& section, double weight)
{
    bool secrets = false;
    if (document && !MayWrite(document, section, &secrets))
        return false;
    bool result = true;
    QJsonArray writes;
    for (const QString& list : kValueLists) {
        for (const QString& key : KeyText(section, list).split(u','))
            result = SetWeightField(writes, key, KeyText(section, key), weight) && result;
    }
    if (!secrets)
        WithoutSecrets(writes);
    if (!writes.isEmpty()) {
        const auto done = document ? document->ReplayFields(writes) : std::nullopt;
        for (qsizetype i = 0; i < writes.size(); ++i) {
            // Found is enough: a field that refuses the number still counts as the page's weight field.
            if (!done || i >= done->size() || done->at(i).toInt() == 0)
                result = false;
        }
    }
    if (!document)
        return result;

    // Frames are visited only when the page has the frames it was recorded with: a different number
    // would pair the recorded sections with the wrong frames.
    const int frames = document->FrameCount();
    const auto recorded = IniValue::ToInt16(KeyText(section, u"_WGX_FRM_CNT"_s));
    if (frames != 0 && recorded && frames == *recorded) {
        for (int i = 0; i < frames; ++i) {
            const auto frame = document->Frame(i);
            if (!FillWeightFields(frame.get(), FrameSection(section, i), weight))
                result = false;
        }
    }
    return result;
}

bool CWebUserAdd::SetWeightField(QJsonArray& writes, const QString& key, const QString& code, double weight) const
{
    const QString unit = code.toLower();
    if (!MFieldKey::IsWeightCode(unit))
        return true;
    const bool metric = unit == u"kg"_s || unit == u"g"_s;
    const auto parts = SplitWeight(weight, metric ? MetricUnits : EnglishUnits);
    const double part = unit == u"kg"_s ? parts[0] : unit == u"g"_s ? parts[1] : unit == u"lb"_s ? parts[2] : parts[3];
    if (MFieldKey::ParseKey(key).name.isEmpty())
        return false;
    writes.append(Write(u"v"_s, key, part));
    return true;
}
