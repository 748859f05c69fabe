#pragma once

#include "imaging/picturedecoder.h"

#include <QByteArray>
#include <QObject>
#include <QSize>
#include <QThreadPool>
#include <functional>

// Decodes fetched pictures on a small pool of threads (at most one a core) and hands each
// result back on the thread that owns the queue, in no particular order: whoever submits puts
// the results in order. Closing the queue waits for running decodes and drops their results.
class DecodeQueue : public QObject {
    Q_OBJECT
  public:
    using Decoder =
        std::function<DecodedPicture(const QByteArray& body, int64_t announcedLength, QSize fit)>;

    explicit DecodeQueue(QObject* parent = nullptr);
    ~DecodeQueue() override;

    // The decode that runs on the pool; tests count or slow it down.
    void setDecoder(Decoder decoder) { m_decoder = std::move(decoder); }
    const Decoder& decoder() const { return m_decoder; }
    void submit(quint64 ticket, const QByteArray& body, int64_t announcedLength, QSize fit);
    int threads() const { return m_pool.maxThreadCount(); }
    // Waits until no decode runs (tests, and the end of the program).
    void waitForDone() { m_pool.waitForDone(); }

  signals:
    void decoded(quint64 ticket, const DecodedPicture& result);

  private:
    QThreadPool m_pool;
    Decoder m_decoder;
};
