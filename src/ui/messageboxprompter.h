#pragma once

#include "common/prompter.h"

// The real one: a QMessageBox, modal for ask(), window-modal and answered later for askLater().
class MessageBoxPrompter : public Prompter {
  public:
    PromptAnswer ask(QWidget* parent, const QString& title, const QString& text,
                     PromptButtons buttons) override;
    void askLater(QWidget* parent, const QString& title, const QString& text, PromptButtons buttons,
                  std::function<void(PromptAnswer)> answered) override;
};
