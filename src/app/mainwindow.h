#pragma once

#include "common/appidentity.h"
#include "common/background.h"
#include "config/certificatepins.h"
#include "config/camalerts.h"
#include "config/camcredentials.h"
#include "config/desktopnotifier.h"
#include "config/settings.h"
#include "ui/windowlock.h"
#include "viewer/layout.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class DailyFilmMaker;
class DailyFilmsDialog;
class KeepPicturesDialog;
class PictureKeeper;
class QTimer;
class CamListModel;
class CamListPane;
class CamPanelSet;
class ControlsFrame;
class ExportCommands;
class FileChooser;
class MainMenus;
class NetworkClock;
class PanelSelection;
class Prompter;
class SecondaryWindows;
class StatusText;
class ViewerPane;

// Form1: the main window. It makes the parts (the controls frame with the cam list, the panel
// area, the viewer, the menus and the secondary windows), connects them and places them.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // File dialogs go through `files`; without one, the toolkit's own are used.
    MainWindow(const AppIdentity& identity, const QString& programFolder, Prompter& prompter,
               FileChooser* files = nullptr);
    ~MainWindow() override;

    // Runs once after construction, before the window is first shown.
    void load();
    void ArrangeMainWindow();
    // The cams rest while the window is not seen, unless their pictures are saved.
    void restWhileUnseen();
    void startListedCam();
    void storeAutoSave();

    QString statusText() const;
    // "Keep Pictures...": the rules for the saved pictures, one dialog at a time.
    void openKeepPictures();
    // "Daily Films...": each cam's film of each day, one dialog at a time.
    void openDailyFilms();
    DailyFilmMaker& dailyFilms() const { return *m_films; }
    PictureKeeper& pictureKeeper() const { return *m_keeper; }
    void setStatusText(const QString& text);
    // A text the user waits for (where a picture was saved): it stays at least five seconds,
    // and what comes meanwhile is shown after it, the latest only.
    void holdStatusText(const QString& text);
    // How the process ends ("Exit", or the main window closing); tests replace it.
    void setProcessEnd(std::function<void()> end) { m_endProcess = std::move(end); }
    // Where Help.rtf is, when it is not in the program folder (an installed copy's).
    void setHelpFile(const QString& path);

    CamListModel& camListModel() const { return *m_camListModel; }
    CamListPane& camList() const { return *m_camList; }
    CamPanelSet& panels() const { return *m_panels; }
    ViewerPane& viewer() const { return *m_viewer; }
    NetworkClock& clock() const { return *m_clock; }
    SecondaryWindows& windows() const { return *m_windows; }
    MainMenus& menus() const { return *m_menus; }
    ControlsFrame& controls() const { return *m_controls; }
    ExportCommands& exports() const { return *m_exports; }
    SettingsStore& settings() { return m_settings; }
    CamCredentials& credentials() { return m_credentials; }

    // Where pictures are saved, one after the other, off the window's thread.
    BackgroundQueue& fileQueue() { return m_files; }
    const MainWindowLayout& currentLayout() const { return m_layout; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void connectParts();
    void connectViewMenu();
    // The end, by "Exit", the close box or SIGTERM: the running cams are remembered.
    void endProgram();
    QString camFolder() const { return m_folder + "/cam"; }
    std::vector<QByteArray> camNames() const;

    const AppIdentity m_identity;
    const QString m_folder;
    SettingsStore m_settings;
    CertificatePins m_pins;
    CamCredentials m_credentials;
    CamAlertSettings m_alerts;
    PictureKeeper* m_keeper = nullptr;
    QPointer<KeepPicturesDialog> m_keepDialog;
    DailyFilmMaker* m_films = nullptr;
    QPointer<DailyFilmsDialog> m_filmsDialog;
    DesktopNotifier m_notifier;
    WindowLock m_lock;
    BackgroundQueue m_files{1};
    std::function<void()> m_endProcess;
    StatusText* m_statusPanel = nullptr; // StatusBar1's panel 1
    QTimer* m_statusHold = nullptr;
    QString m_statusAfterHold;
    QImage m_indicator; // picrefresh
    ControlsFrame* m_controls = nullptr;
    CamListModel* m_camListModel = nullptr;
    CamListPane* m_camList = nullptr;
    QWidget* m_camsFrame = nullptr; // frmCams
    CamPanelSet* m_panels = nullptr;
    std::unique_ptr<PanelSelection> m_selection;
    ViewerPane* m_viewer = nullptr;
    NetworkClock* m_clock = nullptr;
    SecondaryWindows* m_windows = nullptr;
    MainMenus* m_menus = nullptr;
    std::unique_ptr<FileChooser> m_ownFiles; // the toolkit's dialogs, when no chooser was given
    ExportCommands* m_exports = nullptr;
    MainWindowLayout m_layout;
};
