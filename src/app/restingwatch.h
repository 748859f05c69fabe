#pragma once

#include <QObject>
#include <QPointer>

class CamEngine;
class QAbstractButton;
class QWidget;

// The cams rest while their window is not seen (minimised, or hidden on purpose) and nothing
// is saved; they fetch again at once when it is seen, or when auto-save is switched on.
class RestingWatch : public QObject {
    Q_OBJECT
  public:
    RestingWatch(QWidget& window, QAbstractButton& autoSave, CamEngine& engine);
    // Looks again now.
    void check();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& m_window;
    QAbstractButton& m_autoSave;
    QPointer<CamEngine> m_engine; // gone before the window at the end
};
