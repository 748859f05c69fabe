#include "app/mainwindow.h"

#include "app/controlsframe.h"
#include "app/dailyfilmmaker.h"
#include "app/dailyfilmsdialog.h"
#include "app/dialogservices.h"
#include "app/exportcommands.h"
#include "app/keeppictures.h"
#include "app/keeppicturesdialog.h"
#include "app/keyboard.h"
#include "app/mainmenus.h"
#include "app/panelselection.h"
#include "app/secondarywindows.h"
#include "app/session.h"
#include "app/startupservices.h"
#include "app/windowplace.h"
#include "camlist/camlistfile.h"
#include "camlist/camlistmodel.h"
#include "listpane/camlistpane.h"
#include "listpane/listexchange.h"
#include "common/fileexists.h"
#include "common/tempfile.h"

#include "net/networkclock.h"
#include "panels/campanelset.h"
#include "timelapse/timelapseexport.h"

#include "ui/dialogfilechooser.h"
#include "ui/screentwips.h"
#include "ui/statustext.h"
#include "ui/widgetkit.h"
#include "ui/windowhelpers.h"
#include "viewer/detailsblock.h"
#include "viewer/viewerpane.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <functional>
#include <utility>

MainWindow::MainWindow(const AppIdentity& identity, const QString& programFolder,
                       Prompter& prompter, FileChooser* files)
    : QMainWindow(nullptr), m_identity(identity), m_folder(programFolder),
      m_settings(identity.CompanyName, identity.ProductName, prompter),
      m_pins(m_settings, identity.ProductName),
      m_credentials(identity.ProductName, m_settings, identity.ProductName),
      m_alerts(m_settings, identity.ProductName), m_notifier(identity.ProductName), m_lock(this),
      m_endProcess([] { QCoreApplication::exit(0); }) {
    setObjectName("Form1");
    auto* client = new QWidget(this);
    client->setObjectName("Form1Client");
    setCentralWidget(client);

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName("StatusBar1");
    m_statusPanel = new StatusText(statusBar);
    m_statusPanel->setObjectName("StatusBar1Panel1");
    m_statusPanel->setMinimumWidth(tw(1440));
    statusBar->addWidget(m_statusPanel, 1); // panel 1 is as wide as the window
    m_statusHold = new QTimer(this);
    m_statusHold->setSingleShot(true);
    m_statusHold->setInterval(5000);
    connect(m_statusHold, &QTimer::timeout, this, [this] {
        if (!m_statusAfterHold.isEmpty())
            m_statusPanel->setText(std::exchange(m_statusAfterHold, {}));
    });
    statusBar->setFixedHeight(tw(375));
    setStatusBar(statusBar);

    // hidden pictures the panels take theirs from
    m_indicator =
        makeHiddenPicture(client, "picrefresh", ":/pictures/picrefresh.png", {0, 1200, 315, 255});
    const QImage notFound =
        makeHiddenPicture(client, "notFound", ":/pictures/notfound.png", {0, 0, 1245, 930});
    makeHiddenPicture(client, "blank", QString(), {1620, 0, 495, 375});

    m_controls = new ControlsFrame(client);
    const std::filesystem::path camList =
        std::filesystem::path(m_folder.toStdString()) / camListFileName;
    m_camListModel = new CamListModel(camList, this);
    m_camList =
        new CamListPane(m_controls, *m_camListModel, identity.ProductName, prompter, m_lock);

    auto* camsFrame = new QGroupBox(tr("Webcams"), client);
    camsFrame->setObjectName("frmCams");
    camsFrame->setFont(designFont("Verdana", 8.25, true));
    setGeometryTwips(camsFrame, 2640, 0, 3915, 10815);
    m_camsFrame = camsFrame;
    m_panels = new CamPanelSet(camsFrame, *m_camListModel, camFolder(), m_lock, prompter, m_pins,
                               m_credentials, m_files);
    m_panels->setNotFoundPicture(notFound);
    m_panels->setAutoSave(m_controls->autoSaveBox()->isChecked());

    m_selection = std::make_unique<PanelSelection>(*m_panels);
    m_viewer = new ViewerPane(client, m_lock, *m_selection, camFolder(), m_files);
    m_clock = new NetworkClock(this);
    m_windows = new SecondaryWindows(this, identity, m_folder + "/Help.rtf", m_settings);
    m_menus = new MainMenus(menuBar(), this);
    if (!files)
        files = (m_ownFiles = std::make_unique<DialogFileChooser>()).get();
    m_exports = new ExportCommands(this, *m_camList, *m_panels, camFolder(), prompter, *files);
    m_viewer->setFileChooser(files);
    GiveDialogsTheirServices(*m_camList, *m_panels, m_pins);
    m_camList->setCredentialStore(&m_credentials);
    m_exports->listExchange().setCredentialStore(&m_credentials);
    FollowRenamesAndRemovals(*m_camListModel, *m_panels, m_pins, m_credentials, m_alerts);
    m_camList->setAlertSettings(&m_alerts);
    m_panels->watchForDarkness(m_alerts, m_notifier);
    connect(m_panels, &CamPanelSet::darkStateChanged, m_camList, &CamListPane::markDark);
    m_keeper = new PictureKeeper(
        m_settings, identity.ProductName, camFolder(), [this] { return camNames(); }, this);
    m_films = new DailyFilmMaker(
        m_settings, identity.ProductName, camFolder(), m_folder + "/films",
        [this] { return camNames(); }, this);
    connect(m_camListModel, &CamListModel::renamed, m_keeper,
            [this](const std::string& oldName, const std::string& newName) {
                const QByteArray before = QByteArray::fromStdString(oldName);
                const QByteArray after = QByteArray::fromStdString(newName);
                const bool remains = m_camListModel->contains(oldName);
                m_keeper->renameCam(before, after, remains);
                m_films->renameCam(before, after, remains);
            });
    connect(m_camListModel, &CamListModel::removed, m_keeper, [this](const std::string& name) {
        if (m_camListModel->contains(name))
            return;
        m_keeper->setCamRule(QByteArray::fromStdString(name), {});
        m_films->renameCam(QByteArray::fromStdString(name), {}, false);
    });

    connectParts();
    InstallShortcuts(*this, *m_camList, *m_viewer);
    resize(tw(13155), tw(11310));
}

