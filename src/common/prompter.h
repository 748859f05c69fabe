#pragma once

#include <QString>

class QWidget;

// TrustCancel: "Trust this certificate" (answered Ok) and Cancel.
enum class PromptButtons { Ok, OkCancel, AbortRetryIgnore, TrustCancel };
enum class PromptAnswer { Ok, Cancel, Abort, Retry, Ignore };

// Every message box of the program goes through this, so tests can answer them without a
// modal loop.
class Prompter {
  public:
    virtual ~Prompter();
    virtual PromptAnswer ask(QWidget* parent, const QString& title, const QString& text,
                             PromptButtons buttons) = 0;
};
