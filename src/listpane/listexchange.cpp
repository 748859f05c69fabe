#include "listpane/listexchange.h"

#include "camlist/camlistexchange.h"
#include "camlist/camlistmodel.h"
#include "common/filechooser.h"
#include "common/localtext.h"
#include "common/prompter.h"
#include "listpane/exportcamsdialog.h"
#include "ui/credentialkeeping.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

QString listFilter() {
    return QCoreApplication::translate("ListExchange", "Cam lists (*.txt);;All files (*)");
}

// English has a text of its own for one cam; the others' %n gives every language its plural
// forms.
QString importSummary(const CamListImportReport& report) {
    const int added = report.added, duplicates = report.duplicates, malformed = report.malformed;
    QString text = added == 1 ? QCoreApplication::translate("ListExchange", "1 cam was added.")
                              : QCoreApplication::translate("ListExchange", "%n cams were added.",
                                                            nullptr, added);
    if (duplicates > 0)
        text +=
            " " +
            (duplicates == 1
                 ? QCoreApplication::translate("ListExchange", "1 cam was already in the list.")
                 : QCoreApplication::translate("ListExchange", "%n cams were already in the list.",
                                               nullptr, duplicates));
    if (malformed > 0)
        text += " " + (malformed == 1
                           ? QCoreApplication::translate(
                                 "ListExchange",
                                 "1 cam was left out because the record is incomplete or holds "
                                 "something a cam cannot have.")
                           : QCoreApplication::translate(
                                 "ListExchange",
                                 "%n cams were left out because the record is incomplete or holds "
                                 "something a cam cannot have.",
                                 nullptr, malformed));
    return text;
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
        m_files.fileToOpen(m_window, tr("Import Cam List"), QDir::homePath(), listFilter());
    if (source.isEmpty())
        return;
    const CamListImportReport report = m_camList.import(pathOf(source));
    if (report.added > 0)
        emit listChanged();
    const QString text = report.result.ok
                             ? importSummary(report)
                             : tr("Nothing was changed: %1").arg(localText(report.result.error));
    m_prompter.ask(m_window, tr("Import Cam List"), text, PromptButtons::Ok);
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
    const int count = int(holding.size());
    const QString question =
        count == 1 ? tr("1 cam has a user name and password in the URL. Keep them in the "
                        "desktop's keyring instead, and take them out of the URLs?")
                   : tr("%n cams have a user name and password in the URL. Keep them in the "
                        "desktop's keyring instead, and take them out of the URLs?",
                        nullptr, count);
    if (m_prompter.ask(m_window, tr("Import Cam List"), question, PromptButtons::YesNo) !=
        PromptAnswer::Yes)
        return;
    for (auto& [record, info] : holding) {
        CamRecord without = record;
        without.url = info.addressWithout;
        if (!m_camList.replace(record.name, without).ok)
            continue; // the URL keeps them, and they are used from there
        KeepCamCredentials(*m_credentials, m_prompter, m_window,
                           {m_camList.idOf(record.name), QByteArray::fromStdString(record.name),
                            QByteArray::fromStdString(without.url)},
                           info.credentials);
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
    const QString target = m_files.fileToSave(m_window, tr("Export Cam List"),
                                              QDir::homePath() + "/cams.txt", listFilter());
    if (target.isEmpty() || names.empty())
        return;
    int count = 0;
    m_camList.refresh();
    const FileResult written =
        replaceFileAtomically(pathOf(target), ExportedCamList(m_camList.text(), names, &count));
    const QString text =
        !written.ok  ? tr("The cam list was not exported: %1").arg(localText(written.error))
        : count == 1 ? tr("1 cam was written to %1.").arg(target)
                     : tr("%n cams were written to %1.", nullptr, count).arg(target);
    m_prompter.ask(m_window, tr("Export Cam List"), text, PromptButtons::Ok);
}
