#include "dialogs/camtabledialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

QTableWidget* MakeCamTable(QDialog* dialog, const char* objectName, const QString& accessibleName,
                           const QStringList& headers, const QStringList& rows) {
    auto* table = new QTableWidget(int(rows.size()), int(headers.size()), dialog);
    table->setObjectName(objectName);
    table->setAccessibleName(accessibleName);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < int(rows.size()); ++row) {
        auto* item = new QTableWidgetItem(rows[row]);
        item->setFlags(Qt::ItemIsEnabled);
        table->setItem(row, 0, item);
    }
    return table;
}

void LayOutCamTableDialog(QDialog* dialog, const QString& note, QTableWidget* table,
                          QLayout* below) {
    auto* noteLabel = new QLabel(note, dialog);
    noteLabel->setWordWrap(true);
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(noteLabel);
    layout->addWidget(table);
    if (below)
        layout->addLayout(below);
    layout->addWidget(buttons);
    // wide enough for every column, as far as the screen allows
    int tableWidth = 2 * table->frameWidth() + 4;
    if (!table->verticalHeader()->isHidden())
        tableWidth += table->verticalHeader()->sizeHint().width();
    for (int column = 0; column < table->columnCount(); ++column)
        tableWidth += table->columnWidth(column);
    const QMargins margins = layout->contentsMargins();
    const int screenWidth = dialog->screen()->availableGeometry().width() * 9 / 10;
    dialog->resize(
        std::clamp(tableWidth + margins.left() + margins.right(), 720, std::max(720, screenWidth)),
        420);
}
