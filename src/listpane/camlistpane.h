#pragma once

#include "camlist/camrecord.h"
#include "engine/addresscheck.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <string>

class AddCamDialog;
class CamAlertSettings;
class CamSettings;
class CamCredentials;
class QListWidgetItem;

class CamListModel;
class EditCamDialog;
class Prompter;
class QListWidget;
class QToolButton;

// The cam list of the "Controls" frame: the list box List1 with its label, the Add, Del and
// Edit buttons, and the add and edit dialogs they open. The list shows the cam list model's
// names; every command goes by the name shown and looks its record up in the model.
class CamListPane : public QObject {
    Q_OBJECT
  public:
    // The controls are made inside `frame` at their design places.
    CamListPane(QWidget* frame, CamListModel& camList, const QString& productName,
                Prompter& prompter);

    CamListModel& model() const { return m_camList; }
    QListWidget* list() const { return m_list; }
    // Places the list box; only its height follows the window.
    void setListHeightTwips(int height);

    // Start-up: creates a missing file, then shows its names.
    void LoadCamList();
    // The list refilled from the model.
    void RefreshMainList();
    bool AnyCamSelected() const;
    // The exact bytes of the cam name at the list's current index (empty when none).
    std::string currentListName() const;

    void addCam();
    void editSelectedCam();
    void removeSelectedCam();
    void requestStart() { emit startRequested(); }

    // The dialogs' "Test" button, and the edit dialog's suggested refresh for a running cam.
    void setAddressChecker(AddressCheckerFactory factory) { m_checker = std::move(factory); }
    void setRefreshSuggestions(RefreshSuggestionSource source) {
        m_suggestions = std::move(source);
    }
    // Where the dialogs keep the cams' user names and passwords.
    void setCredentialStore(CamCredentials* store) { m_credentials = store; }
    void setAlertSettings(CamAlertSettings* alerts) { m_alerts = alerts; }
    // Where the dialogs keep a cam's other choices (how a video cam connects).
    void setCamSettings(CamSettings* settings) { m_settings = settings; }
    // A cam that went dark is marked in the list, with `note` saying how; an empty note
    // takes the mark away.
    void markDark(const QByteArray& cam, const QString& note);
    // A cam whose picture shows motion is marked in the list while it lasts.
    void markMotion(const QByteArray& cam, bool on);

    AddCamDialog* addDialog() const;
    EditCamDialog* editDialog() const;
    // Shutdown: the add dialog, then the edit dialog.
    void closeDialogs();

  signals:
    // A command needs a selected cam and there is none: the "Oops!" notice.
    void selectionNeeded();
    // A double click on a name: start that cam.
    void startRequested();
    // A cam was saved by the edit dialog: panels showing `oldName` take the new record.
    void camEdited(const std::string& oldName, const CamRecord& record);
    void statusText(const QString& text);

  private:
    void showDarkNote(QListWidgetItem* item) const;
    void reportFailure(const QString& text);

    CamListModel& m_camList;
    const QString m_productName;
    Prompter& m_prompter;
    QWidget* m_frame = nullptr;
    QListWidget* m_list = nullptr;
    QHash<QByteArray, QString> m_darkNotes;
    QSet<QByteArray> m_moving;
    CamAlertSettings* m_alerts = nullptr;
    CamSettings* m_settings = nullptr;
    QPointer<AddCamDialog> m_addDialog;
    QPointer<EditCamDialog> m_editDialog;
    AddressCheckerFactory m_checker;
    RefreshSuggestionSource m_suggestions;
    CamCredentials* m_credentials = nullptr;
};
