// The passwords of taught pages in a real desktop keyring: CTest runs this test in a private D-Bus
// session with a gnome-keyring-daemon of its own (tests/support/with-keyring.sh).
#include "SecretStore.h"

#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {
constexpr int kAnswerMs = 20000;
const SecretStore::Key kShop {u"Shop"_s, u"https://shop.example.test:443"_s, u"0_wgx_password"_s};
} // namespace

class TestSecretStore : public QObject
{
    Q_OBJECT

    SecretStore mStore;

    // The answer of a fetch, once the keyring has given it.
    std::optional<QString> Fetched(const SecretStore::Key& key)
    {
        bool answered = false;
        std::optional<QString> secret;
        QString error;
        mStore.Fetch(key, [&](const std::optional<QString>& value, const QString& why) {
            answered = true;
            secret = value;
            error = why;
        });
        if (!QTest::qWaitFor([&] { return answered; }, kAnswerMs))
            qWarning("no answer from the keyring");
        if (!error.isEmpty())
            qWarning("keyring: %s", qPrintable(error));
        return secret;
    }

    bool Done(const std::function<void(SecretStore::Done)>& operation)
    {
        std::optional<bool> ok;
        operation([&](bool result, const QString&) { ok = result; });
        return QTest::qWaitFor([&] { return ok.has_value(); }, kAnswerMs) && *ok;
    }

private Q_SLOTS:
    void initTestCase()
    {
        std::optional<bool> answers;
        mStore.Probe([&](bool result) { answers = result; });
        QTRY_VERIFY_WITH_TIMEOUT(answers.has_value(), kAnswerMs);
        QVERIFY2(*answers, "no keyring answers: run through tests/support/with-keyring.sh");
    }

    // A secret comes back only under its own page, origin and field; deleted, it is gone.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("origin");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("found");
        QTest::newRow("same key") << kShop.page << kShop.origin << kShop.field << true;
        QTest::newRow("another origin") << kShop.page << u"https://evil.example.test:443"_s << kShop.field << false;
        QTest::newRow("another port") << kShop.page << u"https://shop.example.test:8443"_s << kShop.field << false;
        QTest::newRow("another page") << u"Shop2"_s << kShop.origin << kShop.field << false;
        QTest::newRow("another field") << kShop.page << kShop.origin << u"1_wgx_password"_s << false;
    }
    void roundTrip()
    {
        QFETCH(QString, page);
        QFETCH(QString, origin);
        QFETCH(QString, field);
        QFETCH(bool, found);
        const QString secret = u"pä$$ \"wörd\" \\ ,=[x]"_s;
        QVERIFY(Done([&](SecretStore::Done done) { mStore.Store(kShop, secret, done); }));
        QCOMPARE(Fetched({page, origin, field}), found ? std::optional<QString>(secret) : std::nullopt);
        QVERIFY(Done([&](SecretStore::Done done) { mStore.Delete(kShop, done); }));
        QCOMPARE(Fetched(kShop), std::nullopt);
        // Deleting what is not there is no failure.
        QVERIFY(Done([&](SecretStore::Done done) { mStore.Delete(kShop, done); }));
    }
};

QTEST_GUILESS_MAIN(TestSecretStore)
#include "tst_secretstore.moc"
