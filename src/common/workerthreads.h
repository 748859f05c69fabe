#pragma once

#include <QObject>
#include <functional>
#include <memory>

// At most a few threads of its own that run work handed to them, and bring each result back to
// the thread that made them. Threads start when work comes and end when none came for a while. Work
// waits in the order it was given (or first, when asked); what runs on a worker returns what then
// runs on the owner's thread.
//
// Everything passes between the threads under a standard mutex, never in a queued call's
// arguments, so the thread sanitizer sees each hand-over (it cannot see Qt's own locks).
//
// When the owner goes, work that waits is dropped and results that come later are too. With
// `waitAtEnd`, the owner waits for the work that runs; without, the threads finish it on their
// own, for work whose end nobody should wait for (a dialog's Test, a film being cancelled).
class WorkerThreads : public QObject {
    Q_OBJECT
  public:
    // Runs on a worker; what it returns runs on the owner's thread.
    using Work = std::function<std::function<void()>()>;

    WorkerThreads(int threads, bool waitAtEnd, QObject* parent = nullptr);
    ~WorkerThreads() override;

    void post(Work work, bool first = false);
    // Drops the work that has not begun.
    void clear();
    // Waits until no work waits or runs, and brings in the results that came meanwhile.
    void waitForDone();
    int threads() const;

  private:
    Q_INVOKABLE void deliver();

    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
