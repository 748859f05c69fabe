#pragma once

#include <QDialog>

class QLayout;
class QTableWidget;

// The frame of a dialog that sets something for each cam: a note above, a table with a row for
// each cam (its name in the first column, left as it is), what else the dialog holds, and OK
// and Cancel below.
QTableWidget* MakeCamTable(QDialog* dialog, const char* objectName, const QString& accessibleName,
                           const QStringList& headers, const QStringList& rows);
void LayOutCamTableDialog(QDialog* dialog, const QString& note, QTableWidget* table,
                          QLayout* below = nullptr);
