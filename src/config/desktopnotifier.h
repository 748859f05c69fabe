#pragma once

#include <QString>

// Desktop notifications through the desktop's notification service (org.freedesktop.
// Notifications on the session bus). Sent without waiting for an answer; where no such service
// runs, nothing is shown and nothing else happens.
class DesktopNotifier {
  public:
    explicit DesktopNotifier(QString applicationName) : m_application(std::move(applicationName)) {}
    virtual ~DesktopNotifier() = default;

    virtual void notify(const QString& summary, const QString& body);

  private:
    const QString m_application;
};