MainWindow::~MainWindow() = default;

void MainWindow::connectParts() {
    connect(m_controls, &ControlsFrame::startCamClicked, this, &MainWindow::startListedCam);
    connect(m_controls, &ControlsFrame::stopAllClicked, m_panels, &CamPanelSet::stopAllCams);
    connect(m_controls, &ControlsFrame::websiteClicked, m_windows, &SecondaryWindows::openWebsite);
    connect(m_controls->autoSaveBox(), &QCheckBox::toggled, m_panels, &CamPanelSet::setAutoSave);
    connect(m_controls->autoSaveBox(), &QCheckBox::toggled, this, &MainWindow::restWhileUnseen);
    // stored when the user changes it: a value written at start-up would hide a machine-wide
    // default set later
    connect(m_controls->autoSaveBox(), &QCheckBox::clicked, this, &MainWindow::storeAutoSave);

    connect(m_camList, &CamListPane::selectionNeeded, m_windows,
            &SecondaryWindows::showSelectCamNotice);
    connect(m_camList, &CamListPane::startRequested, this,
            [this] { m_panels->StartSelectedCam(m_camList->currentListName()); });
    connect(m_camList, &CamListPane::camEdited, m_panels, &CamPanelSet::UpdateOpenPanels);
    connect(m_camList, &CamListPane::statusText, this, &MainWindow::setStatusText);

    connect(m_panels, &CamPanelSet::statusText, this, &MainWindow::setStatusText);
    connect(m_panels, &CamPanelSet::panelSelected, m_viewer, &ViewerPane::showSelection);
    connect(m_panels, &CamPanelSet::pictureSaved, m_viewer, &ViewerPane::noteSavedPicture);
    connect(m_panels, &CamPanelSet::panelSelected, m_clock, &NetworkClock::RequestNetworkTime);
    connect(m_panels, &CamPanelSet::selectedTicked, m_viewer, &ViewerPane::setNextRefresh);
    connect(m_panels, &CamPanelSet::selectedTicked, m_clock, &NetworkClock::RequestNetworkTime);
    connect(m_panels, &CamPanelSet::selectedFetching, m_viewer,
            &ViewerPane::showFullScreenIndicator);
    connect(m_panels, &CamPanelSet::selectedPictureArrived, m_viewer,
            &ViewerPane::showSelectedPicture);
    connect(m_panels, &CamPanelSet::selectedDetailsChanged, m_viewer, &ViewerPane::writeDetails);
    connect(m_panels, &CamPanelSet::selectedStopped, m_viewer, &ViewerPane::hideViewer);
    connect(m_panels, &CamPanelSet::selectedAge, m_viewer, &ViewerPane::setAge);
    connect(m_viewer, &ViewerPane::statusText, this, &MainWindow::holdStatusText);
    connect(m_clock, &NetworkClock::timeText, m_viewer, &ViewerPane::setTime);

    connect(m_menus, &MainMenus::exitRequested, this, &MainWindow::endProgram);
    connect(m_menus, &MainMenus::addCamRequested, m_camList, &CamListPane::addCam);
    connect(m_menus, &MainMenus::deleteCamRequested, m_camList, &CamListPane::removeSelectedCam);
    connect(m_menus, &MainMenus::editCamRequested, m_camList, &CamListPane::editSelectedCam);
    connect(m_menus, &MainMenus::startCamRequested, this, &MainWindow::startListedCam);
    connect(m_menus, &MainMenus::stopAllRequested, m_panels, &CamPanelSet::stopAllCams);
    m_exports->answer(*m_menus);
    connect(m_viewer, &ViewerPane::exportRangeRequested, m_exports,
            &ExportCommands::exportTimelapseRange);
    connect(m_menus, &MainMenus::helpRequested, m_windows, &SecondaryWindows::showHelpWindow);
    connect(m_menus, &MainMenus::aboutRequested, m_windows, &SecondaryWindows::showAboutWindow);
    connect(m_menus, &MainMenus::keepPicturesRequested, this, &MainWindow::openKeepPictures);
    connect(m_keeper, &PictureKeeper::statusText, this, &MainWindow::holdStatusText);
    connect(m_keeper, &PictureKeeper::picturesRemoved, m_viewer, &ViewerPane::readHistoryAgain);
    connect(m_menus, &MainMenus::dailyFilmsRequested, this, &MainWindow::openDailyFilms);
    connect(m_films, &DailyFilmMaker::statusText, this, &MainWindow::holdStatusText);
    connectViewMenu();
}

