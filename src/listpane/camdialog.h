#pragma once

#include "camlist/camrecord.h"
#include "common/atomicfile.h"
#include "common/prompter.h"
#include "config/camalerts.h"
#include "engine/addresscheck.h"

#include <QDialog>
#include <memory>

class CamCredentials;
class CamRulesBox;
class CamSettings;
class CamListModel;
class QCheckBox;
class Prompter;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
class TypedLengthLimit;

// The add-cam and edit-cam dialogs share their boxes, their check and their buttons. They
// change the cam list themselves and say so. Neither is modal, so the main window stays in use
// while one is open: Enter saves, Escape cancels.
class CamDialog : public QDialog {
    Q_OBJECT
  public:
    QLineEdit* nameBox() const { return m_nameBox; }
    QLineEdit* addressBox() const { return m_addressBox; }
    QLineEdit* refreshBox() const { return m_refreshBox; }

    void saveRecord();
    void cancel() { reject(); }

    // With a checker the dialog has a "Test" button: one fetch of the typed address, reported
    // below the boxes; nothing is saved.
    void setAddressChecker(AddressCheckerFactory factory);
    void testAddress();
    QToolButton* testButton() const { return m_test; }
    bool isTesting() const { return m_checker != nullptr; }
    QLabel* reportLabel() const { return m_report; }
    QLabel* previewLabel() const { return m_preview; }

    // With a store the dialog has user and password boxes (the password hidden unless "Show"
    // is ticked). What was typed there is kept under the cam's name when the record is saved;
    // a URL holding "user:password@" is offered to have them moved there.
    void setCredentialStore(CamCredentials* store);
    QLineEdit* userBox() const { return m_userBox; }
    QLineEdit* passwordBox() const { return m_passwordBox; }
    QCheckBox* showPasswordBox() const { return m_showPassword; }
    QCheckBox* plainPasswordBox() const { return m_plainPassword; }

    // With alert settings the dialog has the cam's "tell me when it goes dark" choices, kept
    // under the cam's name when the record is saved.
    void setAlertSettings(CamAlertSettings* alerts);
    QCheckBox* alertsBox() const { return m_alertsBox; }
    // With the cam's settings the dialog has the choices of how its source connects (a video
    // cam's stream over UDP, shown for rtsp:// addresses), kept when the record is saved.
    void setCamSettings(CamSettings* settings);
    QCheckBox* udpBox() const { return m_udpBox; }
    CamRulesBox* rulesBox() const { return m_rules; }

  signals:
    // A record was saved; for an edit, `oldName` is the name the dialog was opened with.
    void saved(const std::string& oldName, const CamRecord& record);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

    struct Layout {
        QRect label1, text1, label2, text2, label3, text3, label4, command1, command2;
        int clientHeight;
        QString nameTooltip;
    };
    CamDialog(CamListModel& camList, Prompter& prompter, const Layout& layout, QWidget* parent);

    // Fills the boxes with a stored record, which they keep byte for byte while unchanged.
    void fillFromRecord(const CamRecord& record);
    // The boxes' record: a box left as it was filled keeps the original bytes; what was typed
    // is taken in the user's 8-bit encoding.
    CamRecord enteredRecord() const;
    // The caption of the first box that was changed to hold a line break, a tab or another
    // control character, which would break the cam list file's lines; empty when none.
    QString fieldWithControlCharacter() const;
    // Writes the entered record into the cam list file.
    virtual FileResult write(const CamRecord& record) = 0;
    virtual std::string replacedName() const { return {}; }
    // Below the design's boxes and buttons: rows shown only when they have something to say.
    QWidget* extrasArea() const { return m_extras; }
    void fitExtras();

    CamListModel& m_camList;
    Prompter& m_prompter;
    CamRecord m_original; // what the boxes were filled with (the edit dialog's old record)

