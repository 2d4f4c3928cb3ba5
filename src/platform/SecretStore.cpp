#include "SecretStore.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QUrl>
#include <qt6keychain/keychain.h>

namespace {

const QString kService = QStringLiteral("Pesavo");

// The keyring's name of a secret: the three parts as a JSON array, so no page name, whatever it
// holds, can make two keys alike.
QString KeyName(const SecretStore::Key& key)
{
    return QString::fromUtf8(
        QJsonDocument(QJsonArray {key.page, key.origin, key.field}).toJson(QJsonDocument::Compact));
}

// The job answers once, from the event loop, and deletes itself afterwards.
template <typename Job, typename Answer>
void Run(SecretStore* store, Job* job, const SecretStore::Key& key, Answer answer)
{
    // Never a plain-text file instead of the keyring.
    job->setInsecureFallback(false);
    job->setAutoDelete(true);
    job->setKey(KeyName(key));
    QObject::connect(job, &QKeychain::Job::finished, store,
                     [answer = std::move(answer)](QKeychain::Job* done) { answer(static_cast<Job*>(done)); });
    job->start();
}

} // namespace

SecretStore::SecretStore(QObject* parent)
    : QObject(parent)
{ }

SecretStore* SecretStore::Shared()
{
    static QPointer<SecretStore> shared;
    if (!shared && QCoreApplication::instance())
        shared = new SecretStore(QCoreApplication::instance());
    return shared.data();
}

void SecretStore::Store(const Key& key, const QString& secret, Done done)
{
    auto* job = new QKeychain::WritePasswordJob(kService, this);
    job->setTextData(secret);
    Run(this, job, key, [done = std::move(done)](QKeychain::WritePasswordJob* finished) {
        if (done)
            done(finished->error() == QKeychain::NoError, finished->errorString());
    });
}

void SecretStore::Fetch(const Key& key, Fetched done)
{
    Run(this, new QKeychain::ReadPasswordJob(kService, this), key,
        [done = std::move(done)](QKeychain::ReadPasswordJob* finished) {
            if (!done)
                return;
            if (finished->error() == QKeychain::NoError)
                done(finished->textData(), QString());
            else
                done(std::nullopt, finished->error() == QKeychain::EntryNotFound ? QString() : finished->errorString());
        });
}

void SecretStore::Delete(const Key& key, Done done)
{
    Run(this, new QKeychain::DeletePasswordJob(kService, this), key,
        [done = std::move(done)](QKeychain::DeletePasswordJob* finished) {
            const QKeychain::Error error = finished->error();
            if (done)
                done(error == QKeychain::NoError || error == QKeychain::EntryNotFound, finished->errorString());
        });
}

void SecretStore::Probe(std::function<void(bool answers)> done)
{
    Run(this, new QKeychain::ReadPasswordJob(kService, this), Key {QStringLiteral("probe"), {}, {}},
        [done = std::move(done)](QKeychain::ReadPasswordJob* finished) {
            const QKeychain::Error error = finished->error();
            if (done)
                done(error == QKeychain::NoError || error == QKeychain::EntryNotFound);
        });
}
