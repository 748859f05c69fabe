#pragma once

#include "common/background.h"
#include "common/camnames.h"
#include "config/camsettings.h"
#include "config/desktopnotifier.h"
#include "config/settings.h"

#include <QObject>
#include <memory>

class AutoSave;
class CamEngine;
class CamRetries;
class CamListModel;
class DailyFilmMaker;
class DarkCamWatch;
class LearnedRates;
class MotionWatch;
class PictureKeeper;
class Prompter;
struct AppIdentity;

// Everything the program does with its cams that no window needs: the settings, the cam list,
// the engine with its sinks (auto-save, the dark watch, the learned rates), keeping the cam
// folder within bounds and the daily films. Views are made over it.
class CamServices : public QObject {
    Q_OBJECT
  public:
    CamServices(const AppIdentity& identity, const QString& programFolder, Prompter& prompter,
                QObject* parent = nullptr);
    ~CamServices() override;

    const QString& programFolder() const { return m_folder; }
    QString camFolder() const { return m_folder + "/cam"; }
    const QString& product() const { return m_product; }
    SettingsStore& settings() { return m_settings; }
    CamSettings& camSettings() { return m_camSettings; }
    CamListModel& camList() const { return *m_camList; }
    CamEngine& engine() const { return *m_engine; }
    AutoSave& autoSave() const { return *m_autoSave; }
    MotionWatch& motion() const { return *m_motion; }
    DarkCamWatch& darkWatch() const { return *m_darkWatch; }
    CamRetries& retries() const { return *m_retries; }
    LearnedRates& rates() const { return *m_rates; }
    PictureKeeper& pictureKeeper() const { return *m_keeper; }
    DailyFilmMaker& dailyFilms() const { return *m_films; }
    // Where pictures are saved, one after the other, off the window's thread.
    BackgroundQueue& fileQueue() { return m_files; }
    // Makes the cam folder when it is missing, and removes what a crash left behind
    // (temporary pictures, unfinished films) off the window's thread; says what went wrong.
    QString prepareCamFolder();
    // The listed cams with the names they had.
    std::vector<CamNames> listedCams() const;

  private:
    const QString m_folder;
    const QString m_product;
    SettingsStore m_settings;
    CamSettings m_camSettings;
    DesktopNotifier m_notifier;
    BackgroundQueue m_files{1};
    CamListModel* m_camList = nullptr;
    CamEngine* m_engine = nullptr;
    MotionWatch* m_motion = nullptr;
    AutoSave* m_autoSave = nullptr;
    DarkCamWatch* m_darkWatch = nullptr;
    CamRetries* m_retries = nullptr;
    std::unique_ptr<LearnedRates> m_rates;
    PictureKeeper* m_keeper = nullptr;
    DailyFilmMaker* m_films = nullptr;
};
