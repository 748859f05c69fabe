#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <utility>

// Work that can take more than a few milliseconds (decoding a whole picture, encoding, writing
// or reading files) runs on the threads of a BackgroundQueue; its result comes back on the
// thread that made the queue by a queued call, in the order the work ends. With one thread the work
// runs in the order it was given. A result whose context is gone by then is dropped; closing
// the queue waits for the work that runs and drops the work that waits.
class BackgroundQueue {
  public:
    explicit BackgroundQueue(int threads) : m_results(std::make_unique<QObject>()) {
        m_pool.setMaxThreadCount(threads);
        // idle threads stay a while: waking one for every picture costs more than the work
        m_pool.setExpiryTimeout(60000);
    }
    ~BackgroundQueue() {
        m_pool.clear();
        m_pool.waitForDone();
    }
    BackgroundQueue(const BackgroundQueue&) = delete;
    BackgroundQueue& operator=(const BackgroundQueue&) = delete;

    template <typename Work, typename Done>
    void run(QObject* context, Work work, Done done, int priority = 0) {
        QPointer<QObject> guard(context);
        // results are posted to an object of the queue's own, which outlives the work; the
        // context is looked at only on its own thread
        QObject* results = m_results.get();
        m_pool.start(
            [guard, results, work = std::move(work), done = std::move(done)]() mutable {
                auto result = std::make_shared<decltype(work())>(work());
                QMetaObject::invokeMethod(
                    results,
                    [guard, done = std::move(done), result]() mutable {
                        if (guard)
                            done(std::move(*result));
                    },
                    Qt::QueuedConnection);
            },
            priority);
    }

    int threads() const { return m_pool.maxThreadCount(); }
    // Waits until no work runs or waits (tests, and the end of the program).
    void waitForDone() { m_pool.waitForDone(); }

  private:
    std::unique_ptr<QObject> m_results; // lives on the thread that made the queue
    QThreadPool m_pool;
};

// Runs `work` on Qt's shared pool without anyone waiting for it: `done` gets its result on the
// application's thread while `context` still exists. For work of a window that may close while
// it runs (a dialog's Test), whose end nobody should wait for.
template <typename Work, typename Done> void RunDetached(QObject* context, Work work, Done done) {
    QPointer<QObject> guard(context);
    QObject* application = QCoreApplication::instance();
    QThreadPool::globalInstance()->start(
        [guard, application, work = std::move(work), done = std::move(done)]() mutable {
            auto result = std::make_shared<decltype(work())>(work());
            QMetaObject::invokeMethod(
                application,
                [guard, done = std::move(done), result]() mutable {
                    if (guard)
                        done(std::move(*result));
                },
                Qt::QueuedConnection);
        });
}
