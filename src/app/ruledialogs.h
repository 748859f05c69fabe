#pragma once

#include <QObject>
#include <QPointer>

class CamServices;
class DailyFilmsDialog;
class KeepPicturesDialog;
class QWidget;

// "Keep Pictures..." and "Daily Films...": the rules kept for each cam's saved pictures, one
// dialog of each at a time, brought forward when asked for again.
class RuleDialogs : public QObject {
    Q_OBJECT
  public:
    RuleDialogs(QWidget* owner, CamServices& services);

    void openKeepPictures();
    void openDailyFilms();

  private:
    QWidget* m_owner;
    CamServices& m_services;
    QPointer<KeepPicturesDialog> m_keep;
    QPointer<DailyFilmsDialog> m_films;
};
