#pragma once

#include "common/workerthreads.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <utility>

// Work that can take more than a few milliseconds (decoding a whole picture, encoding, writing
// or reading files) runs on the threads of a BackgroundQueue; its result comes back on the
// thread that made the queue, to `done`, while `context` still exists. With one thread the work
// runs in the order it was given. Closing the queue drops the work that waits; the work that
// runs is waited for, or with `waitAtEnd` false left to finish on its own.
class BackgroundQueue {
  public:
    explicit BackgroundQueue(int threads, bool waitAtEnd = true) : m_threads(threads, waitAtEnd) {}

    template <typename Work, typename Done>
    void run(QObject* context, Work work, Done done, bool first = false) {
        QPointer<QObject> guard(context);
        m_threads.post(
            [guard, work = std::move(work), done = std::move(done)]() mutable {
                auto result = std::make_shared<decltype(work())>(work());
                return std::function<void()>([guard, result, done = std::move(done)]() mutable {
                    if (guard)
                        done(std::move(*result));
                });
            },
            first);
    }

    int threads() const { return m_threads.threads(); }
    void clear() { m_threads.clear(); }
    // Waits until no work runs or waits, and brings in the results (tests, the end of a run).
    void waitForDone() { m_threads.waitForDone(); }

  private:
    WorkerThreads m_threads;
};
