#include "app/mainwindow.h"

#include "app/camservices.h"
#include "app/controlsframe.h"
#include "app/dialogservices.h"
#include "app/exportcommands.h"
#include "app/keyboard.h"
#include "app/mainmenus.h"
#include "app/secondarywindows.h"
#include "app/session.h"
#include "app/startupservices.h"
#include "app/statusline.h"
#include "app/windowplace.h"
#include "camlist/camlistmodel.h"
#include "common/fileexists.h"
#include "common/tempfile.h"
#include "dialogs/dailyfilmsdialog.h"
#include "dialogs/keeppicturesdialog.h"
#include "engine/autosave.h"
#include "engine/camengine.h"
#include "engine/camfollower.h"
#include "engine/darkcamwatch.h"
#include "history/picturekeeper.h"
#include "listpane/camlistpane.h"
#include "listpane/listexchange.h"
#include "net/networkclock.h"
#include "panels/panelarea.h"
#include "timelapse/dailyfilmmaker.h"
#include "timelapse/timelapseexport.h"
#include "ui/dialogfilechooser.h"
#include "ui/screentwips.h"
#include "ui/widgetkit.h"
#include "ui/windowhelpers.h"
#include "viewer/viewerpane.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

MainWindow::MainWindow(const AppIdentity& identity, const QString& programFolder,
                       Prompter& prompter, FileChooser* files)
    : QMainWindow(nullptr), m_identity(identity),
      m_services(std::make_unique<CamServices>(identity, programFolder, prompter)),
      m_endProcess([] { QCoreApplication::exit(0); }) {
    setObjectName("Form1");
    m_status = new StatusLine(this);
    makeViews(prompter, files);
    connectParts();
    connectMenus();
    InstallShortcuts(*this, *m_camList, *m_viewer);
    resize(tw(13155), tw(11310));
}

// the views go before the services they show
MainWindow::~MainWindow() {
    delete takeCentralWidget();
}

CamEngine& MainWindow::engine() const {
    return m_services->engine();
}
CamListModel& MainWindow::camListModel() const {
    return m_services->camList();
}
SettingsStore& MainWindow::settings() const {
    return m_services->settings();
}
DailyFilmMaker& MainWindow::dailyFilms() const {
    return m_services->dailyFilms();
}
PictureKeeper& MainWindow::pictureKeeper() const {
    return m_services->pictureKeeper();
}

void MainWindow::makeViews(Prompter& prompter, FileChooser* files) {
    auto* client = new QWidget(this);
    client->setObjectName("Form1Client");
    setCentralWidget(client);
    // hidden pictures the panels take theirs from
    m_indicator =
        makeHiddenPicture(client, "picrefresh", ":/pictures/picrefresh.png", {0, 1200, 315, 255});
    engine().setNotFoundPicture(
        makeHiddenPicture(client, "notFound", ":/pictures/notfound.png", {0, 0, 1245, 930}));
    makeHiddenPicture(client, "blank", QString(), {1620, 0, 495, 375});

    m_controls = new ControlsFrame(client);
    m_camList = new CamListPane(m_controls, camListModel(), m_identity.ProductName, prompter);
    auto* camsFrame = new QGroupBox(tr("Webcams"), client);
    camsFrame->setObjectName("frmCams");
    camsFrame->setFont(designFont("Verdana", 8.25, true));
    setGeometryTwips(camsFrame, 2640, 0, 3915, 10815);
    m_camsFrame = camsFrame;
    m_panels = new PanelArea(camsFrame, engine(), prompter);
    m_services->autoSave().setOn(m_controls->autoSaveBox()->isChecked());
    m_viewer = new ViewerPane(client, engine().selection(), m_services->camFolder(),
                              m_services->fileQueue());
    m_viewer->follow(engine().selection());
    m_clock = new NetworkClock(this);
    m_windows = new SecondaryWindows(this, m_identity, m_services->programFolder() + "/Help.rtf",
                                     settings());
    m_menus = new MainMenus(menuBar(), this);
    if (!files)
        files = (m_ownFiles = std::make_unique<DialogFileChooser>()).get();
    m_exports = new ExportCommands(this, *m_camList, engine().selection(), m_services->camFolder(),
                                   prompter, *files);
    m_viewer->setFileChooser(files);
    GiveDialogsTheirServices(*m_camList, *m_services);
    m_exports->listExchange().setCredentialStore(&m_services->camSettings().credentials());
}

