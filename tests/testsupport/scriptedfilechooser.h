#pragma once

#include "common/filechooser.h"

#include <QStringList>

// Chooses files from a queue instead of a dialog and remembers what was asked.
class ScriptedFileChooser : public FileChooser {
  public:
    QStringList answers; // taken front first; cancelled (empty) when none is left
    QStringList captions, suggestions;

    QString fileToSave(QWidget*, const QString& caption, const QString& suggested,
                       const QString&) override {
        return next(caption, suggested);
    }
    QString fileToOpen(QWidget*, const QString& caption, const QString& folder,
                       const QString&) override {
        return next(caption, folder);
    }

  private:
    QString next(const QString& caption, const QString& suggested) {
        captions << caption;
        suggestions << suggested;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};
