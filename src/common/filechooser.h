#pragma once

#include <QString>

class QWidget;

// Every file dialog of the program goes through this, so tests can choose files without a
// modal loop. Both return an empty text when the user cancels.
class FileChooser {
  public:
    virtual ~FileChooser();
    // A file to write; an existing one is confirmed with the user before it is chosen.
    virtual QString fileToSave(QWidget* parent, const QString& caption, const QString& suggested,
                               const QString& filter) = 0;
    virtual QString fileToOpen(QWidget* parent, const QString& caption, const QString& folder,
                               const QString& filter) = 0;
};
