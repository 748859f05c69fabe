#include "dialogs/dailyfilmsdialog.h"

#include "common/localtext.h"
#include "dialogs/camtabledialog.h"
#include "timelapse/dailyfilmmaker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimeEdit>

namespace {

enum Column {
    CamColumn,
    OnColumn,
    AtColumn,
    FromColumn,
    ToColumn,
    DarkColumn,
    RepeatsColumn,
    MotionColumn,
    KindColumn
};

template <typename Widget> Widget* cell(QTableWidget* table, int row, int column) {
    return static_cast<Widget*>(table->cellWidget(row, column));
}

} // namespace

DailyFilmsDialog::DailyFilmsDialog(DailyFilmMaker& maker, const std::vector<QByteArray>& cams,
                                   QWidget* parent)
    : QDialog(parent), m_maker(maker), m_cams(cams) {
    setObjectName("frmDailyFilms");
    setWindowTitle(tr("Daily Films"));
    QStringList names;
    for (const QByteArray& cam : cams)
        names << localText(cam);
    m_table =
        MakeCamTable(this, "dailyFilmTable", tr("Daily films of each cam"),
                     {tr("Cam"), tr("Film"), tr("Made at"), tr("From hour"), tr("To hour"),
                      tr("Skip dark"), tr("Skip repeats"), tr("Only motion"), tr("Film type")},
                     names);
    for (int row = 0; row < int(cams.size()); ++row) {
        const QString& name = names[row];
        const DailyFilmRule rule = maker.rule(cams[size_t(row)]);
        const auto box = [&](int column, bool checked, const QString& what) {
            auto* check = new QCheckBox(m_table);
            check->setChecked(checked);
            check->setAccessibleName(what.arg(name));
            m_table->setCellWidget(row, column, check);
        };
        box(OnColumn, rule.on, tr("Daily film of %1"));
        box(DarkColumn, rule.skipDark, tr("Skip dark pictures of %1"));
        box(RepeatsColumn, rule.skipRepeats, tr("Skip repeated pictures of %1"));
        box(MotionColumn, rule.onlyMotion, tr("Only the pictures of %1 with motion"));
        auto* kind = new QComboBox(m_table);
        kind->addItems({tr("AVI (Motion-JPEG)"), tr("MP4 (H.264)")});
        kind->setCurrentIndex(rule.mp4 ? 1 : 0);
        kind->setAccessibleName(tr("Film type of %1").arg(name));
        m_table->setCellWidget(row, KindColumn, kind);
        auto* at = new QTimeEdit(rule.at, m_table);
        at->setDisplayFormat("HH:mm");
        at->setAccessibleName(tr("Time the film of %1 is made").arg(name));
        m_table->setCellWidget(row, AtColumn, at);
        auto* from = new QSpinBox(m_table);
        from->setRange(0, 23);
        from->setValue(rule.fromHour);
        from->setAccessibleName(tr("First hour in the film of %1").arg(name));
        m_table->setCellWidget(row, FromColumn, from);
        auto* to = new QSpinBox(m_table);
        to->setRange(1, 24);
        to->setValue(rule.toHour);
        to->setAccessibleName(tr("Hour the film of %1 ends").arg(name));
        m_table->setCellWidget(row, ToColumn, to);
        // the hours shown stay a range
        connect(from, &QSpinBox::valueChanged, to, [to](int first) { to->setMinimum(first + 1); });
        to->setMinimum(from->value() + 1);
    }
    auto* folderLabel = new QLabel(tr("Films go to:"), this);
    m_folder = new QLineEdit(maker.filmFolder(), this);
    m_folder->setObjectName("filmFolderBox");
    folderLabel->setBuddy(m_folder);
    auto* choose = new QPushButton(tr("Choose..."), this);
    choose->setAccessibleName(tr("Choose the films' folder"));
    connect(choose, &QPushButton::clicked, this, [this] {
        const QString folder =
            QFileDialog::getExistingDirectory(this, tr("Films go to"), m_folder->text());
        if (!folder.isEmpty())
            m_folder->setText(folder);
    });
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(choose);
    LayOutCamTableDialog(this,
                         tr("Each day's pictures of a ticked cam become a film the next day at "
                            "the time set, also for days the program was not running."),
                         m_table, folderRow);
}

void DailyFilmsDialog::accept() {
    if (!m_folder->text().trimmed().isEmpty())
        m_maker.setFilmFolder(m_folder->text().trimmed());
    for (int row = 0; row < int(m_cams.size()); ++row) {
        DailyFilmRule rule = m_maker.rule(m_cams[size_t(row)]);
        rule.on = cell<QCheckBox>(m_table, row, OnColumn)->isChecked();
        rule.at = cell<QTimeEdit>(m_table, row, AtColumn)->time();
        rule.fromHour = cell<QSpinBox>(m_table, row, FromColumn)->value();
        rule.toHour = cell<QSpinBox>(m_table, row, ToColumn)->value();
        rule.skipDark = cell<QCheckBox>(m_table, row, DarkColumn)->isChecked();
        rule.skipRepeats = cell<QCheckBox>(m_table, row, RepeatsColumn)->isChecked();
        rule.onlyMotion = cell<QCheckBox>(m_table, row, MotionColumn)->isChecked();
        rule.mp4 = cell<QComboBox>(m_table, row, KindColumn)->currentIndex() == 1;
        m_maker.setRule(m_cams[size_t(row)], rule);
    }
    m_maker.makeDueFilms();
    QDialog::accept();
}
