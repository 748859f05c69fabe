// Credentials in a real Secret Service (gnome-keyring-daemon on a private session bus, started
// by tests/testsupport/with-keyring.sh): kept there, never in the settings or the cam list,
// followed by a rename, gone with the cam.
#include "camlist/camlistmodel.h"
#include "config/camcredentials.h"
#include "config/settings.h"
#include "listpane/camdialog.h"
#include "listpane/camlistpane.h"

#include "sandbox.h"
#include "scriptedprompter.h"
#include "testmain.h"

#include <QDirIterator>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QtDBus>
#include <qt6keychain/keychain.h>

namespace {

const QString service = "Tarvique Webcams keyring test";

std::optional<Credentials> readBack(CamCredentials& store, const CredentialCam& cam,
                                    CredentialStore::Outcome* outcome = nullptr) {
    std::optional<Credentials> found;
    bool answered = false;
    store.read(cam,
               [&](CredentialStore::Outcome how, std::optional<Credentials> c, const QString&) {
                   found = c;
                   answered = true;
                   if (outcome)
                       *outcome = how;
               });
    (void)QTest::qWaitFor([&] { return answered; }, 10000);
    return found;
}

// A keyring entry as it is, bypassing the store; `value` writes it.
QByteArray entry(const QString& key, const QByteArray& value = {}) {
    QKeychain::ReadPasswordJob read(service);
    QKeychain::WritePasswordJob write(service);
    QKeychain::Job& job = value.isEmpty() ? static_cast<QKeychain::Job&>(read) : write;
    job.setAutoDelete(false);
    job.setKey(key);
    write.setBinaryData(value);
    QSignalSpy finished(&job, &QKeychain::Job::finished);
    job.start();
    (void)finished.wait(10000);
    return value.isEmpty() && !read.error() ? read.binaryData() : QByteArray();
}

// Locks the login keyring, or unlocks it as gnome-keyring's own unlocking does, with the
// password with-keyring.sh gave it.
void lockKeyring(bool locked) {
    const QDBusObjectPath login("/org/freedesktop/secrets/collection/login");
    QDBusInterface secrets("org.freedesktop.secrets", "/org/freedesktop/secrets",
                           "org.freedesktop.Secret.Service");
    if (locked) {
        QVERIFY(secrets.call("Lock", QVariant::fromValue(QList{login})).errorName().isEmpty());
        return;
    }
    const QDBusMessage opened =
        secrets.call("OpenSession", "plain", QVariant::fromValue(QDBusVariant(QString())));
    QDBusArgument password; // a secret: session, parameters, value, content type
    password.beginStructure();
    password << qdbus_cast<QDBusObjectPath>(opened.arguments().value(1)) << QByteArray()
             << QByteArray("test password") << QString("text/plain");
    password.endStructure();
    QDBusInterface gnome("org.freedesktop.secrets", "/org/freedesktop/secrets",
                         "org.gnome.keyring.InternalUnsupportedGuiltRiddenInterface");
    const QDBusMessage unlocked = gnome.call("UnlockWithMasterPassword", QVariant::fromValue(login),
                                             QVariant::fromValue(password));
    QVERIFY(unlocked.errorName().isEmpty());
}

// Every file under a folder, read whole, one after the other.
QByteArray everyFileIn(const QString& folder) {
    QByteArray all;
    for (QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        QFile file(it.next());
        file.open(QIODevice::ReadOnly);
        all += file.readAll();
    }
    return all;
}

} // namespace

class KeyringTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (qgetenv("DBUS_SESSION_BUS_ADDRESS").startsWith("disabled"))
            QSKIP("no session bus: run through tests/testsupport/with-keyring.sh");
    }
    void cleanup() { lockKeyring(false); } // a failed test leaves the keyring as it found it

    void credentialsLiveInTheKeyring() {
        Sandbox box;
        box.writeFile("00camlist.txt", "\r\n");
        ScriptedPrompter prompter;
        SettingsStore settings("Tarvique Software", "Tarvique Webcams", prompter);
        CamCredentials store(service, settings, "Tarvique Webcams");
        QWidget frame;
        CamListModel model(box.fsPath("00camlist.txt"));
        auto* pane = new CamListPane(&frame, model, "Tarvique Webcams", prompter);
        pane->LoadCamList();
        pane->setCredentialStore(&store);

        // typed into the add dialog: kept in the keyring without a question
        pane->addCam();
        CamDialog* add = pane->addDialog();
        add->nameBox()->setText("Door");
        add->addressBox()->setText("http://cam.example/a.jpg");
        add->refreshBox()->setText("5");
        add->userBox()->setText("bob");
        QTest::keyClicks(add->passwordBox(), "s3cret-in-keyring");
        add->findChild<QToolButton*>("Command1")->click();
        QTRY_VERIFY(model.find("Door")); // saved once the keyring answered
        const CamId id = model.idOf("Door");
        CredentialStore::Outcome outcome = CredentialStore::Outcome::Failed;
        QTRY_COMPARE(readBack(store, {id, "Door", "http://cam.example/a.jpg"}, &outcome),
                     std::optional<Credentials>(Credentials{"bob", "s3cret-in-keyring"}));
        QCOMPARE(outcome, CredentialStore::Outcome::Done);
        QVERIFY(prompter.asked.isEmpty());
        QVERIFY(!everyFileIn(box.programFolder() + "/..").contains("s3cret-in-keyring"));

        // renamed, it keeps them; saved in Edit with another address, they are given for that
        pane->list()->setCurrentItem(pane->list()->findItems("Door", Qt::MatchExactly).first());
        pane->editSelectedCam();
        QTRY_COMPARE(pane->editDialog()->passwordBox()->text(), QString("s3cret-in-keyring"));
        pane->editDialog()->nameBox()->setText("Gate");
        pane->editDialog()->addressBox()->setText("http://other.example:8080/a.jpg");
        pane->editDialog()->findChild<QToolButton*>("Command1")->click();
        QTRY_VERIFY(readBack(store, {id, "Gate", "http://other.example:8080/b.jpg"}));
        QVERIFY(!readBack(store, {id, "Gate", "http://cam.example/a.jpg"}));
    }

    // A removed cam's credentials go, even from a locked keyring, and no new cam gets them.
    void aRemovedCamsCredentialsNeverComeBack_data() {
        QTest::addColumn<bool>("locked"); // while the cam is removed
        QTest::newRow("keyring open") << false;
        QTest::newRow("keyring locked, then unlocked") << true;
    }
    void aRemovedCamsCredentialsNeverComeBack() {
        QFETCH(bool, locked);
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore settings("Tarvique Software", "Tarvique Webcams", prompter);
        CamCredentials store(service, settings, "Tarvique Webcams");
        QSignalSpy told(&store, &CamCredentials::statusText);
        const CredentialCam gate{11, "Gate", "http://a.example/x.jpg"};
        store.write(gate, {"alice", "pw"}, [](auto, auto&) {});
        QTRY_VERIFY(readBack(store, gate));

        lockKeyring(locked);
        store.remove(gate);
        const auto pending = [&] {
            return !settings.UserKeys("Tarvique Webcams", "KeyringRemovals").isEmpty();
        };
        QTRY_VERIFY(locked ? told.count() == 1 : !pending());
        QCOMPARE(told.count() == 1, pending()); // told exactly when one is left to go
        lockKeyring(false);

        QVERIFY(!readBack(store, {12, "Gate", "http://b.example/x.jpg"}));
        QVERIFY(!readBack(store, gate));
        // the keyring answers again: what it kept goes
        store.write({13, "Yard", "http://c.example/"}, {"carol", "pw"}, [](auto, auto&) {});
        QTRY_VERIFY(!pending());
        QVERIFY(entry("camid-11").isEmpty());
    }

    // Entries kept by name go, once, to the cams listed then, for the addresses they had.
    void nameKeyedCredentialsMoveOnce_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address"); // the cam's, when it reads them
        QTest::addColumn<bool>("found");
        QTest::newRow("listed then") << "Gate"
                                     << "http://a.example/x.jpg" << true;
        QTest::newRow("listed then, now elsewhere") << "Gate"
                                                    << "http://b.example/x.jpg" << false;
        QTest::newRow("added later") << "Yard"
                                     << "http://a.example/y.jpg" << false;
    }
    void nameKeyedCredentialsMoveOnce() {
        QFETCH(QString, name);
        QFETCH(QString, address);
        Sandbox box;
        ScriptedPrompter prompter;
        SettingsStore settings("Tarvique Software", "Tarvique Webcams", prompter);
        CamCredentials store(service, settings, "Tarvique Webcams");
        for (const QByteArray old : {"Gate", "Yard"})
            entry(CamSettingKey(old), R"({"password":"pw","user":"alice"})");
        store.moveNameKeyed({{21, "Gate", "http://a.example/x.jpg"}});
        store.moveNameKeyed(
            {{21, "Gate", "http://a.example/x.jpg"}, {22, "Yard", address.toUtf8()}});

        const CredentialCam cam{name == "Gate" ? 21u : 22u, name.toUtf8(), address.toUtf8()};
        QTEST(readBack(store, cam).has_value(), "found");
        if (name == "Gate" && QTest::currentDataTag() == QByteArray("listed then"))
            QTRY_VERIFY(entry(CamSettingKey(name.toUtf8())).isEmpty()); // moved, not copied
    }
};

WEBCAMS_TEST(KeyringTest)
#include "test_keyring.moc"
