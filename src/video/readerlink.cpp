#include "video/readerlink.h"

#include <QMetaObject>
#include <chrono>

ReaderEvents::~ReaderEvents() = default;

ReaderLink::ReaderLink(QObject* receiver, ReaderEvents* events, int32_t intervalSecs)
    : m_interval(intervalSecs), m_receiver(receiver), m_events(events) {}

template <typename Call> void ReaderLink::post(Call call) {
    // under the lock: forget() cannot slip between the test and the posting, and a call posted
    // to a receiver that is deleted later is dropped with it
    std::lock_guard lock(m_mutex);
    if (!m_receiver)
        return;
    QMetaObject::invokeMethod(
        m_receiver,
        [self = shared_from_this(), events = m_events, call = std::move(call)] {
            call(*events, self.get());
        },
        Qt::QueuedConnection);
}

QSize ReaderLink::wantedSize(bool* whole) const {
    std::lock_guard lock(m_mutex);
    *whole = m_wantedWhole;
    return m_wanted;
}

void ReaderLink::setWantedSize(QSize shown, bool whole) {
    std::lock_guard lock(m_mutex);
    m_wanted = shown;
    m_wantedWhole = whole;
}

void ReaderLink::waitMs(int64_t milliseconds) {
    std::unique_lock lock(m_mutex);
    m_woken.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stopping(); });
}

void ReaderLink::connected(const StreamFacts& facts) {
    updateFacts(facts);
    post([](ReaderEvents& events, const ReaderLink* link) { events.readerConnected(link); });
}

void ReaderLink::updateFacts(const StreamFacts& facts) {
    std::lock_guard lock(m_mutex);
    m_facts = facts;
}

StreamFacts ReaderLink::facts() const {
    std::lock_guard lock(m_mutex);
    return m_facts;
}

void ReaderLink::handOver(WaitingPicture picture) {
    bool wasEmpty = false;
    {
        std::lock_guard lock(m_mutex);
        wasEmpty = !m_waiting.has_value();
        m_waiting = std::move(picture);
    }
    // one call tells of any number of pictures: the cam takes the newest
    if (wasEmpty)
        post([](ReaderEvents& events, const ReaderLink* link) { events.readerPicture(link); });
}

std::optional<WaitingPicture> ReaderLink::take() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_waiting, std::nullopt);
}

void ReaderLink::finished(std::optional<ReaderFailure> failure) {
    m_finished = true;
    post([failure](ReaderEvents& events, const ReaderLink* link) {
        events.readerFinished(link, failure);
    });
}

void ReaderLink::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_woken.notify_all();
}

void ReaderLink::forget() {
    std::lock_guard lock(m_mutex);
    m_receiver = nullptr;
    m_waiting.reset();
}