void MainWindow::connectParts() {
    CamEngine& cams = engine();
    connect(m_controls, &ControlsFrame::startCamClicked, this, &MainWindow::startListedCam);
    connect(m_controls, &ControlsFrame::stopAllClicked, &cams, &CamEngine::stopAllCams);
    connect(m_controls, &ControlsFrame::websiteClicked, m_windows, &SecondaryWindows::openWebsite);
    QCheckBox* autoSave = m_controls->autoSaveBox();
    connect(autoSave, &QCheckBox::toggled, &m_services->autoSave(), &AutoSave::setOn);
    connect(autoSave, &QCheckBox::toggled, this, &MainWindow::restWhileUnseen);
    // stored when the user changes it: a value written at start-up would hide a machine-wide
    // default set later
    connect(autoSave, &QCheckBox::clicked, this, &MainWindow::storeAutoSave);

    connect(m_camList, &CamListPane::selectionNeeded, m_windows,
            &SecondaryWindows::showSelectCamNotice);
    connect(m_camList, &CamListPane::startRequested, &cams,
            [this] { engine().StartSelectedCam(m_camList->currentListName()); });
    connect(m_camList, &CamListPane::camEdited, &cams, &CamEngine::UpdateOpenPanels);
    connect(m_camList, &CamListPane::statusText, this, &MainWindow::setStatusText);
    connect(&m_services->darkWatch(), &DarkCamWatch::darkStateChanged, m_camList,
            &CamListPane::markDark);

    connect(&cams, &CamEngine::statusText, this, &MainWindow::setStatusText);
    connect(&m_services->autoSave(), &AutoSave::statusText, this, &MainWindow::setStatusText);
    connect(&m_services->autoSave(), &AutoSave::pictureSaved, m_viewer,
            &ViewerPane::noteSavedPicture);
    connect(&cams.selection(), &CamFollower::followed, m_clock, &NetworkClock::RequestNetworkTime);
    connect(&cams.selection(), &CamFollower::ticked, m_clock, &NetworkClock::RequestNetworkTime);
    connect(m_viewer, &ViewerPane::statusText, this, &MainWindow::holdStatusText);
    connect(m_clock, &NetworkClock::timeText, m_viewer, &ViewerPane::setTime);
    connect(&pictureKeeper(), &PictureKeeper::statusText, this, &MainWindow::holdStatusText);
    connect(&pictureKeeper(), &PictureKeeper::picturesRemoved, m_viewer,
            &ViewerPane::readHistoryAgain);
    connect(&dailyFilms(), &DailyFilmMaker::statusText, this, &MainWindow::holdStatusText);
    connect(m_viewer, &ViewerPane::exportRangeRequested, m_exports,
            &ExportCommands::exportTimelapseRange);
}

void MainWindow::connectMenus() {
    connect(m_menus, &MainMenus::exitRequested, this, &MainWindow::endProgram);
    connect(m_menus, &MainMenus::addCamRequested, m_camList, &CamListPane::addCam);
    connect(m_menus, &MainMenus::deleteCamRequested, m_camList, &CamListPane::removeSelectedCam);
    connect(m_menus, &MainMenus::editCamRequested, m_camList, &CamListPane::editSelectedCam);
    connect(m_menus, &MainMenus::startCamRequested, this, &MainWindow::startListedCam);
    connect(m_menus, &MainMenus::stopAllRequested, &engine(), &CamEngine::stopAllCams);
    m_exports->answer(*m_menus);
    connect(m_menus, &MainMenus::helpRequested, m_windows, &SecondaryWindows::showHelpWindow);
    connect(m_menus, &MainMenus::aboutRequested, m_windows, &SecondaryWindows::showAboutWindow);
    connect(m_menus, &MainMenus::keepPicturesRequested, this, &MainWindow::openKeepPictures);
    connect(m_menus, &MainMenus::dailyFilmsRequested, this, &MainWindow::openDailyFilms);
    connect(m_menus, &MainMenus::zoomInRequested, m_viewer, [this] { m_viewer->stepZoom(1); });
    connect(m_menus, &MainMenus::zoomOutRequested, m_viewer, [this] { m_viewer->stepZoom(-1); });
    connect(m_menus, &MainMenus::fitRequested, m_viewer, &ViewerPane::toggleFitWhileViewing);
    connect(m_menus, &MainMenus::fullScreenRequested, m_viewer,
            &ViewerPane::openFullScreenWhileViewing);
    connect(m_menus, &MainMenus::stepCamRequested, &engine().selection(),
            &CamFollower::followNextRunning);
    connect(m_menus, &MainMenus::cycleChosen, m_viewer, &ViewerPane::setCycleSeconds);
}

