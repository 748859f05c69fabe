#include "app/menuwiring.h"

#include "app/camservices.h"
#include "app/controlsframe.h"
#include "app/exportcommands.h"
#include "app/mainmenus.h"
#include "app/mainwindow.h"
#include "app/ruledialogs.h"
#include "app/secondarywindows.h"
#include "app/wallchoice.h"
#include "engine/autosave.h"
#include "engine/camengine.h"
#include "engine/camfollower.h"
#include "engine/camretries.h"
#include "engine/darkcamwatch.h"
#include "engine/motionwatch.h"
#include "history/picturekeeper.h"
#include "listpane/camlistpane.h"
#include "net/networkclock.h"
#include "timelapse/dailyfilmmaker.h"
#include "viewer/viewerpane.h"
#include "wall/camwall.h"

#include <QCheckBox>

void ConnectParts(MainWindow& window) {
    using W = MainWindow;
    CamServices& services = window.services();
    CamEngine& cams = services.engine();
    ControlsFrame* controls = &window.controls();
    CamListPane* camList = &window.camList();
    ViewerPane* viewer = &window.viewer();
    SecondaryWindows* windows = &window.windows();
    NetworkClock* clock = &window.clock();
    QObject::connect(controls, &ControlsFrame::startCamClicked, &window, &W::startListedCam);
    QObject::connect(controls, &ControlsFrame::stopAllClicked, &cams, &CamEngine::stopAllCams);
    QObject::connect(controls, &ControlsFrame::websiteClicked, windows,
                     &SecondaryWindows::openWebsite);
    QCheckBox* autoSave = controls->autoSaveBox();
    QObject::connect(autoSave, &QCheckBox::toggled, &services.autoSave(), &AutoSave::setOn);
    // stored when the user changes it: a value written at start-up would hide a machine-wide
    // default set later
    QObject::connect(autoSave, &QCheckBox::clicked, &window, &W::storeAutoSave);

    QObject::connect(camList, &CamListPane::selectionNeeded, windows,
                     &SecondaryWindows::showSelectCamNotice);
    QObject::connect(camList, &CamListPane::startRequested, &cams,
                     [&cams, camList] { cams.StartSelectedCam(camList->currentListName()); });
    QObject::connect(camList, &CamListPane::camEdited, &cams, &CamEngine::UpdateOpenPanels);
    QObject::connect(camList, &CamListPane::statusText, &window, &W::setStatusText);
    QObject::connect(&services.darkWatch(), &DarkCamWatch::darkStateChanged, camList,
                     &CamListPane::markDark);
    QObject::connect(&services.motion(), &MotionWatch::motionChanged, camList,
                     &CamListPane::markMotion);

    QObject::connect(&cams, &CamEngine::statusText, &window, &W::setStatusText);
    QObject::connect(&cams, &CamEngine::statusTextEnded, &window, &W::withdrawStatusText);
    QObject::connect(&window.wallChoice(), &WallChoice::chosen, &window, &W::ArrangeMainWindow);
    QObject::connect(&window.wallChoice().wall(), &CamWall::fullScreenRequested, viewer,
                     [&cams, viewer](int place) {
                         cams.selection().follow(place);
                         viewer->openFullScreenWhileViewing();
                     });
    QObject::connect(&services.autoSave(), &AutoSave::statusText, &window, &W::setStatusText);
    QObject::connect(&services.autoSave(), &AutoSave::pictureSaved, viewer,
                     &ViewerPane::noteSavedPicture);
    QObject::connect(&cams.selection(), &CamFollower::followed, clock,
                     &NetworkClock::RequestNetworkTime);
    QObject::connect(&cams.selection(), &CamFollower::ticked, clock,
                     &NetworkClock::RequestNetworkTime);
    QObject::connect(viewer, &ViewerPane::statusText, &window, &W::holdStatusText);
    QObject::connect(clock, &NetworkClock::timeText, viewer, &ViewerPane::setTime);
    QObject::connect(&services.pictureKeeper(), &PictureKeeper::statusText, &window,
                     &W::holdStatusText);
    QObject::connect(&services.pictureKeeper(), &PictureKeeper::picturesRemoved, viewer,
                     &ViewerPane::readHistoryAgain);
    QObject::connect(&services.dailyFilms(), &DailyFilmMaker::statusText, &window,
                     &W::holdStatusText);
    QObject::connect(&services.camSettings().credentials(), &CamCredentials::statusText, &window,
                     &W::holdStatusText);
    QObject::connect(viewer, &ViewerPane::exportRangeRequested, &window.exports(),
                     &ExportCommands::exportTimelapseRange);
}

void ConnectMenus(const MainMenus& menus, MainWindow& window) {
    CamListPane* camList = &window.camList();
    ViewerPane* viewer = &window.viewer();
    SecondaryWindows* windows = &window.windows();
    RuleDialogs* rules = &window.ruleDialogs();
    CamEngine* engine = &window.engine();
    using M = MainMenus;
    QObject::connect(&menus, &M::exitRequested, &window, &MainWindow::exitProgram);
    QObject::connect(&menus, &M::addCamRequested, camList, &CamListPane::addCam);
    QObject::connect(&menus, &M::deleteCamRequested, camList, &CamListPane::removeSelectedCam);
    QObject::connect(&menus, &M::editCamRequested, camList, &CamListPane::editSelectedCam);
    QObject::connect(&menus, &M::startCamRequested, &window, &MainWindow::startListedCam);
    QObject::connect(&menus, &M::stopAllRequested, engine, &CamEngine::stopAllCams);
    QObject::connect(&menus, &M::startAllRequested, engine, &CamEngine::StartAllCams);
    QObject::connect(&menus, &M::retryAllRequested, &window, [&window] {
        const int asked = window.services().retries().retryAll();
        window.holdStatusText(asked == 0
                                  ? MainWindow::tr("No running cam is failing.")
                                  : MainWindow::tr("%n cam(s) asked again.", nullptr, asked));
    });
    window.exports().answer(menus);
    QObject::connect(&menus, &M::helpRequested, windows, &SecondaryWindows::showHelpWindow);
    QObject::connect(&menus, &M::aboutRequested, windows, &SecondaryWindows::showAboutWindow);
    QObject::connect(&menus, &M::keepPicturesRequested, rules, &RuleDialogs::openKeepPictures);
    QObject::connect(&menus, &M::dailyFilmsRequested, rules, &RuleDialogs::openDailyFilms);
    QObject::connect(&menus, &M::zoomInRequested, viewer, [viewer] { viewer->stepZoom(1); });
    QObject::connect(&menus, &M::zoomOutRequested, viewer, [viewer] { viewer->stepZoom(-1); });
    QObject::connect(&menus, &M::fitRequested, viewer, &ViewerPane::toggleFitWhileViewing);
    QObject::connect(&menus, &M::fullScreenRequested, viewer,
                     &ViewerPane::openFullScreenWhileViewing);
    QObject::connect(&menus, &M::stepCamRequested, &engine->selection(),
                     &CamFollower::followNextRunning);
    QObject::connect(&menus, &M::cycleChosen, viewer, &ViewerPane::setCycleSeconds);
}
