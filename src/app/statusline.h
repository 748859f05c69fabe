#pragma once

#include <QObject>
#include <QString>

class QMainWindow;
class QTimer;
class StatusText;

// StatusBar1 and its panel 1, as wide as the window. Most texts replace each other as they
// come; a text the user waits for (where a picture was saved) stays at least five seconds, and
// what comes meanwhile is shown after it, the latest only.
class StatusLine : public QObject {
    Q_OBJECT
  public:
    explicit StatusLine(QMainWindow* window);

    QString text() const;
    void setText(const QString& text);
    void holdText(const QString& text);
    // Takes down a text that is no longer true, when it is still shown or still to come.
    void withdraw(const QString& text);

  private:
    StatusText* m_panel = nullptr;
    QTimer* m_hold = nullptr;
    QString m_afterHold;
};