void MainWindow::load() {
    SetWindowIcons(this, "AAA", true);
    // the place the window had at the end of the last run, or the whole screen at the first;
    // without a window manager a maximise request does nothing, so it fills the screen as well
    if (!RestoreWindowPlace(settings(), m_identity.ProductName, *this)) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(screen->availableGeometry());
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    // a change of the box writes the value back
    m_controls->autoSaveBox()->setChecked(storedAutoSave(settings(), m_identity.ProductName));
    m_controls->setWebsiteText(m_identity.Website);
    //: %1 is the product's name, %2 the company's
    setWindowTitle(tr("%1 by %2").arg(m_identity.ProductName, m_identity.CompanyName));

    const QString cam = m_services->camFolder();
    if (!FolderExists(cam) && !QDir().mkpath(cam))
        setStatusText(tr("Could not create the picture folder %1").arg(cam));
    m_panels->givePanelsFetchingIndicator(m_indicator);
    // what a crash left behind: temporary pictures and unfinished films
    m_services->fileQueue().run(
        this,
        [cam] {
            return RemoveStaleTempFiles("vbt", std::chrono::hours(1)) +
                   RemoveStaleFilmTemporaries(cam, std::chrono::hours(1));
        },
        [](int) {});
    m_camList->LoadCamList();
    if (helpAtStartup(settings(), m_identity.ProductName))
        m_windows->showHelpWindow();
    // the cams that ran at the end of the last run, in their places
    const QString missing =
        RestoreSession(engine(), LoadSession(settings(), m_identity.ProductName));
    if (!missing.isEmpty())
        setStatusText(missing);
}

void MainWindow::setHelpFile(const QString& path) {
    m_windows->setHelpFile(path);
}

void MainWindow::endProgram() {
    SaveSession(settings(), m_identity.ProductName, CurrentSession(engine()));
    SaveWindowPlace(settings(), m_identity.ProductName, *this);
    m_services->fileQueue().waitForDone(); // pictures on their way to the disk get there
    m_endProcess();
}

void MainWindow::startListedCam() {
    if (m_camList->AnyCamSelected())
        engine().StartSelectedCam(m_camList->currentListName());
    else
        m_windows->showSelectCamNotice();
}

void MainWindow::storeAutoSave() {
    settings().WriteSetting(m_identity.ProductName, "Settings", "autoSave",
                            m_controls->autoSaveBox()->isChecked() ? "1" : "0");
}

void MainWindow::restWhileUnseen() {
    // hidden counts once the window was shown or hidden on purpose, not before its first show
    const bool hidden = testAttribute(Qt::WA_WState_ExplicitShowHide) && isHidden();
    engine().setResting((isMinimized() || hidden) && !m_controls->autoSaveBox()->isChecked());
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        restWhileUnseen();
}

void MainWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    restWhileUnseen();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    restWhileUnseen();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ArrangeMainWindow();
}

void MainWindow::ArrangeMainWindow() {
    const QRect outer = frameGeometry();
    const int32_t width = twipsOf(outer.width());
    m_layout = ArrangeMainWindowTwips(twipsOf(outer.height()), width,
                                      twipsOf(statusBar()->height()), PanelColumnsFor(width));
    const MainWindowLayout& l = m_layout;
    setGeometryTwips(m_controls, 0, design::frame1Top, 2535, l.frame1Height);
    setGeometryTwips(m_camsFrame, design::frmCamsLeft, design::frmCamsTop, l.frmCamsWidth,
                     l.frmCamsHeight);
    m_camList->setListHeightTwips(l.list1Height);
    m_panels->arrangeArea(l.panelColumns, l.picWindowOuterHeight, l.vScroll1Height);
    m_viewer->arrange(l);
}

void MainWindow::openKeepPictures() {
    if (!m_keepDialog) {
        m_keepDialog = new KeepPicturesDialog(pictureKeeper(), m_services->listedCams(), this);
        m_keepDialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringForward(m_keepDialog);
}

void MainWindow::openDailyFilms() {
    if (!m_filmsDialog) {
        std::vector<QByteArray> names;
        for (const CamNames& cam : m_services->listedCams())
            names.push_back(cam.current);
        m_filmsDialog = new DailyFilmsDialog(dailyFilms(), names, this);
        m_filmsDialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringForward(m_filmsDialog);
}

QString MainWindow::statusText() const {
    return m_status->text();
}

void MainWindow::setStatusText(const QString& text) {
    m_status->setText(text);
}

void MainWindow::holdStatusText(const QString& text) {
    m_status->holdText(text);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // the other windows go first, in this order; then the process ends
    m_camList->closeDialogs();
    m_windows->closeNotice();
    m_viewer->closeFullScreen();
    m_windows->closeHelpAndAbout();
    event->accept();
    endProgram();
}