void MainWindow::connectViewMenu() {
    // zoom, Fit and full screen work while the viewer shows a cam
    const auto whileViewing = [this](std::function<void()> run) {
        return [this, run = std::move(run)] {
            if (m_viewer->isVisible())
                run();
        };
    };
    QScrollBar* zoom = m_viewer->details()->zoomSlider();
    connect(m_menus, &MainMenus::zoomInRequested, this,
            whileViewing([zoom] { zoom->setValue(zoom->value() + 1); }));
    connect(m_menus, &MainMenus::zoomOutRequested, this,
            whileViewing([zoom] { zoom->setValue(zoom->value() - 1); }));
    connect(m_menus, &MainMenus::fitRequested, this,
            whileViewing([this] { m_viewer->toggleFit(); }));
    connect(m_menus, &MainMenus::fullScreenRequested, this,
            whileViewing([this] { m_viewer->openFullScreenView(); }));
    connect(m_menus, &MainMenus::stepCamRequested, m_panels, &CamPanelSet::selectNextRunning);
    connect(m_viewer, &ViewerPane::stepCamRequested, m_panels, &CamPanelSet::selectNextRunning);
    connect(m_menus, &MainMenus::cycleChosen, m_viewer, &ViewerPane::setCycleSeconds);
}

void MainWindow::load() {
    SetWindowIcons(this, "AAA", true);
    // Without a window manager a maximise request does nothing, so fill the screen as well.
    // the place the window had at the end of the last run, or the whole screen at the first
    if (!RestoreWindowPlace(m_settings, m_identity.ProductName, *this)) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(screen->availableGeometry());
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    // a change of the box writes the value back
    m_controls->autoSaveBox()->setChecked(storedAutoSave(m_settings, m_identity.ProductName));
    m_controls->setWebsiteText(m_identity.Website);
    //: %1 is the product's name, %2 the company's
    setWindowTitle(tr("%1 by %2").arg(m_identity.ProductName, m_identity.CompanyName));

    const QString cam = camFolder();
    if (!FolderExists(cam) && !QDir().mkpath(cam))
        setStatusText(tr("Could not create the picture folder %1").arg(cam));
    m_panels->givePanelsFetchingIndicator(m_indicator);
    // what a crash left behind: temporary pictures and unfinished films
    m_files.run(
        this,
        [cam] {
            return RemoveStaleTempFiles("vbt", std::chrono::hours(1)) +
                   RemoveStaleFilmTemporaries(cam, std::chrono::hours(1));
        },
        [](int) {});

    m_camList->LoadCamList();
    if (helpAtStartup(m_settings, m_identity.ProductName))
        m_windows->showHelpWindow();
    // the cams that ran at the end of the last run, in their panels
    const QString missing =
        RestoreSession(*m_panels, LoadSession(m_settings, m_identity.ProductName));
    if (!missing.isEmpty())
        setStatusText(missing);
}

