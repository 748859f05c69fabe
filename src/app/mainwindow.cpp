#include "app/mainwindow.h"

#include "app/camservices.h"
#include "app/controlsframe.h"
#include "app/dialogservices.h"
#include "app/exportcommands.h"
#include "app/keyboard.h"
#include "app/mainmenus.h"
#include "app/menuwiring.h"
#include "app/restingwatch.h"
#include "app/ruledialogs.h"
#include "app/secondarywindows.h"
#include "app/session.h"
#include "app/startupservices.h"
#include "app/statusline.h"
#include "app/wallchoice.h"
#include "app/windowplace.h"
#include "camlist/camlistmodel.h"
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
#include "ui/dialogfilechooser.h"
#include "ui/screentwips.h"
#include "ui/widgetkit.h"
#include "ui/windowhelpers.h"
#include "viewer/viewerpane.h"

#include <QCheckBox>
#include <QCloseEvent>
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
    ConnectParts(*this);
    ConnectMenus(*m_menus, *this);
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

    m_controls = new ControlsFrame(m_services->programFolder(), client);
    m_camList =
        new CamListPane(m_controls, m_services->camList(), m_identity.ProductName, prompter);
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
                                     m_services->settings());
    m_menus = new MainMenus(menuBar(), this);
    m_wall = new WallChoice(*m_panels, menuBar()->findChild<QMenu*>("mnuView"),
                            m_services->settings(), m_identity.ProductName, this);
    if (!files)
        files = (m_ownFiles = std::make_unique<DialogFileChooser>()).get();
    m_exports = new ExportCommands(this, *m_camList, engine().selection(), m_services->camFolder(),
                                   prompter, *files);
    m_viewer->setFileChooser(files);
    GiveDialogsTheirServices(*m_camList, *m_services);
    m_exports->listExchange().setCredentialStore(&m_services->camSettings().credentials());
    m_exports->setCamSettings(&m_services->camSettings());
    m_viewer->setCamSettings(&m_services->camSettings());
    m_ruleDialogs = new RuleDialogs(this, *m_services);
    new RestingWatch(*this, *m_controls->autoSaveBox(), engine());
}

void MainWindow::load() {
    SetWindowIcons(this, "AAA", true);
    // the place the window had at the end of the last run, or the whole screen at the first;
    // without a window manager a maximise request does nothing, so it fills the screen as well
    if (!RestoreWindowPlace(m_services->settings(), m_identity.ProductName, *this)) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(screen->availableGeometry());
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    // a change of the box writes the value back
    m_controls->autoSaveBox()->setChecked(
        storedAutoSave(m_services->settings(), m_identity.ProductName));
    m_controls->setWebsiteText(m_identity.Website);
    //: %1 is the product's name, %2 the company's
    setWindowTitle(tr("%1 by %2").arg(m_identity.ProductName, m_identity.CompanyName));

    if (const QString trouble = m_services->prepareCamFolder(); !trouble.isEmpty())
        setStatusText(trouble);
    m_panels->givePanelsFetchingIndicator(m_indicator);
    m_camList->LoadCamList();
    if (helpAtStartup(m_services->settings(), m_identity.ProductName))
        m_windows->showHelpWindow();
    // the cams that ran at the end of the last run, in their places
    const QString missing =
        RestoreSession(engine(), LoadSession(m_services->settings(), m_identity.ProductName));
    if (!missing.isEmpty())
        setStatusText(missing);
}

void MainWindow::setHelpFile(const QString& path) {
    m_windows->setHelpFile(path);
}

void MainWindow::exitProgram() {
    SaveSession(m_services->settings(), m_identity.ProductName, CurrentSession(engine()));
    SaveWindowPlace(m_services->settings(), m_identity.ProductName, *this);
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
    m_services->settings().WriteSetting(m_identity.ProductName, "Settings", "autoSave",
                                        m_controls->autoSaveBox()->isChecked() ? "1" : "0");
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ArrangeMainWindow();
}

void MainWindow::ArrangeMainWindow() {
    const QRect outer = frameGeometry();
    const int32_t width = twipsOf(outer.width());
    const int32_t columns = m_wall->wallShown() ? WallColumnsFor(width) : PanelColumnsFor(width);
    m_layout = ArrangeMainWindowTwips(twipsOf(outer.height()), width,
                                      twipsOf(statusBar()->height()), columns);
    const MainWindowLayout& l = m_layout;
    setGeometryTwips(m_controls, 0, design::frame1Top, 2535, l.frame1Height);
    setGeometryTwips(m_camsFrame, design::frmCamsLeft, design::frmCamsTop, l.frmCamsWidth,
                     l.frmCamsHeight);
    m_camList->setListHeightTwips(l.list1Height);
    m_panels->arrangeArea(l.panelColumns, l.picWindowOuterHeight, l.vScroll1Height);
    m_wall->arrange();
    m_viewer->arrange(l);
}

QString MainWindow::statusText() const {
    return m_status->text();
}

void MainWindow::setStatusText(const QString& text) {
    m_status->setText(text);
}

void MainWindow::withdrawStatusText(const QString& text) {
    m_status->withdraw(text);
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
    exitProgram();
}
