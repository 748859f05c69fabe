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
#include <QTest>
#include <QToolButton>

namespace {

std::optional<Credentials> readBack(CamCredentials& store, const QByteArray& cam,
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

    void credentialsLiveInTheKeyring() {
        Sandbox box;
        box.writeFile("00camlist.txt", "\r\n");
        ScriptedPrompter prompter;
        SettingsStore settings("Tarvique Software", "Tarvique Webcams", prompter);
        CamCredentials store("Tarvique Webcams keyring test", settings, "Tarvique Webcams");
        QWidget frame;
        CamListModel model(box.fsPath("00camlist.txt"));
        auto* pane = new CamListPane(&frame, model, "Tarvique Webcams", prompter);
        pane->LoadCamList();
        pane->setCredentialStore(&store);
        QObject::connect(&model, &CamListModel::renamed, [&](auto& before, auto& after) {
            store.rename(QByteArray::fromStdString(before), QByteArray::fromStdString(after),
                         false);
        });

        // typed into the add dialog: kept in the keyring without a question
        pane->addCam();
        CamDialog* add = pane->addDialog();
        add->nameBox()->setText("Door");
        add->addressBox()->setText("http://cam.example/a.jpg");
        add->refreshBox()->setText("5");
        add->userBox()->setText("bob");
        QTest::keyClicks(add->passwordBox(), "s3cret-in-keyring");
        add->findChild<QToolButton*>("Command1")->click();
        CredentialStore::Outcome outcome = CredentialStore::Outcome::Failed;
        QTRY_COMPARE(readBack(store, "Door", &outcome),
                     std::optional<Credentials>(Credentials{"bob", "s3cret-in-keyring"}));
        QCOMPARE(outcome, CredentialStore::Outcome::Done);
        QVERIFY(prompter.asked.isEmpty());
        QVERIFY(!everyFileIn(box.programFolder() + "/..").contains("s3cret-in-keyring"));

        // a rename takes them along; a removal takes them away
        QVERIFY(model.replace("Door", {"Gate", "http://cam.example/a.jpg", "5"}).ok);
        QTRY_VERIFY(readBack(store, "Gate").has_value());
        QTRY_VERIFY(!readBack(store, "Door").has_value());
        store.remove("Gate");
        QTRY_VERIFY(!readBack(store, "Gate").has_value());
    }
};

WEBCAMS_TEST(KeyringTest)
#include "test_keyring.moc"