void MainWindow::setHelpFile(const QString& path) {
    m_windows->setHelpFile(path);
}

void MainWindow::endProgram() {
    SaveSession(m_settings, m_identity.ProductName, CurrentSession(*m_panels));
    SaveWindowPlace(m_settings, m_identity.ProductName, *this);
    m_files.waitForDone(); // pictures on their way to the disk get there
    m_endProcess();
}

void MainWindow::startListedCam() {
    if (m_camList->AnyCamSelected())
        m_panels->StartSelectedCam(m_camList->currentListName());
    else
        m_windows->showSelectCamNotice();
}

void MainWindow::storeAutoSave() {
    m_settings.WriteSetting(m_identity.ProductName, "Settings", "autoSave",
                            m_controls->autoSaveBox()->isChecked() ? "1" : "0");
}

void MainWindow::restWhileUnseen() {
    // hidden counts once the window was shown or hidden on purpose, not before its first show
    const bool hidden = testAttribute(Qt::WA_WState_ExplicitShowHide) && isHidden();
    m_panels->setResting((isMinimized() || hidden) && !m_controls->autoSaveBox()->isChecked());
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

std::vector<QByteArray> MainWindow::camNames() const {
    std::vector<QByteArray> names;
    for (const std::string& name : m_camListModel->names())
        names.push_back(QByteArray::fromStdString(name));
    return names;
}

void MainWindow::openKeepPictures() {
    if (!m_keepDialog) {
        m_keepDialog = new KeepPicturesDialog(*m_keeper, camNames(), this);
        m_keepDialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringForward(m_keepDialog);
}

void MainWindow::openDailyFilms() {
    if (!m_filmsDialog) {
        m_filmsDialog = new DailyFilmsDialog(*m_films, camNames(), this);
        m_filmsDialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    bringForward(m_filmsDialog);
}

QString MainWindow::statusText() const {
    return m_statusPanel->text();
}

void MainWindow::setStatusText(const QString& text) {
    if (m_statusHold->isActive())
        m_statusAfterHold = text;
    else
        m_statusPanel->setText(text);
}

void MainWindow::holdStatusText(const QString& text) {
    m_statusPanel->setText(text);
    m_statusAfterHold.clear();
    m_statusHold->start();
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
