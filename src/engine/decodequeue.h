#pragma once

#include "imaging/picturedecoder.h"
#include "motion/motionframe.h"

#include <QByteArray>
#include <QObject>
#include <QSize>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// What a decode brought: the picture as decoded (at least as large as asked, or whole), and
// the same scaled to the panel's picture area, made on the decoding thread too.
struct PlaceDecode {
    DecodedPicture decoded;
    QImage panelPicture; // null when there is no picture
    MotionFrame motion;  // the small grey copy the motion test looks at, when it was asked for
};

// Decodes fetched pictures on a small pool of threads (at most one a core) and hands each
// result back on the thread that owns the queue. The queue is bounded: each place has at most
// one decode waiting to begin, so a newer picture replaces a waiting older one (whose result
// never comes), and a stopped place's waiting decodes are dropped. A whole decode for the
// viewer goes before the panels' waiting decodes. What a decode may cost is bounded by the
// picture check's budget, so one costly picture cannot hold the others up for long.
class WorkerThreads;

class DecodeQueue : public QObject {
    Q_OBJECT
  public:
    using Decoder =
        std::function<DecodedPicture(const QByteArray& body, int64_t announcedLength, QSize fit)>;

    struct Order {
        int place = 0;
        quint64 ticket = 0;
        QByteArray body;
        int64_t announcedLength = 0;
        QSize fit;       // empty: the whole picture
        QSize panelSize; // the panel's picture area, for the panel's copy
        bool forViewer = false;
        QByteArray format;   // empty: a picture file; else a coded picture of that kind
        bool motion = false; // a motion frame is made of the picture too
    };

    explicit DecodeQueue(QObject* parent = nullptr);
    ~DecodeQueue() override;

    // The decode that runs on the pool; tests count, hold or slow it.
    void setDecoder(Decoder decoder) { m_decoder = std::move(decoder); }
    // The decode of coded pictures (a video's), by their format.
    using CodedDecoder =
        std::function<DecodedPicture(const QByteArray& format, const QByteArray& body, QSize fit)>;
    void setCodedDecoder(CodedDecoder decoder) { m_codedDecoder = std::move(decoder); }
    const Decoder& decoder() const { return m_decoder; }
    // Queues a decode. Returns the ticket of the order of the same place and kind it replaced,
    // which will have no result.
    std::optional<quint64> submit(Order order);
    // Drops the place's decodes that have not begun; returns their tickets.
    std::vector<quint64> cancel(int place);
    int threads() const;
    int waiting() const { return int(m_waiting.size()); }
    int running() const { return m_running; }
    // Waits until no decode runs (tests, and the end of the program).
    void waitForDone();

  signals:
    void decoded(quint64 ticket, const PlaceDecode& result);

  private:
    void startWaiting();

    std::unique_ptr<WorkerThreads> m_threads;
    Decoder m_decoder;
    CodedDecoder m_codedDecoder;
    std::deque<Order> m_waiting;
    int m_running = 0;
};
