#include "panels/decodequeue.h"

#include "panels/picturedecode.h"

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
    m_pool.clear();
    m_pool.waitForDone();
}

void DecodeQueue::submit(quint64 ticket, const QByteArray& body, int64_t announcedLength,
                         QSize fit) {
    QPointer<DecodeQueue> self(this);
    m_pool.start([self, decoder = m_decoder, ticket, body, announcedLength, fit] {
        DecodedPicture result = decoder(body, announcedLength, fit);
        // back on the queue's own thread; dropped when the queue is gone by then
        QMetaObject::invokeMethod(
            self.data(),
            [self, ticket, result = std::move(result)] {
                if (self)
                    emit self->decoded(ticket, result);
            },
            Qt::QueuedConnection);
    });
}
