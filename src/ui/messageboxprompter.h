#pragma once

#include "common/prompter.h"

// The real one: a modal QMessageBox.
class MessageBoxPrompter : public Prompter {
  public:
    PromptAnswer ask(QWidget* parent, const QString& title, const QString& text,
                     PromptButtons buttons) override;
};
