#include "panels/decodequeue.h"

#include "panels/picturedecode.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <algorithm>

DecodeQueue::DecodeQueue(QObject* parent) : QObject(parent) {
    m_pool.setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 1, 4));
    // idle threads stay a while: waking one for every picture costs more than decoding
    m_pool.setExpiryTimeout(60000);
    m_decoder = [](const QByteArray& body, int64_t announcedLength, QSize fit) {
        return DecodeFetchedPicture(body, announcedLength, fit);
    };
}

DecodeQueue::~DecodeQueue() {
    m_waiting.clear();
    m_pool.clear();
    m_pool.waitForDone();
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
    while (m_running < m_pool.maxThreadCount() && !m_waiting.empty()) {
        Order order = std::move(m_waiting.front());
        m_waiting.pop_front();
        ++m_running;
        QPointer<DecodeQueue> self(this);
        m_pool.start([this, self, decoder = m_decoder, order = std::move(order)] {
            PanelDecode result;
            result.decoded = decoder(order.body, order.announcedLength, order.fit);
            const QImage& picture = result.decoded.picture;
            if (!picture.isNull() && !order.panelSize.isEmpty())
                result.panelPicture = picture.size() == order.panelSize
                                          ? picture
                                          : picture.scaled(order.panelSize, Qt::IgnoreAspectRatio,
                                                           Qt::SmoothTransformation);
            // back on the queue's own thread; the queue outlives the pool's work
            QMetaObject::invokeMethod(
                this,
                [self, ticket = order.ticket, result = std::move(result)] {
                    if (!self)
                        return;
                    --self->m_running;
                    emit self->decoded(ticket, result);
                    self->startWaiting();
                },
                Qt::QueuedConnection);
        });
    }
}

void DecodeQueue::waitForDone() {
    // decodes that wait begin as running ones end, which takes the event loop
    while (m_running > 0 || !m_waiting.empty()) {
        m_pool.waitForDone();
        QCoreApplication::sendPostedEvents(this);
    }
}
