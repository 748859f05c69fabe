#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM (as at logout) and SIGINT end the program the way its close box does, so what must be
// kept at the end is kept. The signal only writes a byte; the event loop does the rest.
class TerminationWatch : public QObject {
    Q_OBJECT
  public:
    explicit TerminationWatch(QObject* parent = nullptr);
    ~TerminationWatch() override;

  signals:
    void terminationRequested();

  private:
    QSocketNotifier* m_notifier = nullptr;
};
