#include "ui/credentialkeeping.h"

#include "common/prompter.h"
#include "config/camcredentials.h"

#include <QCoreApplication>

void KeepCamCredentials(CamCredentials& store, Prompter& prompter, QPointer<QWidget> parent,
                        const QByteArray& cam, const Credentials& credentials) {
    QPointer<CamCredentials> kept(&store);
    store.write(
        cam, credentials,
        [kept, &prompter, parent, cam, credentials](CredentialStore::Outcome outcome,
                                                    const QString& error) {
            if (outcome == CredentialStore::Outcome::Done || !kept)
                return;
            const QString name = QString::fromLocal8Bit(cam);
            const QString why =
                outcome == CredentialStore::Outcome::NoKeyring
                    ? QCoreApplication::translate("CredentialKeeping",
                                                  "No keyring answers, so the user name and "
                                                  "password of %1 cannot be kept there.")
                          .arg(name)
                    : QCoreApplication::translate(
                          "CredentialKeeping",
                          "The keyring did not keep the user name and password of %1: %2")
                          .arg(name, error);
            prompter.askLater(
                parent, QCoreApplication::translate("CredentialKeeping", "Keyring"),
                //: %1 says why the keyring could not keep them
                QCoreApplication::translate(
                    "CredentialKeeping",
                    "%1\n\nFor This Run Only keeps them until the program ends. In Plain Text "
                    "keeps them in your settings file, unencrypted: anyone who can read your "
                    "files can read the password.")
                    .arg(why),
                PromptButtons::KeepCredentials,
                [kept, &prompter, parent, cam, credentials](PromptAnswer answer) {
                    if (!kept)
                        return;
                    if (answer == PromptAnswer::ThisRunOnly)
                        kept->keepForThisRun(cam, credentials);
                    else if (answer == PromptAnswer::PlainText &&
                             !kept->keepInPlainText(cam, credentials))
                        prompter.askLater(
                            parent, QCoreApplication::translate("CredentialKeeping", ":: error"),
                            QCoreApplication::translate("CredentialKeeping",
                                                        "The user name and password could not "
                                                        "be written to the settings file."),
                            PromptButtons::Ok, [](PromptAnswer) {});
                });
        });
}
