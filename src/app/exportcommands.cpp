#include "app/exportcommands.h"

#include "app/mainmenus.h"
#include "camlist/camlistmodel.h"
#include "dialogs/timelapsedialog.h"
#include "engine/camfollower.h"
#include "history/camrules.h"
#include "listpane/camlistpane.h"
#include "listpane/listexchange.h"

ExportCommands::ExportCommands(QWidget* window, CamListPane& camList, const CamFollower& viewed,
                               const QString& camFolder, Prompter& prompter, FileChooser& files)
    : QObject(window), m_window(window), m_camList(camList), m_viewed(viewed),
      m_camFolder(camFolder), m_prompter(prompter), m_files(files) {
    m_exchange = new ListExchange(window, camList.model(), prompter, files);
}

void ExportCommands::answer(const MainMenus& menus) {
    connect(&menus, &MainMenus::importCamListRequested, m_exchange, &ListExchange::importList);
    connect(&menus, &MainMenus::exportCamListRequested, m_exchange, &ListExchange::exportList);
    connect(&menus, &MainMenus::exportTimelapseRequested, this, &ExportCommands::exportTimelapse);
}

TimelapseDialog* ExportCommands::timelapseDialog() const {
    return m_timelapse;
}

void ExportCommands::exportTimelapse() {
    if (m_timelapse) {
        m_timelapse->raise();
        m_timelapse->activateWindow();
        return;
    }
    std::vector<QByteArray> names;
    for (const std::string& name : m_camList.model().names())
        names.emplace_back(name.data(), qsizetype(name.size()));
    // the cam in the viewer, or else the one chosen in the list
    const QByteArray viewed = m_viewed.hasPlace() ? m_viewed.name() : QByteArray();
    const QByteArray chosen =
        !viewed.isEmpty() ? viewed : QByteArray::fromStdString(m_camList.currentListName());
    m_timelapse = new TimelapseDialog(m_camFolder, names, chosen, m_prompter, m_files, m_window);
    m_timelapse->setCamChoices([this](TimelapseOptions& options) {
        options.formerNames = m_camList.model().namesOf(options.camName.toStdString()).former;
        if (m_settings) {
            options.motion = m_settings->value(motionSettingsKey, options.camName);
            options.mask = m_settings->value(motionMaskKey, options.camName);
        }
    });
    m_timelapse->setAttribute(Qt::WA_DeleteOnClose);
    m_timelapse->show();
}

void ExportCommands::exportTimelapseRange(const QByteArray& cam, const QDateTime& from,
                                          const QDateTime& to) {
    exportTimelapse();
    m_timelapse->narrowTo(cam, from, to);
}
