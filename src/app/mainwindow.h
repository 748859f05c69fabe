#pragma once

#include "appidentity.h"
#include "camrecord.h"

#include <QMainWindow>
#include <QPointer>
#include <filesystem>

class NoticeWindow;
class Prompter;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QScrollBar;
class QStatusBar;
class QToolButton;

// Form1: the main window with the cam list and commands, the panel area and the viewer.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(const AppIdentity& identity, const QString& programFolder, Prompter& prompter,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs once after construction, before the window is first shown.
    void Form_Load();

    void LoadCamList();
    void RefreshMainList();
    // "Oops!": the notice that a cam must be selected first; one window, brought to the front.
    void showSelectCamNotice();
    void setStatusText(const QString& text);
    QString statusText() const;

    std::filesystem::path camListPath() const;
    QString camFolder() const;
    // The exact bytes of the cam name at List1's current index (empty when none).
    std::string currentListName() const;
    bool AnyCamSelected() const;

    // Controls, named as in the design so tests find them by objectName.
    QStatusBar* StatusBar1 = nullptr;
    QLabel* statusPanel1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* frmCams = nullptr;
    QGroupBox* frmMain = nullptr;
    QLabel* picrefresh = nullptr;
    QLabel* notFound = nullptr;
    QLabel* blank = nullptr;
    QToolButton* cmdAdd = nullptr;
    QToolButton* cmdRemove = nullptr;
    QToolButton* cmdEdit = nullptr;
    QToolButton* cmdStartCam = nullptr;
    QToolButton* cmdStopAll = nullptr;
    QToolButton* Command2 = nullptr;
    QCheckBox* chkSave = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* List1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QWidget* picWindowOuter = nullptr;
    QWidget* picWindowInner = nullptr;

    // The current record, filled by a lookup in the cam list file.
    CamRecord cur;

  protected:
    const AppIdentity identity;
    const QString folder;
    Prompter& prompter;

  private:
    void buildControlsFrame();
    void buildCamsFrame();
    void buildViewerFrame();
    // Appends the names of the cam list file to List1; an unreadable file is reported.
    void fillListFromFile();

    // Start-up steps that other parts of the program fill in.
    void applyWindowIcons();
    void loadAutoSaveSetting();
    void givePanelsFetchingIndicator();
    void showHelpAtStartup();

    QPointer<NoticeWindow> Form4;
};
