#include "common/workerthreads.h"

#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

struct WorkerThreads::Shared {
    std::mutex mutex;
    std::condition_variable wake; // work came, or the end
    std::condition_variable idle; // a worker finished its work
    std::deque<Work> waiting;
    std::deque<std::function<void()>> results;
    WorkerThreads* owner = nullptr; // nobody once the owner has gone
    bool stopping = false;
    bool waitAtEnd = false;
    bool deliveryPosted = false;
    int running = 0;
    int alive = 0; // threads started and not yet ended
    int threads = 0;

    // Runs on each worker while there is work, and a while longer: starting a thread, and a
    // decoder's state on it, for every picture would cost more than the pictures.
    void work(const std::shared_ptr<Shared>& self) {
        std::unique_lock lock(mutex);
        for (;;) {
            if (waiting.empty() && !stopping)
                wake.wait_for(lock, std::chrono::seconds(30),
                              [this] { return stopping || !waiting.empty(); });
            if (waiting.empty() || stopping) {
                --alive;
                idle.notify_all();
                return;
            }
            Work next = std::move(waiting.front());
            waiting.pop_front();
            ++running;
            lock.unlock();
            std::function<void()> result = next();
            next = nullptr; // what the work held goes here, not on the owner's thread
            lock.lock();
            --running;
            if (result && owner) {
                results.push_back(std::move(result));
                if (!deliveryPosted) {
                    deliveryPosted = true;
                    // under the lock: the owner cannot go while this is posted
                    QMetaObject::invokeMethod(owner, "deliver", Qt::QueuedConnection);
                }
            }
            idle.notify_all();
            (void)self; // keeps the shared state alive as long as this thread runs
        }
    }
};

WorkerThreads::WorkerThreads(int threads, bool waitAtEnd, QObject* parent)
    : QObject(parent), m_shared(std::make_shared<Shared>()) {
    m_shared->owner = this;
    m_shared->threads = std::max(threads, 1);
    m_shared->waitAtEnd = waitAtEnd;
}

WorkerThreads::~WorkerThreads() {
    std::unique_lock lock(m_shared->mutex);
    m_shared->owner = nullptr;
    m_shared->stopping = true;
    m_shared->waiting.clear();
    m_shared->results.clear();
    m_shared->wake.notify_all();
    if (m_shared->waitAtEnd)
        m_shared->idle.wait(lock, [this] { return m_shared->running == 0; });
}

void WorkerThreads::post(Work work, bool first) {
    std::lock_guard lock(m_shared->mutex);
    if (first)
        m_shared->waiting.push_front(std::move(work));
    else
        m_shared->waiting.push_back(std::move(work));
    // a waiting thread takes it, or a new one when all are busy
    const int idleThreads = m_shared->alive - m_shared->running;
    if (idleThreads < int(m_shared->waiting.size()) && m_shared->alive < m_shared->threads) {
        ++m_shared->alive;
        std::thread worker([shared = m_shared] { shared->work(shared); });
        worker.detach(); // its end is told through the shared state
    }
    m_shared->wake.notify_one();
}

void WorkerThreads::clear() {
    std::lock_guard lock(m_shared->mutex);
    m_shared->waiting.clear();
}

int WorkerThreads::threads() const {
    return m_shared->threads;
}

void WorkerThreads::deliver() {
    // a result may end the owner of these threads, and with it this object
    const std::shared_ptr<Shared> shared = m_shared;
    for (;;) {
        std::function<void()> result;
        {
            std::lock_guard lock(shared->mutex);
            if (!shared->owner || shared->results.empty()) {
                shared->deliveryPosted = false;
                return;
            }
            result = std::move(shared->results.front());
            shared->results.pop_front();
        }
        result();
    }
}

void WorkerThreads::waitForDone() {
    for (;;) {
        {
            std::unique_lock lock(m_shared->mutex);
            m_shared->idle.wait(
                lock, [this] { return m_shared->running == 0 && m_shared->waiting.empty(); });
            if (m_shared->results.empty())
                return;
        }
        deliver(); // which may hand out more work
    }
}
