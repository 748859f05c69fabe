#pragma once

#include "common/credentials.h"
#include "common/prompter.h"

#include <QPointer>
#include <QWidget>

class CamCredentials;
class Prompter;

// Keeps a cam's user name and password in the keyring. When no keyring answers, or it refuses,
// the user is told why and chooses: for this run only, in plain text in the settings (warned
// that anyone who can read their files can read it), or not at all. Questions go to `parent`
// while it lives, else stand on their own.
void KeepCamCredentials(CamCredentials& store, Prompter& prompter, QPointer<QWidget> parent,
                        const CredentialCam& cam, const Credentials& credentials);

// "No keyring answered: keep the password for this run only, or in the settings file in plain
// text?", with For This Run Only, In Plain Text and Cancel.
void AskWhereToKeepCredentials(Prompter& prompter, QPointer<QWidget> parent,
                               std::function<void(PromptAnswer)> answered);
// Keeps them as the user answered that question: for this run, or in plain text (said when
// that cannot be written).
void KeepCredentialsAsChosen(CamCredentials& store, Prompter& prompter, QPointer<QWidget> parent,
                             const CredentialCam& cam, const Credentials& credentials,
                             PromptAnswer answer);
