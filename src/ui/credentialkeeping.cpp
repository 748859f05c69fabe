#include "ui/credentialkeeping.h"

#include "common/prompter.h"
#include "config/camcredentials.h"

#include <QCoreApplication>

namespace {

QString noKeyringQuestion() {
    return QCoreApplication::translate("CredentialKeeping",
                                       "No keyring answered: keep the password for this run "
                                       "only, or in the settings file in plain text?");
}

} // namespace

void KeepCamCredentials(CamCredentials& store, Prompter& prompter, QPointer<QWidget> parent,
                        const CredentialCam& cam, const Credentials& credentials) {
    QPointer<CamCredentials> kept(&store);
    store.write(
        cam, credentials,
        [kept, &prompter, parent, cam, credentials](CredentialStore::Outcome outcome,
                                                    const QString& error) {
            if (outcome == CredentialStore::Outcome::Done || !kept)
                return;
            const QString name = QString::fromLocal8Bit(cam.name);
            // without a keyring, one plain question; a keyring that failed says why
            const QString question =
                outcome == CredentialStore::Outcome::NoKeyring
                    ? noKeyringQuestion()
                    //: %1 names the cam, %2 says why the keyring could not keep them
                    : QCoreApplication::translate(
                          "CredentialKeeping",
                          "The keyring did not keep the user name and password of %1: %2\n\n"
                          "For This Run Only keeps them until the program ends. In Plain Text "
                          "keeps them in your settings file, unencrypted: anyone who can read "
                          "your files can read the password.")
                          .arg(name, error);
            prompter.askLater(
                parent, QCoreApplication::translate("CredentialKeeping", "Keyring"), question,
                PromptButtons::KeepCredentials,
                [kept, &prompter, parent, cam, credentials](PromptAnswer answer) {
                    if (!kept)
                        return;
                    if (answer == PromptAnswer::Cancel) // never kept without a word
                        prompter.askLater(
                            parent, QCoreApplication::translate("CredentialKeeping", "Keyring"),
                            QCoreApplication::translate(
                                "CredentialKeeping",
                                "%1 was saved without its user name and password: give them "
                                "again in Edit once a keyring answers.")
                                .arg(QString::fromLocal8Bit(cam.name)),
                            PromptButtons::Ok, [](PromptAnswer) {});
                    else
                        KeepCredentialsAsChosen(*kept, prompter, parent, cam, credentials, answer);
                });
        });
}

void AskWhereToKeepCredentials(Prompter& prompter, QPointer<QWidget> parent,
                               std::function<void(PromptAnswer)> answered) {
    prompter.askLater(parent, QCoreApplication::translate("CredentialKeeping", "Keyring"),
                      noKeyringQuestion(), PromptButtons::KeepCredentials, std::move(answered));
}

void KeepCredentialsAsChosen(CamCredentials& store, Prompter& prompter, QPointer<QWidget> parent,
                             const CredentialCam& cam, const Credentials& credentials,
                             PromptAnswer answer) {
    if (answer == PromptAnswer::ThisRunOnly)
        store.keepForThisRun(cam, credentials);
    else if (answer == PromptAnswer::PlainText && !store.keepInPlainText(cam, credentials))
        prompter.askLater(parent, QCoreApplication::translate("CredentialKeeping", ":: error"),
                          QCoreApplication::translate("CredentialKeeping",
                                                      "The user name and password could not be "
                                                      "written to the settings file."),
                          PromptButtons::Ok, [](PromptAnswer) {});
}