    // The credentials the boxes hold; nothing when there are no boxes or both are empty.
    std::optional<Credentials> typedCredentials() const;
    // An edit dialog's boxes show the cam's stored credentials (unless typed into already):
    // those given for its address, which its fetches send.
    void showStoredCredentials(const CredentialCam& cam);

  private:
    // The design's labels, boxes and buttons; OK and Cancel are given back.
    std::pair<QToolButton*, QToolButton*> makeDesignControls(const Layout& layout);
    // Test and the rows below the design's boxes that show only when they have something.
    void makeExtras(const Layout& layout);
    void showReport(const AddressReport& report);
    // Offers to keep the URL's "user:password@" in the keyring instead; when the user agrees,
    // they go to the boxes and out of the record's URL.
    void offerToMoveUserInfo(CamRecord& record);

    CamAlerts chosenAlerts() const;
    // Asks whether a keyring answers, and where the typed password goes when none does; saves
    // once that is settled.
    void askWhereToKeepCredentials();

    CamCredentials* m_credentials = nullptr;
    CamAlertSettings* m_alerts = nullptr;
    CamSettings* m_settings = nullptr;
    QCheckBox* m_udpBox = nullptr;
    CamRulesBox* m_rules = nullptr;
    QCheckBox* m_alertsBox = nullptr;
    QSpinBox* m_minutesBox = nullptr;
    QSpinBox* m_hoursBox = nullptr;
    QLineEdit* m_userBox = nullptr;
    QLineEdit* m_passwordBox = nullptr;
    QCheckBox* m_showPassword = nullptr;
    QCheckBox* m_plainPassword = nullptr; // agreement to send it over plain HTTP
    bool m_credentialsTyped = false;      // the user changed the boxes
    // where the typed password goes, settled before saving (Ok: the keyring)
    std::optional<PromptAnswer> m_keepAs;
    // the cam whose stored credentials the boxes were filled with
    std::optional<CredentialCam> m_shownFor;

    int m_designHeight = 0; // pixels, without the extras
    int m_textWidth = 0;    // pixels the widest text needs
    QWidget* m_extras = nullptr;
    QWidget* m_reportPanel = nullptr;
    QLabel* m_preview = nullptr;
    QLabel* m_report = nullptr;
    QToolButton* m_test = nullptr;
    AddressCheckerFactory m_checkerFactory;
    std::unique_ptr<AddressChecker> m_checker;
    TypedLengthLimit* m_refreshLimit = nullptr;
    TypedLengthLimit* m_nameLimit = nullptr;
    TypedLengthLimit* m_addressLimit = nullptr;
    QLineEdit* m_nameBox = nullptr;
    QLineEdit* m_addressBox = nullptr;
    QLineEdit* m_refreshBox = nullptr;
};

// Form2: makes a new cam.
class AddCamDialog : public CamDialog {
    Q_OBJECT
  public:
    AddCamDialog(CamListModel& camList, Prompter& prompter, const QString& productName,
                 QWidget* parent = nullptr);

  protected:
    FileResult write(const CamRecord& record) override;
};

// Form3: changes the cam it was opened with.
class EditCamDialog : public CamDialog {
    Q_OBJECT
  public:
    EditCamDialog(CamListModel& camList, Prompter& prompter, const CamRecord& old,
                  QWidget* parent = nullptr);

    const CamRecord& oldRecord() const { return m_old; }

    // A running cam's learned rate, shown with a button that puts it in the refresh box.
    void showRefreshSuggestion(const RefreshSuggestion& suggestion);
    QLabel* suggestionLabel() const { return m_suggestion; }
    QPushButton* useSuggestionButton() const { return m_useSuggestion; }

  protected:
    FileResult write(const CamRecord& record) override;
    std::string replacedName() const override { return m_old.name; }

  private:
    const CamRecord m_old; // oldName, oldUrl, oldRefresh
    QLabel* m_suggestion = nullptr;
    QPushButton* m_useSuggestion = nullptr;
};
