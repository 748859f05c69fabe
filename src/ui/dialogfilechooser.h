#pragma once

#include "common/filechooser.h"

// The real one: the toolkit's file dialogs.
class DialogFileChooser : public FileChooser {
  public:
    QString fileToSave(QWidget* parent, const QString& caption, const QString& suggested,
                       const QString& filter) override;
    QString fileToOpen(QWidget* parent, const QString& caption, const QString& folder,
                       const QString& filter) override;
};
