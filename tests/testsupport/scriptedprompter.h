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
    // With `later`, askLater's questions wait in `waiting` until the test answers them.
    bool later = false;
    QList<std::function<void(PromptAnswer)>> waiting;

    void askLater(QWidget* parent, const QString& title, const QString& text, PromptButtons buttons,
                  std::function<void(PromptAnswer)> answered) override {
        if (!later)
            return Prompter::askLater(parent, title, text, buttons, std::move(answered));
        asked.append({title, text, buttons});
        waiting.append(std::move(answered));
    }

    PromptAnswer ask(QWidget*, const QString& title, const QString& text,
                     PromptButtons buttons) override {
        asked.append({title, text, buttons});
        if (!answers.isEmpty())
            return answers.takeFirst();
        if (buttons == PromptButtons::YesNo)
            return PromptAnswer::No;
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
};
