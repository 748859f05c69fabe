#pragma once

#include "source/picturesource.h"
#include "video/readerlink.h"
#include "video/videoaddress.h"

#include <QByteArray>
#include <QDateTime>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>

class QTimer;

// A video cam: an RTSP stream (rtsp://, rtsps://) or a live HLS playlist (http(s)://), read by
// FFmpeg on a reading thread of the cam's own, at most one at a time, never the window's. Only
// what is shown is decoded: while the interval is at least the distance between key pictures,
// one key picture an interval goes on coded ("video/h264", ...) and nothing else is decoded;
// otherwise the reading thread decodes every picture and hands on the one due ("video/raw").
// At most one picture waits to be taken (a newer replaces it). The decode workers turn either
// into a picture with DecodeVideoPicture. A stream that ends, breaks or goes silent is asked
// again after the wait of source/backoff.h; a refused password is not tried again until the
// credentials change or the user refreshes.
class VideoSource : public PictureSource, private ReaderEvents {
    Q_OBJECT
  public:
    using Clock = std::function<QDateTime()>;

    explicit VideoSource(QObject* parent = nullptr);
    ~VideoSource() override;

    // For the source registry: the addresses this source reads from the start (rtsp://,
    // rtsps://), and the HTTP answers that show an address to be one of its own (a playlist).
    static bool takesAddress(const QByteArray& address);
    static bool takesAnswer(const QByteArray& contentType, std::string_view firstBytes);

    // RTSP over TCP unless the cam is set to UDP; taken at the next connection.
    void setTransport(VideoTransport transport) { m_transport = transport; }
    VideoTransport transport() const { return m_transport; }
    // Where "now" (Last Refreshed) and the retry jitter come from; tests set their own.
    void setClock(Clock clock) { m_now = std::move(clock); }
    void setJitter(std::function<double()> jitter) { m_jitter = std::move(jitter); }
    // The one-second count runs by itself every `milliseconds`; 0 leaves it to countSecond().
    void setTickInterval(int milliseconds);
    // One second of the cycle: after a failure, the next attempt when its wait is over.
    void countSecond();
    // A reading thread runs (or ends, after a stop).
    bool hasReader() const { return m_link != nullptr; }

    void setRecord(const QByteArray& name, const QByteArray& address,
                   const QByteArray& refresh) override;
    const QByteArray& name() const override { return m_name; }
    const QByteArray& address() const override { return m_address; }
    const QByteArray& refreshText() const override { return m_refreshText; }
    // Nothing is kept: FFmpeg checks certificates by the system's authorities alone.
    void setKeeping(SourceKeeping*) override {}
    void setCredentials(std::optional<Credentials> credentials) override;
    void setChoices(const SourceChoices& choices) override {
        setTransport(choices.udp ? VideoTransport::Udp : VideoTransport::Tcp);
    }

    void beginCycle() override;
    void stop() override;

    bool isFetching() const override { return m_fetching; }
    bool isStreaming() const override { return m_streaming; }
    bool isHalted() const override { return m_halted; }
    bool isWaitingForCredentials() const override { return m_waitingForCredentials; }
    // FFmpeg sends the password as the cam asks (Digest or Basic) and does not say which.
    bool sendsPasswordUnencrypted() const override { return false; }
    int failures() const override { return m_failures; }
    int32_t refreshSecs() const override { return m_refreshSecs; }
    int32_t elapsedSecs() const override { return m_elapsedSecs; }
    int32_t waitSecs() const override { return m_waitSecs; }
    CamDetails details() const override;
    QStringList facts() const override;
    // "An H.264 stream over RTSP: 1920 x 1080, 25 pictures a second, a key picture every 2 s"
    QString streamText(double) const override { return headline(currentFacts()); }
    void setWantedSize(QSize shown, bool whole) override;

  private:
    void attempt();
    void startReader();
    void joinReader();
    void fail(const ReaderFailure& failure);
    void readerConnected(const ReaderLink* link) override;
    void readerPicture(const ReaderLink* link) override;
    void readerFinished(const ReaderLink* link, std::optional<ReaderFailure> failure) override;
    bool isCurrent(const ReaderLink* link) const;
    StreamFacts currentFacts() const;
    QString headline(const StreamFacts& facts) const;

    Clock m_now = [] { return QDateTime::currentDateTime(); };
    std::function<double()> m_jitter;
    QTimer* m_timer = nullptr;
    int m_tickMs = 1000;
    QByteArray m_name, m_address, m_refreshText = "30";
    std::optional<Credentials> m_credentials;
    VideoTransport m_transport = VideoTransport::Tcp;
    QSize m_wanted;
    bool m_wantedWhole = false;

    std::shared_ptr<ReaderLink> m_link; // of the reading thread, while it runs
    std::thread m_thread;
    std::optional<VideoAddress> m_pending; // read once the thread that ends is gone
    std::optional<VideoAddress> m_reading;

    bool m_halted = false;
    bool m_fetching = false;
    bool m_streaming = false;
    bool m_waitingForCredentials = false;
    int m_failures = 0;
    int32_t m_refreshSecs = 30;
    int32_t m_elapsedSecs = 0;
    int32_t m_waitSecs = 0;
    QString m_lastRefreshed;
    quint64 m_judged = 0;
    StreamFacts m_facts; // of the last stream read
    std::optional<ReaderFailure> m_lastFailure;
};
