// The main window's cam commands: starting cams into panels, stopping them, and what the
// panels ask of the window.
#include "camlistfile.h"
#include "campanel.h"
#include "fullscreenview.h"
#include "imagecontrol.h"
#include "localtext.h"
#include "mainwindow.h"
#include "twips.h"
#include "vbnumber.h"
#include "windowlock.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>

void MainWindow::buildPanels() {
    for (int index = 0; index < panelCount; ++index)
        Frame.append(new CamPanel(index, *this, picWindowInner));
}

void MainWindow::givePanelsFetchingIndicator() {
    lockDrawing(true);
    const QImage indicator = picrefresh->pixmap().toImage();
    for (CamPanel* camPanel : Frame)
        camPanel->imgRefresh->setPicture(indicator);
    lockDrawing(false);
}

void MainWindow::cmdStartCam_Click() {
    if (AnyCamSelected())
        StartSelectedCam();
    else
        showSelectCamNotice();
}

void MainWindow::StartSelectedCam() {
    if (activeCams >= maxRunningCams)
        return;
    const std::string name = currentListName();
    const QByteArray asCaption(name.data(), qsizetype(name.size()));
    // Idle panels count too: their captions are "[WebCam]" or "[webcam]".
    for (const CamPanel* camPanel : Frame)
        if (camPanel->frameCaption() == asCaption)
            return;
    StartCamByName(name);
}

void MainWindow::StartCamByName(const std::string& name) {
    if (name.empty())
        return;
    if (!FindCamRecord(camListPath(), name, cur)) {
        setStatusText(QString("%1 was not found in the cam list file").arg(localText(name)));
        return;
    }
    if (!parseLong(cur.refresh)) {
        setStatusText(QString("%1 has an invalid refresh interval: \"%2\"")
                          .arg(localText(cur.name), localText(cur.refresh)));
        return;
    }
    ++activeCams;
    // Panels are reused lowest number first.
    for (CamPanel* camPanel : Frame) {
        if (!camPanel->isHidden())
            continue;
        camPanel->show();
        camPanel->txtName = QByteArray::fromStdString(cur.name);
        camPanel->txtAddress = QByteArray::fromStdString(cur.url);
        camPanel->txtRefresh = QByteArray::fromStdString(cur.refresh);
        camPanel->cmdStart_Click();
        return;
    }
}

void MainWindow::cmdStopAll_Click() {
    for (CamPanel* camPanel : Frame)
        camPanel->cmdStop_Click();
}

void MainWindow::List1_DblClick() {
    StartSelectedCam();
}

void MainWindow::VScroll1_Change() {
    picWindowInner->move(picWindowInner->x(), tw(PanelAreaTop(VScroll1->value())));
}

void MainWindow::lockDrawing(bool lock) {
    SetWindowLock(this, lock, this, fullScreenView());
}

void MainWindow::selectedPanelTicked(CamPanel& camPanel) {
    const std::optional<double> refresh = parseNumber(camPanel.txtRefresh.toStdString());
    if (refresh) {
        lockDrawing(true);
        lblNextRefresh->setText(
            QString::fromStdString(formatGeneral(*refresh - camPanel.elapsedSecs, 15)));
        lockDrawing(false);
    }
    RequestNetworkTime();
}

void MainWindow::panelStopped(CamPanel& camPanel, bool wasRunning) {
    if (wasRunning)
        --activeCams;
    if (camPanel.Index == selected) {
        frmMain->hide();
        frmDetails->hide();
        selected = -1;
    }
}

bool MainWindow::autoSaveOn() const {
    return chkSave->isChecked();
}

QImage MainWindow::notFoundPicture() const {
    return notFound->pixmap().toImage();
}

void MainWindow::writeDetails(const CamPanel& camPanel) {
    lblName->setText(QString::fromLocal8Bit(camPanel.txtName));
    lblRefresh->setText(QString::fromLocal8Bit(camPanel.txtRefresh));
    lblLastChanged->setText(QString::fromLocal8Bit(camPanel.txtUpdated));
    lblLastRefreshed->setText(camPanel.txtRefreshed);
}
