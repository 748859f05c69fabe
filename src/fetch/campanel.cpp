#include "campanel.h"

#include "camaddress.h"
#include "camsocket.h"
#include "imagecontrol.h"
#include "localtext.h"
#include "panelhost.h"
#include "progressbar.h"
#include "twips.h"
#include "vbnumber.h"
#include "widgetkit.h"

#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace {

QString arrayName(const char* name, int index) {
    return QString("%1(%2)").arg(name).arg(index);
}

} // namespace

QRect CamPanel::designGeometryTwips(int index) {
    if (index == 24)
        return {-600, 24420, 1635, 1935};
    if (index == 25)
        return {1080, 24420, 1635, 1935};
    return {index % 2 == 0 ? 60 : 1740, 60 + 1980 * (index / 2), 1635, 1935};
}

CamPanel::CamPanel(int index, PanelHost& panelHost, QWidget* parent)
    : QGroupBox(parent), Index(index), host(panelHost) {
    setObjectName(arrayName("Frame", index));
    setFont(designFont());
    const QRect place = designGeometryTwips(index);
    setGeometryTwips(this, place.x(), place.y(), place.width(), place.height());
    setFrameCaption("[WebCam]");

    Picture2 = new QWidget(this);
    Picture2->setObjectName(arrayName("Picture2", index));
    setGeometryTwips(Picture2, 180, 300, 1275, 915);
    Picture2->setAutoFillBackground(true);
    Picture3 = new ImageControl(Picture2);
    Picture3->setObjectName(arrayName("Picture3", index));
    Picture3->setGeometry(Picture2->rect());
    imgCam = new ImageControl(Picture3);
    imgCam->setObjectName(arrayName("imgCam", index));
    setGeometryTwips(imgCam, -10, -10, 1275, 960);

    imgRefresh = new ImageControl(this);
    imgRefresh->setObjectName(arrayName("imgRefresh", index));
    setGeometryTwips(imgRefresh, 660, 660, 315, 255);
    imgRefresh->hide();

    prgCam = new ProgressBar(this);
    prgCam->setObjectName(arrayName("prgCam", index));
    setGeometryTwips(prgCam, 180, 1200, 1275, 135);

    cmdRefresh = makePictureButton(this, arrayName("cmdRefresh", index), {}, "Refresh now",
                                   ":/pictures/refresh.png", ButtonFace::PictureOnly, 20);
    setGeometryTwips(cmdRefresh, 180, 1380, 495, 435);
    cmdStop = makePictureButton(this, arrayName("cmdStop", index), {}, "Stop this cam",
                                ":/pictures/stop.png", ButtonFace::PictureOnly, 20);
    setGeometryTwips(cmdStop, 960, 1380, 495, 435);
    picTemp = new QLabel(this);
    picTemp->setObjectName(arrayName("picTemp", index));
    setGeometryTwips(picTemp, 720, 1500, 195, 195);

    timRefresh = new QTimer(this);
    timRefresh->setObjectName(arrayName("timRefresh", index));
    timRefresh->setInterval(1000);
    wsCam = new CamSocket(this);
    wsCam->setObjectName(arrayName("wsCam", index));

    connect(cmdRefresh, &QToolButton::clicked, this, &CamPanel::cmdRefresh_Click);
    connect(cmdStop, &QToolButton::clicked, this, &CamPanel::cmdStop_Click);
    connect(timRefresh, &QTimer::timeout, this, &CamPanel::timRefresh_Timer);
    connect(wsCam, &CamSocket::Connected, this, &CamPanel::wsCam_Connect);
    connect(wsCam, &CamSocket::DataArrival, this, &CamPanel::wsCam_DataArrival);
    connect(wsCam, &CamSocket::CloseEvent, this, &CamPanel::wsCam_Close);
    connect(imgRefresh, &ImageControl::clicked, this, &CamPanel::imgRefresh_Click);
    connect(imgCam, &ImageControl::clicked, this, [this] { host.panelClicked(Index); });
    connect(Picture3, &ImageControl::clicked, this, [this] { host.panelClicked(Index); });
    hide();
}

CamPanel::~CamPanel() = default;

void CamPanel::setFrameCaption(const QByteArray& text) {
    caption = text;
    setTitle(QString::fromLocal8Bit(text));
}

void CamPanel::cmdStart_Click() {
    // A refresh text that is not a number starts no cycle.
    const std::optional<int32_t> seconds = parseLong(txtRefresh.toStdString());
    if (!seconds) {
        host.setStatusText(
            QString("%1 has an invalid refresh interval: \"%2\"")
                .arg(QString::fromLocal8Bit(txtName), QString::fromLocal8Bit(txtRefresh)));
        return;
    }
    imgRefresh->show();
    if (Index == host.selectedCam() && host.fullScreenOn())
        host.showFullScreenIndicator();
    imgRefresh->raise();
    refreshSecs = *seconds;
    elapsedSecs = 0;
    timRefresh->start(); // also restarts the one-second period of a running timer
    setFrameCaption(txtName);
    wsCam->Close();

    const std::optional<CamAddress> address = SplitCamAddress(txtAddress.toStdString());
    if (!address)
        return; // no "/" after the host, or a host that cannot be right: tried again at expiry
    camHost = address->camHost;
    camPath = address->camPath;
    connectTo = address->connectTo;
    camPort = address->port;
    response.reset();
    wsCam->Close();
    wsCam->Connect(localText(connectTo), camPort);
}

void CamPanel::timRefresh_Timer() {
    ++elapsedSecs;
    if (Index == host.selectedCam())
        host.selectedPanelTicked(*this);
    if (elapsedSecs >= refreshSecs) {
        timRefresh->stop();
        imgRefresh->show();
        cmdStart_Click();
    }
}

void CamPanel::cmdStop_Click() {
    wsCam->Close();
    timRefresh->stop();
    host.lockDrawing(true);
    imgCam->setPicture(QImage());
    imgRefresh->hide();
    host.lockDrawing(false);
    const bool wasRunning = isRunning();
    setFrameCaption("[webcam]");
    hide();
    host.panelStopped(*this, wasRunning);
}

void CamPanel::wsCam_Connect() {
    camPath = EscapeRequestPath(camPath);
    const std::string request = BuildRequest(camPath, camHost);
    wsCam->SendData(QByteArray(request.data(), qsizetype(request.size())));
}

void CamPanel::wsCam_DataArrival(qint64) {
    const std::string fileName = RequestFileName(camPath);
    const QByteArray bytes = wsCam->GetData();
    const DataOutcome outcome =
        ReceiveResponseData(response, std::string_view(bytes.constData(), size_t(bytes.size())));
    if (outcome.abort) {
        // Over the bounds: give up this fetch, keep the picture, try again at the next expiry.
        wsCam->Close();
        response.reset();
        host.setStatusText(
            QString("%1: the server's answer is too large").arg(QString::fromLocal8Bit(txtName)));
        return;
    }
    if (!outcome.percent)
        return;
    prgCam->setExactValue(*outcome.percent);
    host.setStatusText(QString("Downloading %1 [%2]")
                           .arg(localText(fileName),
                                QString::fromStdString(formatGeneral(prgCam->exactValue(), 7))));
}

void CamPanel::imgRefresh_Click() {
    host.panelClicked(Index);
}
