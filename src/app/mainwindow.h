#pragma once

#include "common/appidentity.h"
#include "viewer/layout.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class CamEngine;
class CamListPane;
class CamServices;
class ControlsFrame;
class ExportCommands;
class FileChooser;
class MainMenus;
class NetworkClock;
class PanelArea;
class RuleDialogs;
class Prompter;
class SecondaryWindows;
class StatusLine;
class WallChoice;
class ViewerPane;

// Form1: the main window. It makes the views (the controls frame with the cam list, the panel
// area, the viewer, the menus and the secondary windows) over the cam services, connects them
// and places them.
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
    void startListedCam();
    // "Exit", the close box or SIGTERM: the running cams are remembered, and the process ends.
    void exitProgram();
    void storeAutoSave();

    QString statusText() const;
    void setStatusText(const QString& text);
    // A text the user waits for: it stays at least five seconds.
    void holdStatusText(const QString& text);
    void withdrawStatusText(const QString& text); // when it is still shown or still to come
    // How the process ends ("Exit", or the main window closing); tests replace it.
    void setProcessEnd(std::function<void()> end) { m_endProcess = std::move(end); }
    // Where Help.rtf is, when it is not in the program folder (an installed copy's).
    void setHelpFile(const QString& path);

    CamServices& services() const { return *m_services; }
    CamEngine& engine() const;
    CamListPane& camList() const { return *m_camList; }
    PanelArea& panelArea() const { return *m_panels; }
    ViewerPane& viewer() const { return *m_viewer; }
    NetworkClock& clock() const { return *m_clock; }
    SecondaryWindows& windows() const { return *m_windows; }
    MainMenus& menus() const { return *m_menus; }
    ControlsFrame& controls() const { return *m_controls; }
    ExportCommands& exports() const { return *m_exports; }
    RuleDialogs& ruleDialogs() const { return *m_ruleDialogs; }
    WallChoice& wallChoice() const { return *m_wall; }
    const MainWindowLayout& currentLayout() const { return m_layout; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void makeViews(Prompter& prompter, FileChooser* files);

    const AppIdentity m_identity;
    std::unique_ptr<CamServices> m_services;
    std::function<void()> m_endProcess;
    StatusLine* m_status = nullptr;
    WallChoice* m_wall = nullptr;
    QImage m_indicator; // picrefresh
    ControlsFrame* m_controls = nullptr;
    CamListPane* m_camList = nullptr;
    QWidget* m_camsFrame = nullptr; // frmCams
    PanelArea* m_panels = nullptr;
    ViewerPane* m_viewer = nullptr;
    NetworkClock* m_clock = nullptr;
    SecondaryWindows* m_windows = nullptr;
    MainMenus* m_menus = nullptr;
    std::unique_ptr<FileChooser> m_ownFiles; // the toolkit's dialogs, when no chooser was given
    ExportCommands* m_exports = nullptr;
    RuleDialogs* m_ruleDialogs = nullptr;
    MainWindowLayout m_layout;
};
