#pragma once

#include <QString>
#include <functional>

class QWidget;

// TrustCancel: "Trust this certificate" (answered Ok) and Cancel. KeepCredentials: where a
// password goes when no keyring takes it: "For This Run Only", "In Plain Text" or Cancel.
enum class PromptButtons { Ok, OkCancel, AbortRetryIgnore, TrustCancel, YesNo, KeepCredentials };
enum class PromptAnswer { Ok, Cancel, Abort, Retry, Ignore, Yes, No, ThisRunOnly, PlainText };

// Every message box of the program goes through this, so tests can answer them without a
// modal loop.
class Prompter {
  public:
    virtual ~Prompter();
    virtual PromptAnswer ask(QWidget* parent, const QString& title, const QString& text,
                             PromptButtons buttons) = 0;
    // Asks without waiting for the answer, which `answered` hears later: the window goes on
    // meanwhile, with no event loop inside another. This one asks at once.
    virtual void askLater(QWidget* parent, const QString& title, const QString& text,
                          PromptButtons buttons, std::function<void(PromptAnswer)> answered) {
        answered(ask(parent, title, text, buttons));
    }
};
