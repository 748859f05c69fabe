#pragma once

#include "common/prompter.h"

#include <QList>
#include <QStringList>

// Answers message boxes from a queue and remembers what was asked.
class ScriptedPrompter : public Prompter {
  public:
    struct Asked {
        QString title, text;
        PromptButtons buttons;
    };

    QList<PromptAnswer> answers; // taken front first; Ok or Cancel when empty
    QList<Asked> asked;

    PromptAnswer ask(QWidget*, const QString& title, const QString& text,
                     PromptButtons buttons) override {
        asked.append({title, text, buttons});
        if (!answers.isEmpty())
            return answers.takeFirst();
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
};
