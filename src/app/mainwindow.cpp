#include "mainwindow.h"

#include "camdialog.h"
#include "camlistfile.h"
#include "camlisttext.h"
#include "camsocket.h"
#include "fullscreenview.h"
#include "imagecontrol.h"
#include "localtext.h"
#include "noticewindow.h"
#include "programfolder.h"
#include "prompter.h"
#include "twips.h"
#include "widgetkit.h"
#include "windowlock.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>

namespace {

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    frame->setFont(designFont("Verdana", 8.25, true));
    return frame;
}

QLabel* makeHiddenPicture(QWidget* parent, const char* name, const QString& picture) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    if (!picture.isEmpty())
        label->setPixmap(QPixmap(picture));
    label->hide();
    return label;
}

} // namespace

MainWindow::MainWindow(const AppIdentity& identity, const QString& programFolder,
                       Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), identity(identity), folder(programFolder), prompter(prompter),
      settingsStore(identity.CompanyName, identity.ProductName, prompter),
      endProcess([] { QCoreApplication::exit(0); }) {
    setObjectName("Form1");
    auto* client = new QWidget(this);
    client->setObjectName("Form1Client");
    setCentralWidget(client);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    statusPanel1 = new QLabel(StatusBar1);
    statusPanel1->setObjectName("StatusBar1Panel1");
    statusPanel1->setMinimumWidth(tw(1440));
    StatusBar1->addWidget(statusPanel1, 1);
    StatusBar1->setFixedHeight(tw(375));
    setStatusBar(StatusBar1);

    picrefresh = makeHiddenPicture(client, "picrefresh", ":/pictures/picrefresh.png");
    setGeometryTwips(picrefresh, 0, 1200, 315, 255);
    notFound = makeHiddenPicture(client, "notFound", ":/pictures/notfound.png");
    setGeometryTwips(notFound, 0, 0, 1245, 930);
    blank = makeHiddenPicture(client, "blank", QString());
    setGeometryTwips(blank, 1620, 0, 495, 375);

    buildControlsFrame();
    buildCamsFrame();
    buildViewerFrame();
    buildMenus();

    objWinsock = new CamSocket(this);
    objWinsock->setObjectName("objWinsock");
    connect(objWinsock, &CamSocket::DataArrival, this, &MainWindow::objWinsock_DataArrival);
    connect(objWinsock, &CamSocket::CloseEvent, this, &MainWindow::objWinsock_Close);

    connect(cmdAdd, &QToolButton::clicked, this, &MainWindow::cmdAdd_Click);
    connect(cmdEdit, &QToolButton::clicked, this, &MainWindow::cmdEdit_Click);
    connect(cmdRemove, &QToolButton::clicked, this, &MainWindow::cmdRemove_Click);
    connect(cmdStartCam, &QToolButton::clicked, this, &MainWindow::cmdStartCam_Click);
    connect(cmdStopAll, &QToolButton::clicked, this, &MainWindow::cmdStopAll_Click);
    connect(Command2, &QToolButton::clicked, this, &MainWindow::Command2_Click);
    connect(chkSave, &QCheckBox::toggled, this, &MainWindow::chkSave_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &MainWindow::List1_DblClick);

    resize(tw(13155), tw(11310));
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControlsFrame() {
    Frame1 = makeFrame(centralWidget(), "Frame1", "Controls");
    setGeometryTwips(Frame1, 0, 0, 2535, 10815);

    cmdAdd = makePictureButton(Frame1, "cmdAdd", "Add", "Add a Cam", ":/pictures/add.png");
    setGeometryTwips(cmdAdd, 60, 240, 750, 855);
    cmdRemove = makePictureButton(Frame1, "cmdRemove", "Del", "Remove Selected Cam",
                                  ":/pictures/delete.png");
    setGeometryTwips(cmdRemove, 870, 240, 750, 855);
    cmdEdit =
        makePictureButton(Frame1, "cmdEdit", "Edit", "Edit Selected Cam", ":/pictures/edit.png");
    setGeometryTwips(cmdEdit, 1680, 240, 750, 855);
    cmdStartCam = makePictureButton(Frame1, "cmdStartCam", "Start Cam", "Start Selected Cam",
                                    ":/pictures/startcam.png");
    setGeometryTwips(cmdStartCam, 60, 1140, 1155, 855);
    cmdStopAll = makePictureButton(Frame1, "cmdStopAll", "Stop All", "Stop All Cams",
                                   ":/pictures/stopall.png");
    setGeometryTwips(cmdStopAll, 1260, 1140, 1155, 855);
    Command2 =
        makePictureButton(Frame1, "Command2", QString(), QString(), ":/pictures/website.png");
    setGeometryTwips(Command2, 60, 2040, 2350, 855);
    chkSave = new QCheckBox("AutoSave New Pictures", Frame1);
    chkSave->setObjectName("chkSave");
    chkSave->setToolTip("saved to /cam/ subdirectory under dunmoral.exe");
    chkSave->setFont(designFont());
    chkSave->setChecked(true); // the design state; start-up sets it from the stored setting
    setGeometryTwips(chkSave, 60, 2940, 2355, 315);

    Label1 = new QLabel("Webcam Listing", Frame1);
    Label1->setObjectName("Label1");
    Label1->setFont(designFont("Verdana", 8.25, true));
    setGeometryTwips(Label1, 60, 3300, 2355, 195);

    List1 = new QListWidget(Frame1);
    List1->setObjectName("List1");
    List1->setFont(designFont());
    setGeometryTwips(List1, 60, 3540, 2355, 6690);
}

void MainWindow::buildCamsFrame() {
    frmCams = makeFrame(centralWidget(), "frmCams", "Webcams");
    setGeometryTwips(frmCams, 2640, 0, 3915, 10815);

    VScroll1 = new QScrollBar(Qt::Vertical, frmCams);
    VScroll1->setObjectName("VScroll1");
    VScroll1->setRange(0, 18000);
    VScroll1->setSingleStep(600);
    VScroll1->setPageStep(2000);
    setGeometryTwips(VScroll1, 3600, 240, 255, 10515);

    picWindowOuter = new QWidget(frmCams);
    picWindowOuter->setObjectName("picWindowOuter");
    setGeometryTwips(picWindowOuter, 120, 240, 3495, 10515);

    picWindowInner = new QWidget(picWindowOuter);
    picWindowInner->setObjectName("picWindowInner");
    setGeometryTwips(picWindowInner, -60, -30, 3555, 24060);
    VScroll1->setTracking(false); // the panels move when the thumb is let go
    connect(VScroll1, &QScrollBar::valueChanged, this, &MainWindow::VScroll1_Change);
    buildPanels();
}

void MainWindow::Form_Load() {
    applyWindowIcons();
    // Without a window manager a maximise request does nothing, so fill the screen as well.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    loadAutoSaveSetting();
    Command2->setText(identity.Website);
    setWindowTitle(identity.ProductName + " by " + identity.CompanyName);

    const QString cam = camFolder();
    if (!FolderExists(cam) && !QDir().mkpath(cam))
        setStatusText("Could not create the picture folder " + cam);

    givePanelsFetchingIndicator();
    LoadCamList();
    showHelpAtStartup();
}

std::filesystem::path MainWindow::camListPath() const {
    return std::filesystem::path(folder.toStdString()) / camListFileName;
}

QString MainWindow::camFolder() const {
    return folder + "/cam";
}

void MainWindow::LoadCamList() {
    const std::filesystem::path file = camListPath();
    if (!FileExists(file.string())) {
        const FileResult created = createCamList(file);
        if (!created.ok)
            setStatusText(QString::fromLocal8Bit(created.error));
    }
    lockDrawing(true);
    fillListFromFile();
    lockDrawing(false);
}

void MainWindow::RefreshMainList() {
    List1->clear();
    fillListFromFile();
}

void MainWindow::fillListFromFile() {
    const ReadResult read = readCamList(camListPath());
    if (!read.ok) {
        setStatusText("Could not read the cam list: " + QString::fromLocal8Bit(read.error));
        return;
    }
    for (const std::string& name : camlisttext::listNames(read.bytes)) {
        auto* item = new QListWidgetItem(localText(name));
        item->setData(Qt::UserRole, QByteArray(name.data(), qsizetype(name.size())));
        List1->addItem(item);
    }
}

std::string MainWindow::currentListName() const {
    const QListWidgetItem* item = List1->currentItem();
    if (!item)
        return {};
    return item->data(Qt::UserRole).toByteArray().toStdString();
}

bool MainWindow::AnyCamSelected() const {
    return !List1->selectedItems().isEmpty();
}

void MainWindow::showSelectCamNotice() {
    if (!Form4)
        Form4 = new NoticeWindow(this);
    bringForward(Form4);
}

void MainWindow::setStatusText(const QString& text) {
    statusPanel1->setText(text);
}

QString MainWindow::statusText() const {
    return statusPanel1->text();
}
