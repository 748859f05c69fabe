#pragma once

#include "appidentity.h"
#include "camlistowner.h"
#include "camrecord.h"
#include "layout.h"
#include "panelhost.h"
#include "screensaver.h"
#include "settings.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <functional>

class AboutWindow;
class AddCamDialog;
class HelpWindow;
class WebsiteOpener;
class CamPanel;
class EditCamDialog;
class CamSocket;
class FullScreenView;
class ImageControl;
class NoticeWindow;
class Prompter;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollBar;
class QStatusBar;
class QToolButton;

// Form1: the main window with the cam list and commands, the panel area and the viewer.
class MainWindow : public QMainWindow, public PanelHost, public CamListOwner {
    Q_OBJECT
  public:
    MainWindow(const AppIdentity& identity, const QString& programFolder, Prompter& prompter,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs once after construction, before the window is first shown.
    void Form_Load();

    // Settings, help, About, website, menus and shutdown.
    void chkSave_Click();
    void Command2_Click();
    void showHelpWindow();
    void showAboutWindow();
    void mnuFileItem_Click(int index);
    void mnuCamItem_Click(int index);
    void mnuHelpItem_Click(int) { showHelpWindow(); }
    void mnuAboutItem_Click() { showAboutWindow(); }
    SettingsStore& settings() { return settingsStore; }
    HelpWindow* helpWindow() const;
    AboutWindow* aboutWindow() const;
    WebsiteOpener* websiteOpener() const { return frmWebsite; }
    // How the process ends ("Exit", or the main window closing); tests replace it.
    void setProcessEnd(std::function<void()> end) { endProcess = std::move(end); }

    void LoadCamList();
    void RefreshMainList() override;

    // The list commands.
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdRemove_Click();
    void UpdateOpenPanels(const std::string& oldName, const CamRecord& edited) override;
    Prompter& prompts() override { return prompter; }
    AddCamDialog* addDialog() const;
    EditCamDialog* editDialog() const;
    // "Oops!": the notice that a cam must be selected first; one window, brought to the front.
    void showSelectCamNotice();
    QString statusText() const;

    // Cams and panels.
    void cmdStartCam_Click();
    void StartSelectedCam();
    void StartCamByName(const std::string& name);
    void cmdStopAll_Click();
    void List1_DblClick();
    void imgCam_Click(int index);
    void VScroll1_Change();

    // The viewer.
    void ArrangeMainWindow();
    void Picture3_Click(int index) { imgCam_Click(index); }
    void ApplyZoom();
    void Slider1_Change() { ApplyZoom(); }
    void HScroll1_Change();
    void VScroll2_Change();
    void cmdSave_Click();
    void Command3_Click();
    QRect imgMainTwips() const { return imgMainPlace; }
    const MainWindowLayout& currentLayout() const { return layout; }
    FullScreenView* fullScreenView() const;
    void RequestNetworkTime();
    CamPanel* panel(int index) const { return Frame.at(index); }
    static constexpr int panelCount = 26;
    static constexpr int maxRunningCams = 24;

    // PanelHost
    int selectedCam() const override { return selected; }
    bool fullScreenOn() const override { return fullScreen; }
    void showFullScreenIndicator() override;
    void lockDrawing(bool lock) override;
    void setStatusText(const QString& text) override;
    void selectedPanelTicked(CamPanel& panel) override;
    void panelStopped(CamPanel& panel, bool wasRunning) override;
    void panelClicked(int index) override { imgCam_Click(index); }
    bool autoSaveOn() const override;
    QString camFolder() const override;
    QImage notFoundPicture() const override;
    void showSelectedPicture(const QImage& picture) override;
    void writeDetails(const CamPanel& panel) override;

    // The network time shown in the viewer's details.
    void objWinsock_DataArrival(qint64 bytesTotal);
    void objWinsock_Close();
    void setTimeServer(const QString& host, quint16 port);

    std::filesystem::path camListPath() const override;
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
    QList<CamPanel*> Frame; // the 26 panels
    // The viewer.
    QWidget* Picture1 = nullptr;
    ImageControl* imgMain = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll2 = nullptr;
    QPushButton* Command1 = nullptr;
    QGroupBox* frmDetails = nullptr;
    QLabel* Label6 = nullptr;
    QScrollBar* Slider1 = nullptr;
    QToolButton* cmdSave = nullptr;
    QToolButton* Command3 = nullptr;
    QLabel* lblName = nullptr;
    QLabel* lblRefresh = nullptr;
    QLabel* lblLastChanged = nullptr;
    QLabel* lblLastRefreshed = nullptr;
    QLabel* lblNextRefresh = nullptr;
    QLabel* lblTime = nullptr;
    CamSocket* objWinsock = nullptr;

    // The panel shown in the viewer (-1: none), the running panels, the full-screen view.
    qint16 selected = 0;
    int32_t naturalWidth = 0, naturalHeight = 0; // the selected picture at factor 1, in twips
    qint16 activeCams = 0;
    bool fullScreen = false;

    // The current record, filled by a lookup in the cam list file.
    CamRecord cur;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    const AppIdentity identity;
    const QString folder;
    Prompter& prompter;

  private:
    void buildControlsFrame();
    void buildCamsFrame();
    void buildPanels();
    void buildMenus();
    void buildViewerFrame();
    void buildDetails();
    void setImgMainTwips(const QRect& place);
    // Dimensions read by the layout and zoom, in twips.
    int32_t twipsOf(int pixels) const;
    // Appends the names of the cam list file to List1; an unreadable file is reported.
    void fillListFromFile();

    // Start-up steps that other parts of the program fill in.
    void applyWindowIcons();
    void loadAutoSaveSetting();
    void givePanelsFetchingIndicator();
    void showHelpAtStartup();

    QPointer<NoticeWindow> Form4;
    QPointer<HelpWindow> Form8;
    QPointer<AboutWindow> frmAbout;
    WebsiteOpener* frmWebsite = nullptr;
    SettingsStore settingsStore;
    std::function<void()> endProcess;
    QPointer<AddCamDialog> Form2;
    QPointer<EditCamDialog> Form3;
    QPointer<FullScreenView> Form6;
    ScreenSaverSwitch screenSaver;
    MainWindowLayout layout;
    QRect imgMainPlace; // twips, within Picture1
    QString timeServerHost = "time.nist.gov";
    quint16 timeServerPort = 13;
    QElapsedTimer lastTimeRequest;
};
