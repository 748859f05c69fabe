// The main window's menu bar, its start-up services and its shutdown.
#include "aboutwindow.h"
#include "camdialog.h"
#include "fullscreenview.h"
#include "helpwindow.h"
#include "mainwindow.h"
#include "noticewindow.h"
#include "vbnumber.h"
#include "version.h"
#include "websiteopener.h"
#include "widgetkit.h"
#include "windowhelpers.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMenuBar>

namespace {

QAction* addItem(QMenu* menu, const QString& name, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    return item;
}

} // namespace

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* mnuFile = bar->addMenu("File");
    mnuFile->setObjectName("mnuFile");
    connect(addItem(mnuFile, "mnuFileItem(0)", "Exit"), &QAction::triggered, this,
            [this] { mnuFileItem_Click(0); });

    QMenu* mnuCams = bar->addMenu("Cams");
    mnuCams->setObjectName("mnuCams");
    const QStringList camItems = {"Add a Cam", "Delete Selected Cam", "Edit Selected Cam",
                                  "Start Selected Cam", "Stop All Cams"};
    for (int index = 0; index < camItems.size(); ++index)
        connect(addItem(mnuCams, QString("mnuCamItem(%1)").arg(index), camItems[index]),
                &QAction::triggered, this, [this, index] { mnuCamItem_Click(index); });

    QMenu* mnuHelp = bar->addMenu("Help");
    mnuHelp->setObjectName("mnuHelp");
    connect(addItem(mnuHelp, "mnuHelpItem(0)", "View Help"), &QAction::triggered, this,
            [this] { mnuHelpItem_Click(0); });

    QMenu* mnuAbout = bar->addMenu("About");
    mnuAbout->setObjectName("mnuAbout");
    connect(addItem(mnuAbout, "mnuAboutItem", "About this software"), &QAction::triggered, this,
            &MainWindow::mnuAboutItem_Click);

    frmWebsite = new WebsiteOpener([](const QUrl& url) { QDesktopServices::openUrl(url); }, this);
}

void MainWindow::mnuFileItem_Click(int index) {
    if (index == 0)
        endProcess(); // at once: the other windows are not unloaded one by one
}

void MainWindow::mnuCamItem_Click(int index) {
    switch (index) {
    case 0:
        cmdAdd_Click();
        break;
    case 1:
        cmdRemove_Click();
        break;
    case 2:
        cmdEdit_Click();
        break;
    case 3:
        cmdStartCam_Click();
        break;
    case 4:
        cmdStopAll_Click();
        break;
    default:
        break;
    }
}

HelpWindow* MainWindow::helpWindow() const {
    return Form8;
}
AboutWindow* MainWindow::aboutWindow() const {
    return frmAbout;
}

void MainWindow::showHelpWindow() {
    if (!Form8)
        Form8 = new HelpWindow(folder, identity.ProductName, settingsStore, this);
    bringForward(Form8);
}

void MainWindow::showAboutWindow() {
    if (!frmAbout) {
        frmAbout = new AboutWindow(identity, version::major, version::minor, this);
        connect(frmAbout, &AboutWindow::lblWebsite_Click, frmWebsite, &WebsiteOpener::openWebsite);
    }
    bringForward(frmAbout);
}

void MainWindow::Command2_Click() {
    frmWebsite->openWebsite();
}

void MainWindow::chkSave_Click() {
    settingsStore.WriteSetting(identity.ProductName, "Settings", "autoSave",
                               chkSave->isChecked() ? "1" : "0");
}

void MainWindow::applyWindowIcons() {
    SetWindowIcons(this, "AAA", true);
}

void MainWindow::loadAutoSaveSetting() {
    // An unreadable or non-numeric setting leaves the box clear; start-up goes on.
    const SettingRead stored =
        settingsStore.ReadSetting(identity.ProductName, "Settings", "autoSave", "0");
    const long value = stored.ok() ? parseLong(stored.value.toStdString()).value_or(0) : 0;
    chkSave->setChecked(value == 1); // a change writes the value back
}

void MainWindow::showHelpAtStartup() {
    if (settingsStore.ReadUserSetting(identity.ProductName, "Settings", "showHelp", "1") == "1")
        showHelpWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // the other windows go first, in this order; then the process ends
    for (QWidget* window : {static_cast<QWidget*>(Form2), static_cast<QWidget*>(Form3),
                            static_cast<QWidget*>(Form4), static_cast<QWidget*>(Form6),
                            static_cast<QWidget*>(Form8), static_cast<QWidget*>(frmAbout)})
        if (window)
            window->close();
    event->accept();
    endProcess();
}
