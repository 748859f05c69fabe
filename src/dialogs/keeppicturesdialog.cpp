#include "dialogs/keeppicturesdialog.h"

#include "common/localtext.h"
#include "dialogs/camtabledialog.h"
#include "history/picturekeeper.h"

#include <QDoubleSpinBox>
#include <QLocale>
#include <QSpinBox>
#include <QTableWidget>
#include <memory>

namespace {

enum Column { CamColumn, CountColumn, SizeColumn, DaysColumn, SizeBoundColumn };

QString megabytesText(qint64 bytes) {
    return QLocale().toString(double(bytes) / (1 << 20), 'f', 1) + " MB";
}

} // namespace

KeepPicturesDialog::KeepPicturesDialog(PictureKeeper& keeper, const std::vector<CamNames>& cams,
                                       QWidget* parent)
    : QDialog(parent), m_keeper(keeper), m_cams(cams) {
    setObjectName("frmKeepPictures");
    setWindowTitle(tr("Keep Pictures"));
    QStringList rows{tr("All cams together")};
    for (const CamNames& cam : cams)
        rows << localText(cam.current);
    m_table =
        MakeCamTable(this, "keepTable", tr("What is kept of each cam's pictures"),
                     {tr("Cam"), tr("Pictures"), tr("Size"), tr("Keep days"), tr("Keep GB")}, rows);
    addRow(0, rows[0], keeper.overallRule());
    for (size_t i = 0; i < cams.size(); ++i)
        addRow(int(i) + 1, rows[int(i) + 1], keeper.camRule(cams[i].current));
    LayOutCamTableDialog(this,
                         tr("Saved pictures older than the days set, or beyond the size set, are "
                            "removed, the oldest first; never a picture younger than an hour, "
                            "and never a file the program did not save. 0 keeps them all."),
                         m_table);

    // counted on a thread of its own, which the dialog does not wait for when it closes
    auto* counter = new BackgroundQueue(1, false);
    connect(this, &QObject::destroyed, [counter] { delete counter; });
    counter->run(
        this, [folder = keeper.camFolder(), cams] { return ListKeptPictures(folder, cams); },
        [this](const std::map<QByteArray, std::vector<KeptPicture>>& listed) {
            qint64 allCount = 0, allBytes = 0;
            for (size_t i = 0; i < m_cams.size(); ++i) {
                const auto found = listed.find(m_cams[i].current);
                qint64 bytes = 0;
                const qint64 count = found == listed.end() ? 0 : qint64(found->second.size());
                if (found != listed.end())
                    for (const KeptPicture& picture : found->second)
                        bytes += picture.bytes;
                m_table->item(int(i) + 1, CountColumn)->setText(QLocale().toString(count));
                m_table->item(int(i) + 1, SizeColumn)->setText(megabytesText(bytes));
                allCount += count;
                allBytes += bytes;
            }
            m_table->item(0, CountColumn)->setText(QLocale().toString(allCount));
            m_table->item(0, SizeColumn)->setText(megabytesText(allBytes));
            m_table->resizeColumnsToContents();
            m_counted = true;
        });
}

void KeepPicturesDialog::addRow(int row, const QString& caption, const KeepRule& rule) {
    m_table->setItem(row, CountColumn, new QTableWidgetItem(tr("counting...")));
    m_table->setItem(row, SizeColumn, new QTableWidgetItem());
    for (int column = CountColumn; column <= SizeColumn; ++column)
        m_table->item(row, column)->setFlags(Qt::ItemIsEnabled);
    auto* days = new QSpinBox(m_table);
    days->setRange(0, 36500);
    days->setSpecialValueText(tr("all"));
    days->setValue(rule.days);
    days->setAccessibleName(tr("Days kept of %1").arg(caption));
    m_table->setCellWidget(row, DaysColumn, days);
    auto* size = new QDoubleSpinBox(m_table);
    size->setRange(0, 100000);
    size->setDecimals(1);
    size->setSpecialValueText(tr("any"));
    size->setValue(rule.gigabytes);
    size->setAccessibleName(tr("Gigabytes kept of %1").arg(caption));
    m_table->setCellWidget(row, SizeBoundColumn, size);
}

void KeepPicturesDialog::accept() {
    const auto ruleOf = [this](int row) {
        return KeepRule{
            static_cast<QSpinBox*>(m_table->cellWidget(row, DaysColumn))->value(),
            static_cast<QDoubleSpinBox*>(m_table->cellWidget(row, SizeBoundColumn))->value()};
    };
    m_keeper.setOverallRule(ruleOf(0));
    for (size_t i = 0; i < m_cams.size(); ++i)
        m_keeper.setCamRule(m_cams[i].current, ruleOf(int(i) + 1));
    m_keeper.keepWithinRules();
    QDialog::accept();
}
