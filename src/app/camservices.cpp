#include "app/camservices.h"

#include "camlist/camlistfile.h"
#include "camlist/camlistmodel.h"
#include "common/appidentity.h"
#include "common/fileexists.h"
#include "common/tempfile.h"
#include "engine/autosave.h"
#include "engine/camengine.h"
#include "engine/camretries.h"
#include "engine/darkcamwatch.h"
#include "engine/followcamlist.h"
#include "engine/learnedrates.h"
#include "engine/motionwatch.h"
#include "history/picturekeeper.h"
#include "timelapse/dailyfilmmaker.h"
#include "timelapse/timelapseexport.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

CamServices::CamServices(const AppIdentity& identity, const QString& programFolder,
                         Prompter& prompter, QObject* parent)
    : QObject(parent), m_folder(programFolder), m_product(identity.ProductName),
      m_settings(identity.CompanyName, identity.ProductName, prompter),
      m_camSettings(m_settings, identity.ProductName, identity.ProductName),
      m_notifier(identity.ProductName) {
    m_camList =
        new CamListModel(std::filesystem::path(m_folder.toStdString()) / camListFileName, this);
    m_engine = new CamEngine(*m_camList, m_camSettings, {}, this);
    // a followed cam's picture is never decoded larger than the largest screen shows it
    QSize largestScreen;
    for (const QScreen* screen : QGuiApplication::screens())
        largestScreen = largestScreen.expandedTo(screen->size() * screen->devicePixelRatio());
    m_engine->setLargestShownSize(largestScreen);
    // the sinks in the order a new picture reaches them, after the views: motion first, so
    // auto-save knows which pictures have it
    m_motion = new MotionWatch(*m_engine, &m_notifier, this);
    m_autoSave = new AutoSave(*m_engine, camFolder(), m_files, this);
    m_autoSave->setNotifier(&m_notifier);
    m_autoSave->setMotion(m_motion);
    m_darkWatch = new DarkCamWatch(*m_engine, m_notifier, this);
    m_rates = std::make_unique<LearnedRates>(*m_engine);
    m_retries = new CamRetries(*m_engine, this);
    FollowCamList(*m_camList, *m_engine, m_camSettings);
    const auto cams = [this] { return listedCams(); };
    m_keeper = new PictureKeeper(m_camSettings, camFolder(), cams, this);
    m_films = new DailyFilmMaker(m_camSettings, camFolder(), m_folder + "/films", cams, this);
}

// the sinks leave the engine before it goes (children would go in the order they were made)
CamServices::~CamServices() {
    m_rates.reset();
    delete m_films;
    delete m_keeper;
    delete m_retries;
    delete m_darkWatch;
    delete m_autoSave;
    delete m_motion;
    delete m_engine;
}

std::vector<CamNames> CamServices::listedCams() const {
    std::vector<CamNames> cams;
    for (const std::string& name : m_camList->names())
        cams.push_back(m_camList->namesOf(name));
    return cams;
}

QString CamServices::prepareCamFolder() {
    const QString cam = camFolder();
    m_files.run(
        this,
        [cam] {
            return RemoveStaleTempFiles("vbt", std::chrono::hours(1)) +
                   RemoveStaleFilmTemporaries(cam, std::chrono::hours(1));
        },
        [](int) {});
    if (!FolderExists(cam) && !QDir().mkpath(cam))
        return tr("Could not create the picture folder %1").arg(cam);
    return {};
}
