#pragma once

#include <QObject>
#include <QPointer>
#include <string>
#include <vector>

class CamCredentials;
class CamListModel;
class ExportCamsDialog;
class FileChooser;
class Prompter;
class QWidget;

// The File menu's "Import Cam List..." and "Export Cam List...": cam lists written to a file of
// their own and merged back in, each said in a message.
class ListExchange : public QObject {
    Q_OBJECT
  public:
    ListExchange(QWidget* window, CamListModel& camList, Prompter& prompter, FileChooser& files);

    // Asks for a file and adds its cams whose names are new to the list.
    void importList();
    // Opens the dialog of cams to tick; Export there asks where the file goes.
    void exportList();
    ExportCamsDialog* exportDialog() const;
    // Where imported cams' user names and passwords may go, out of their URLs.
    void setCredentialStore(CamCredentials* store) { m_credentials = store; }

  signals:
    // Cams were added to the list.
    void listChanged();

  private:
    void writeExport();
    // Offers to move the "user:password@" of these cams' URLs into the keyring.
    void offerToMoveUserInfo(const std::vector<std::string>& names);

    QWidget* m_window;
    CamListModel& m_camList;
    Prompter& m_prompter;
    FileChooser& m_files;
    QPointer<ExportCamsDialog> m_exportDialog;
    CamCredentials* m_credentials = nullptr;
};
