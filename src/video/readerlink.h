#pragma once

#include "source/fetchedpicture.h"
#include "video/picturerule.h"

#include <QByteArray>
#include <QObject>
#include <QSize>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

// What a video stream turned out to be, as its reading thread learned it: for the dialogs' Test.
struct StreamFacts {
    bool hls = false;
    QString codec; // "H.264"
    QSize size;
    double picturesPerSecond = 0;
    std::optional<int64_t> keyDistanceMs;
    std::optional<DecodeMode> mode;
    // HLS
    double segmentSecs = 0;
    bool fragmentedMp4 = false;
    int variants = 0; // of a master playlist
    QSize variantSize;
    int64_t variantBandwidth = 0;
    bool newestSegmentOnly = false;
};

struct ReaderFailure {
    QString reason; // in the user's words
    FetchFailure kind;
};

// A picture that waits to be handed on.
struct WaitingPicture {
    QByteArray body;
    QByteArray format;
    QSize size;
};

class ReaderLink;

// Told, on the receiver's own thread, what a reading thread did.
class ReaderEvents {
  public:
    virtual ~ReaderEvents();
    virtual void readerConnected(const ReaderLink* link) = 0;
    virtual void readerPicture(const ReaderLink* link) = 0;
    virtual void readerFinished(const ReaderLink* link, std::optional<ReaderFailure> failure) = 0;
};

// What one reading thread and its cam share. The thread reads the stop flag, the interval and
// the wanted size, and leaves at most one picture waiting (a newer replaces it): the cam takes
// it when told. Events go to the receiver by queued calls, never after it is gone.
class ReaderLink : public std::enable_shared_from_this<ReaderLink> {
  public:
    ReaderLink(QObject* receiver, ReaderEvents* events, int32_t intervalSecs);

    // The reading thread's side.
    const std::atomic<bool>& stopFlag() const { return m_stop; }
    bool stopping() const { return m_stop.load(); }
    int32_t interval() const { return m_interval.load(); }
    QSize wantedSize(bool* whole) const;
    // Waits, returning at once when the cam stops.
    void waitMs(int64_t milliseconds);
    void connected(const StreamFacts& facts);
    void updateFacts(const StreamFacts& facts);
    void handOver(WaitingPicture picture);
    void finished(std::optional<ReaderFailure> failure);

    // The cam's side.
    void stop();
    // The receiver is going: nothing more is posted to it.
    void forget();
    void setInterval(int32_t seconds) { m_interval = seconds; }
    void setWantedSize(QSize shown, bool whole);
    std::optional<WaitingPicture> take();
    StreamFacts facts() const;
    bool isFinished() const { return m_finished.load(); }

  private:
    template <typename Call> void post(Call call);

    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::atomic<int32_t> m_interval;
    mutable std::mutex m_mutex;
    std::condition_variable m_woken;
    QObject* m_receiver;
    ReaderEvents* m_events;
    std::optional<WaitingPicture> m_waiting;
    StreamFacts m_facts;
    QSize m_wanted;
    bool m_wantedWhole = false;
};
