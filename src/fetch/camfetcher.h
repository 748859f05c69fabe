#pragma once

#include "fetch/camdetails.h"
#include "fetch/response.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

class CamSocket;
class QTimer;

// A completed response that holds a picture: its bytes and what the change test said.
struct FetchedPicture {
    QByteArray body;
    int64_t announcedLength = 0; // Content-Length; 0 or less when none was announced
    bool pictureChanged = false; // a new Last-Modified line after an earlier one
    CamDetails details;          // the panel's texts right after this response
};

// The refresh cycle of one cam: the one-second count, the connection, the hand-written
// request, the reception with its bounds, and the judgement of the complete response. It
// knows nothing of widgets; a panel shows what it reports.
class CamFetcher : public QObject {
    Q_OBJECT
  public:
    using Clock = std::function<QDateTime()>;

    explicit CamFetcher(QObject* parent = nullptr);
    ~CamFetcher() override;

    // Where "now" comes from; tests set a clock of their own.
    void setClock(Clock clock) { m_now = std::move(clock); }

    // The cam's record as copied in when it starts (txtName, txtAddress, txtRefresh).
    void setRecord(const QByteArray& name, const QByteArray& address, const QByteArray& refresh);
    const QByteArray& name() const { return m_name; }
    const QByteArray& address() const { return m_address; }
    const QByteArray& refreshText() const { return m_refreshText; }

    // What the pictures said: txtUpdated ("Last Changed") and txtRefreshed ("Last Refreshed").
    // They belong to the panel, not the cam: a cam started here later inherits them.
    const QByteArray& lastChanged() const { return m_lastChanged; }
    const QString& lastRefreshed() const { return m_lastRefreshed; }
    const std::string& lastModified() const { return m_lastModified; }
    bool pictureChanged() const { return m_pictureChanged; }
    CamDetails details() const;

    // The cycle stopped because the refresh text is not a number; a refresh or an edit that
    // makes it one starts it again.
    bool isHalted() const { return m_halted; }
    int32_t refreshSecs() const { return m_refreshSecs; }
    int32_t elapsedSecs() const { return m_elapsedSecs; }
    bool isCounting() const;
    // 0 when the socket is closed.
    int socketState() const;
    const ResponseState& response() const { return m_response; }

    // Begins a fetch cycle: count from zero and ask the server again.
    void cmdStart_Click();
    // One second of the cycle; at its end the next cycle begins.
    void timRefresh_Timer();
    // Drops the connection and stops counting.
    void stop();

  signals:
    // A fetch begins: the fetching indicator shows.
    void fetchStarted();
    // A second was counted.
    void ticked();
    void progressed(float percent, const QString& fileName);
    void pictureArrived(const FetchedPicture& picture);
    // The server answered with something that is not a picture.
    void notAPicture();
    // Something the user should hear about, for the status bar.
    void problem(const QString& text);
    // The cycle stopped: no fetch runs and no second is counted until it is begun again.
    void halted(const QString& text);

  private:
    void wsCam_Connect();
    void wsCam_DataArrival(qint64 bytesTotal);
    void wsCam_Close();
    void noteLastModified(std::string_view headers);

    Clock m_now = [] { return QDateTime::currentDateTime(); };
    QTimer* m_timer = nullptr;     // timRefresh
    CamSocket* m_socket = nullptr; // wsCam
    QByteArray m_name, m_address, m_refreshText = "30";
    QByteArray m_lastChanged;
    QString m_lastRefreshed;
    std::string m_lastModified;
    bool m_pictureChanged = false;
    bool m_halted = false;
    int32_t m_refreshSecs = 0;
    int32_t m_elapsedSecs = 0;
    std::string m_host; // camHost: as written before the first "/", for the Host header
    std::string m_path; // camPath
    ResponseState m_response;
};
