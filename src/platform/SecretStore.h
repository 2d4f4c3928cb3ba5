#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// The passwords typed into taught pages live in the desktop keyring (the Secret Service), never in
// the settings file. One secret per page section, origin of the document it was typed in and field
// key: the same field of another site is another secret, so a password can only go back where it
// came from.
//
// Every operation answers later, from the event loop, through its callback (the keyring may first ask
// the user to unlock it); operations run one after the other in the order they were asked, so a fetch
// asked after a store sees the stored secret. Where no keyring answers, a store fails and a fetch finds
// nothing: nothing is ever written elsewhere instead.
class SecretStore final : public QObject
{
    Q_OBJECT
public:
    struct Key
    {
        QString page; // the settings section: the page's own or a frame's
        QString origin; // scheme://host:port of the document
        QString field; // the field key, as 0_wgx_password
        friend bool operator==(const Key&, const Key&) = default;
    };
    using Done = std::function<void(bool ok, const QString& error)>;
    // The secret, or nothing with the reason (empty when the keyring simply holds none under the key).
    using Fetched = std::function<void(const std::optional<QString>& secret, const QString& error)>;

    explicit SecretStore(QObject* parent = nullptr);

    // The program's one store, owned by the application object; nullptr before it exists.
    static SecretStore* Shared();

    void Store(const Key& key, const QString& secret, Done done);
    void Fetch(const Key& key, Fetched done);
    // A key the keyring does not hold counts as deleted.
    void Delete(const Key& key, Done done = {});
    // Whether a keyring answers at all: a lookup of a key no one stores.
    void Probe(std::function<void(bool answers)> done);

    // scheme://host:port of an address (the port written out, the scheme's own when the address has
    // none); empty for an address without scheme or host. file: addresses have the origin "file://".
};
