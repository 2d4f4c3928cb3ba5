#pragma once

#include "IAutoFillWeb.h"
#include "SecretStore.h"

#include <QHash>
#include <QJsonArray>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

class IniFile;

// The filler of the pages the user taught the program (recorded by the add-page wizard). The browser
// driver re-creates it for every launch of such a page, with the page's name, its stored address and
// the unit masks. Each completed load replays every recorded value, frames included, then writes the
// weight into the fields that held a weight code, in that code's unit.
//
// Every document gets one call into the page for its values and one for its weight: a page of
// thousands of fields is filled in a fraction of a second, where a call per field would take seconds.
//
// Passwords are not in the settings: a section lists in _WGX_KEYRING the fields whose value is in
// the desktop keyring, under the section, its _WGX_ORIGIN and the field key. The launch (Create)
// fetches them before the page has loaded, and they are written only into a document of that
// origin; until the keyring has answered, the launch does not count as filled, so the next load
// brings them. A password an older version left in the settings goes only into a document of the
// origin it was recorded on.
class CWebUserAdd final : public IAutoFillWeb
{
public:
    explicit CWebUserAdd(IniFile& settings);

    void FillWeight(HtmlDocument* DOM, double Weight) override;
    void FillContent(HtmlDocument* DOM) override;
    void Create(const QString& Name, const QString& Address) override;
    QString Address() const override { return mstrAddress; }
    QString Name() const override { return mstrName; }
    bool IsFilled() const override { return mbFilled; }
    void SetIsFilled(bool TrueFalse) override { mbFilled = TrueFalse; }
    // A taught page replays its recorded values on every load.
    bool AutoFill() const override { return true; }
    void NewDocument() override { mLanded.clear(); }
    bool Pending() const override { return mMissing; }

    // The keyring entries of a page: its section's and its frames' (deleting the page deletes them).
    static QList<SecretStore::Key> PageSecrets(IniFile& settings, const QString& page);

    // Units the page takes, set by the driver at each launch: 1 kg + 2 g; 4 lb + 8 oz.
    qint32 MetricUnits = 0;
    qint32 EnglishUnits = 0;
    // Called when the last password of the page came back from the keyring.
    std::function<void()> SecretsArrived;

private:
    void FillFormFields(HtmlDocument* document, const QString& section);
    bool FillWeightFields(HtmlDocument* document, const QString& section, double weight);
    // Both add their write to the document's batch; SetWeightField answers false only when the key
    // names no field to take the weight (known once the batch ran: see FillWeightFields).
    // Away from the recorded origin a stored value never goes into a password field (guarded).
    void SetFieldValue(QJsonArray& writes, const QString& key, QString value, bool textArea, bool guarded) const;
    void FetchSecrets();
    bool SetWeightField(QJsonArray& writes, const QString& key, const QString& code, double weight) const;
    QString KeyText(const QString& section, const QString& key) const;
    // Whether the section's values may go into this document: only into the origin it was recorded from
    // (for the page itself without a recorded origin, its address's). A frame section of an older file,
    // which has no origin, still gets its values but never a password: *secrets says which.
    bool MayWrite(HtmlDocument* document, const QString& section, bool* secrets) const;
    // Marks each write of a batch as one that must not go into a password field.
    static void WithoutSecrets(QJsonArray& writes);

    IniFile& mSettings;
    QString mstrName;
    QString mstrAddress;
    bool mbFilled = false;
    // The passwords of this launch by section and field key, and how many the keyring still owes.
    QHash<std::pair<QString, QString>, QString> mSecrets;
    int mPendingSecrets = 0;
    // Answers for an earlier launch, or for a filler gone, find this reset.
    std::shared_ptr<int> mLaunch;
    // The values written into the document shown ("section\nkey"): a later pass over the same document
    // writes only those whose field was not there yet, so that it never undoes what the user typed since.
    QSet<QString> mLanded;
    // Whether the last pass met values whose field was not there.
    bool mMissing = false;
};
