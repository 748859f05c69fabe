// The "Current Time:" of the viewer's details: asked of a public time server over the daytime
// protocol whenever a panel is selected and on each tick of the selected panel.
#include "camsocket.h"
#include "datetimetext.h"
#include "daytime.h"
#include "mainwindow.h"

#include <QLabel>

namespace {
// Time servers refuse clients that ask more often than this.
constexpr qint64 minimumQueryGapMs = 4000;
} // namespace

void MainWindow::RequestNetworkTime() {
    if (lastTimeRequest.isValid() && lastTimeRequest.elapsed() < minimumQueryGapMs)
        return;
    lastTimeRequest.start();
    if (objWinsock->State() != 0)
        objWinsock->Close();
    objWinsock->Connect(timeServerHost, timeServerPort); // the server answers and closes
}

void MainWindow::objWinsock_DataArrival(qint64) {
    const QByteArray text = objWinsock->GetData();
    const std::optional<DaytimeAnswer> answer =
        ParseDaytimeAnswer(std::string_view(text.constData(), size_t(text.size())));
    if (!answer)
        return;
    const QDateTime moment(QDate(answer->year, answer->month, answer->day),
                           QTime(answer->hour, answer->minute, answer->second));
    lblTime->setText(generalDateText(moment) + " GMT");
}

void MainWindow::objWinsock_Close() {
    if (objWinsock->State() != 0)
        objWinsock->Close();
}

void MainWindow::setTimeServer(const QString& host, quint16 port) {
    timeServerHost = host;
    timeServerPort = port;
}
