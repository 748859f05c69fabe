#include "camlist/listexchange.h"

#include "camlist/camlistexchange.h"
#include "camlist/camlistmodel.h"
#include "camlist/exportcamsdialog.h"
#include "common/filechooser.h"
#include "common/localtext.h"
#include "common/prompter.h"
#include "ui/credentialkeeping.h"

#include <QDir>
#include <QFile>

namespace {

const QString listFilter = "Cam lists (*.txt);;All files (*)";

QString cams(int count) {
    return count == 1 ? QString("1 cam") : QString("%1 cams").arg(count);
}

std::filesystem::path pathOf(const QString& file) {
    return QFile::encodeName(file).toStdString();
}

} // namespace

ListExchange::ListExchange(QWidget* window, CamListModel& camList, Prompter& prompter,
                           FileChooser& files)
    : QObject(window), m_window(window), m_camList(camList), m_prompter(prompter), m_files(files) {}

ExportCamsDialog* ListExchange::exportDialog() const {
    return m_exportDialog;
}

void ListExchange::importList() {
    const QString source =
        m_files.fileToOpen(m_window, "Import Cam List", QDir::homePath(), listFilter);
    if (source.isEmpty())
        return;
    const CamListImportReport report = m_camList.import(pathOf(source));
    if (report.added > 0)
        emit listChanged();
    QString text;
    if (!report.result.ok) {
        text = "Nothing was changed: " + localText(report.result.error);
    } else {
        text = cams(report.added) + (report.added == 1 ? " was" : " were") + " added.";
        if (report.duplicates > 0)
            text += " " + cams(report.duplicates) + (report.duplicates == 1 ? " was" : " were") +
                    " already in the list.";
        if (report.malformed > 0)
            text += " " + cams(report.malformed) + (report.malformed == 1 ? " was" : " were") +
                    " left out because the record is incomplete or holds something a cam "
                    "cannot have.";
    }
    m_prompter.ask(m_window, "Import Cam List", text, PromptButtons::Ok);
    if (report.result.ok)
        offerToMoveUserInfo(report.addedNames);
}

void ListExchange::offerToMoveUserInfo(const std::vector<std::string>& names) {
    if (!m_credentials)
        return;
    std::vector<std::pair<CamRecord, AddressUserInfo>> holding;
    for (const std::string& name : names)
        if (const std::optional<CamRecord> record = m_camList.find(name))
            if (const std::optional<AddressUserInfo> info = SplitUserInfo(record->url))
                holding.emplace_back(*record, *info);
    if (holding.empty())
        return;
    if (m_prompter.ask(m_window, "Import Cam List",
                       QString("%1 %2 a user name and password in the URL. Keep them in the "
                               "desktop's keyring instead, and take them out of the URLs?")
                           .arg(cams(int(holding.size())), holding.size() == 1 ? "has" : "have"),
                       PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    for (auto& [record, info] : holding) {
        CamRecord without = record;
        without.url = info.addressWithout;
        if (!m_camList.replace(record.name, without).ok)
            continue; // the URL keeps them, and they are used from there
        KeepCamCredentials(*m_credentials, m_prompter, m_window,
                           QByteArray::fromStdString(record.name), info.credentials);
    }
}

void ListExchange::exportList() {
    if (m_exportDialog) {
        m_exportDialog->raise();
        m_exportDialog->activateWindow();
        return;
    }
    m_camList.refresh();
    m_exportDialog = new ExportCamsDialog(m_camList.names(), m_window);
    m_exportDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_exportDialog, &QDialog::accepted, this, &ListExchange::writeExport);
    m_exportDialog->open();
}

void ListExchange::writeExport() {
    if (!m_exportDialog)
        return;
    const std::vector<std::string> names = m_exportDialog->tickedNames();
    const QString target =
        m_files.fileToSave(m_window, "Export Cam List", QDir::homePath() + "/cams.txt", listFilter);
    if (target.isEmpty() || names.empty())
        return;
    int count = 0;
    m_camList.refresh();
    const FileResult written =
        replaceFileAtomically(pathOf(target), ExportedCamList(m_camList.text(), names, &count));
    m_prompter.ask(m_window, "Export Cam List",
                   written.ok ? cams(count) + (count == 1 ? " was" : " were") + " written to " +
                                    target + "."
                              : "The cam list was not exported: " + localText(written.error),
                   PromptButtons::Ok);
}
