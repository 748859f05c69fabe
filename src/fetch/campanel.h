#pragma once

#include "response.h"

#include <QByteArray>
#include <QGroupBox>
#include <QString>
#include <cstdint>
#include <string>

class CamSocket;
class ImageControl;
class PanelHost;
class ProgressBar;
class QLabel;
class QTimer;
class QToolButton;

// One cam panel of the "Webcams" area: its frame and controls, its one-second timer, its socket
// and the state of its refresh cycle. A panel runs exactly while its frame is shown.
class CamPanel : public QGroupBox {
    Q_OBJECT
  public:
    CamPanel(int index, PanelHost& host, QWidget* parent);
    ~CamPanel() override;

    // The panel's place in the grid: two columns, twelve rows, then the two spare panels.
    static QRect designGeometryTwips(int index);

    const int Index;
    bool isRunning() const { return !isHidden(); }
    void setFrameCaption(const QByteArray& caption);
    const QByteArray& frameCaption() const { return caption; }

  signals:
    // A fetch ended with a new picture shown in the panel.
    void pictureLoaded();

  public:
    // Handlers of the refresh cycle.
    void cmdStart_Click();
    void cmdRefresh_Click() { cmdStart_Click(); }
    void timRefresh_Timer();
    void cmdStop_Click();
    void wsCam_Connect();
    void wsCam_DataArrival(qint64 bytesTotal);
    void wsCam_Close();
    void imgRefresh_Click();

    // Controls.
    QWidget* Picture2 = nullptr;
    ImageControl* Picture3 = nullptr;
    ImageControl* imgCam = nullptr;
    ImageControl* imgRefresh = nullptr;
    ProgressBar* prgCam = nullptr;
    QToolButton* cmdRefresh = nullptr;
    QToolButton* cmdStop = nullptr;
    QLabel* picTemp = nullptr;
    QTimer* timRefresh = nullptr;
    CamSocket* wsCam = nullptr;

    // The cam's record as copied into the panel, and what the last pictures said.
    QByteArray txtName;
    QByteArray txtAddress;
    QByteArray txtRefresh = "30";
    QByteArray txtUpdated; // "Last Changed": the Last-Modified value
    QString txtRefreshed;  // "Last Refreshed": when that value was first seen

    // The refresh cycle.
    int32_t refreshSecs = 0;
    int32_t elapsedSecs = 0;
    std::string camHost; // as written before the first "/": the Host header
    std::string camPath;
    std::string connectTo;
    quint16 camPort = 80;
    ResponseState response; // responseBuffer, receivedBytes, headerDone, contentLength
    std::string lastModified;
    bool pictureChanged = false;

  private:
    // Completion of a fetch, in steps.
    void showResponsePicture(std::string_view headers, std::string_view body);
    void autoSave(const QImage& picture);
    void noteLastModified(std::string_view headers);

    PanelHost& host;
    QByteArray caption;
};
