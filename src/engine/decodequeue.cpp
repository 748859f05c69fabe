#include "engine/decodequeue.h"

#include "common/workerthreads.h"
#include "engine/picturedecode.h"

#include <QThread>
#include <algorithm>

DecodeQueue::DecodeQueue(QObject* parent)
    : QObject(parent), m_threads(std::make_unique<WorkerThreads>(
                           std::clamp(QThread::idealThreadCount(), 1, 4), true)) {
    AllowLargestPictures(); // here, before any decode runs on a thread of its own
    m_decoder = [](const QByteArray& body, int64_t announcedLength, QSize fit) {
        return DecodeFetchedPicture(body, announcedLength, fit);
    };
}

DecodeQueue::~DecodeQueue() = default; // running decodes are waited for, their results dropped

int DecodeQueue::threads() const {
    return m_threads->threads();
}

std::optional<quint64> DecodeQueue::submit(Order order) {
    std::optional<quint64> replaced;
    const auto same = std::find_if(m_waiting.begin(), m_waiting.end(), [&](const Order& waiting) {
        return waiting.place == order.place && waiting.forViewer == order.forViewer;
    });
    if (same != m_waiting.end()) {
        replaced = same->ticket;
        m_waiting.erase(same);
    }
    if (order.forViewer) // the user is looking at it
        m_waiting.push_front(std::move(order));
    else
        m_waiting.push_back(std::move(order));
    startWaiting();
    return replaced;
}

std::vector<quint64> DecodeQueue::cancel(int place) {
    std::vector<quint64> dropped;
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (it->place == place) {
            dropped.push_back(it->ticket);
            it = m_waiting.erase(it);
        } else {
            ++it;
        }
    }
    return dropped;
}

void DecodeQueue::startWaiting() {
    while (m_running < threads() && !m_waiting.empty()) {
        Order order = std::move(m_waiting.front());
        m_waiting.pop_front();
        ++m_running;
        m_threads->post([this, decoder = m_decoder, coded = m_codedDecoder,
                         order = std::move(order)] {
            PlaceDecode result;
            if (order.format.isEmpty())
                result.decoded = decoder(order.body, order.announcedLength, order.fit);
            else if (coded)
                result.decoded = coded(order.format, order.body, order.fit);
            const QImage& picture = result.decoded.picture;
            if (!picture.isNull() && !order.panelSize.isEmpty())
                result.panelPicture = picture.size() == order.panelSize
                                          ? picture
                                          : picture.scaled(order.panelSize, Qt::IgnoreAspectRatio,
                                                           Qt::SmoothTransformation);
            if (order.motion)
                result.motion =
                    MakeMotionFrame(result.panelPicture.isNull() ? picture : result.panelPicture);
            // on the queue's own thread, which is there as long as its threads are
            return std::function<void()>([this, ticket = order.ticket, result] {
                --m_running;
                emit decoded(ticket, result);
                startWaiting();
            });
        });
    }
}

void DecodeQueue::waitForDone() {
    // decodes that wait begin as running ones end
    while (m_running > 0 || !m_waiting.empty())
        m_threads->waitForDone();
}
