#include "listpane/exportcamsdialog.h"

#include "common/localtext.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ExportCamsDialog::ExportCamsDialog(const std::vector<std::string>& names, QWidget* parent)
    : QDialog(parent) {
    setObjectName("exportCamsDialog");
    setWindowTitle(tr("Export Cam List"));
    m_cams = new QListWidget(this);
    m_cams->setObjectName("camsList");
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(localText(name), m_cams);
        item->setData(Qt::UserRole, QByteArray(name.data(), qsizetype(name.size())));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* exportButton = buttons->addButton(tr("Export..."), QDialogButtonBox::AcceptRole);
    exportButton->setObjectName("exportButton");
    auto* none = buttons->addButton(tr("Tick None"), QDialogButtonBox::ResetRole);
    connect(none, &QPushButton::clicked, this, [this] {
        for (int row = 0; row < m_cams->count(); ++row)
            m_cams->item(row)->setCheckState(Qt::Unchecked);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_cams, &QListWidget::itemChanged, this,
            [this, exportButton] { exportButton->setEnabled(!tickedNames().empty()); });

    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(tr("The ticked cams go into the file:"), this);
    m_cams->setAccessibleName(caption->text());
    layout->addWidget(caption);
    layout->addWidget(m_cams);
    layout->addWidget(buttons);
}

std::vector<std::string> ExportCamsDialog::tickedNames() const {
    std::vector<std::string> names;
    for (int row = 0; row < m_cams->count(); ++row)
        if (m_cams->item(row)->checkState() == Qt::Checked)
            names.push_back(m_cams->item(row)->data(Qt::UserRole).toByteArray().toStdString());
    return names;
}
