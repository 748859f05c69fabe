#pragma once

#include "common/background.h"
#include "common/camnames.h"
#include "timelapse/dailyfilms.h"

#include <QHash>
#include <QObject>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>

class QTimer;
class CamSettings;

// Makes each cam's daily film without anyone pressing a button: every minute it looks which
// films are due (a day the program was not running is made at the next start) and makes them
// one after the other off the window's thread, into the chosen folder; the status bar says
// what was made. A film that could not be written (a full disk) is tried again an hour later,
// its day kept due (at most a week back). Rules and the last day made are kept in the user's
// settings.
class DailyFilmMaker : public QObject {
    Q_OBJECT
  public:
    // `cams` tells the listed cams with the names they had (a film takes the pictures saved
    // under each); the rules are kept in each cam's own settings.
    DailyFilmMaker(CamSettings& settings, QString camFolder, QString defaultFilmFolder,
                   std::function<std::vector<CamNames>()> cams, QObject* parent = nullptr);
    ~DailyFilmMaker() override;

    DailyFilmRule rule(const QByteArray& cam) const;
    void setRule(const QByteArray& cam, const DailyFilmRule& rule);
    QString filmFolder() const;
    void setFilmFolder(const QString& folder);

    // Where "now" comes from; tests set their own.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    // Makes the films due now (those under way go on).
    void makeDueFilms();
    bool isWorking() const { return m_working; }

  signals:
    void statusText(const QString& text);
    void filmMade(const QString& path);

  private:
    struct Film {
        CamNames cam;
        QDate day;
        DailyFilmRule rule;
    };
    QDate lastMade(const QByteArray& cam) const;
    void makeNext();

    CamSettings& m_settings;
    const QString m_camFolder;
    const QString m_defaultFilmFolder;
    std::function<std::vector<CamNames>()> m_cams;
    std::function<QDateTime()> m_now;
    std::deque<Film> m_due;
    QHash<QByteArray, QDate> m_madeThisRun;
    QHash<QByteArray, QDateTime> m_retryAfter; // a cam whose film could not be written
    bool m_working = false;
    QTimer* m_minute = nullptr;
    // set when the program ends: a film under way stops at its next picture
    std::shared_ptr<std::atomic<bool>> m_ending = std::make_shared<std::atomic<bool>>(false);
    BackgroundQueue m_queue{1};
};
