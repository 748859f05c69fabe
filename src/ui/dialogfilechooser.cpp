#include "ui/dialogfilechooser.h"

#include <QFileDialog>

QString DialogFileChooser::fileToSave(QWidget* parent, const QString& caption,
                                      const QString& suggested, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

QString DialogFileChooser::fileToOpen(QWidget* parent, const QString& caption,
                                      const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}
