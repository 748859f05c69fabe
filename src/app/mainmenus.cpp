#include "app/mainmenus.h"

#include <QActionGroup>
#include <QMenuBar>

namespace {

// `caption` marks its access key with "&"; `keys` are the item's shortcuts.
QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                 const QKeySequence& keys = {}) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setShortcut(keys);
    return item;
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

} // namespace

MainMenus::MainMenus(QMenuBar* bar, QObject* parent) : QObject(parent) {
    QMenu* file = addMenu(bar, "mnuFile", tr("&File"));
    connect(addItem(file, "importCamListAction", tr("&Import Cam List...")), &QAction::triggered,
            this, &MainMenus::importCamListRequested);
    connect(addItem(file, "exportCamListAction", tr("&Export Cam List...")), &QAction::triggered,
            this, &MainMenus::exportCamListRequested);
    file->addSeparator();
    connect(addItem(file, "keepPicturesAction", tr("&Keep Pictures...")), &QAction::triggered, this,
            &MainMenus::keepPicturesRequested);
    file->addSeparator();
    connect(addItem(file, "mnuFileItem(0)", tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, this, [this] { chooseFileItem(0); });

    QMenu* cams = addMenu(bar, "mnuCams", tr("&Cams"));
    const QList<std::pair<QString, QKeySequence>> camItems = {
        {tr("&Add a Cam"), QKeySequence(Qt::CTRL | Qt::Key_N)},
        {tr("&Delete Selected Cam"), QKeySequence(Qt::Key_Delete)},
        {tr("&Edit Selected Cam"), QKeySequence(Qt::Key_F2)},
        {tr("&Start Selected Cam"), {}}, // Enter in the list starts it
        {tr("Stop A&ll Cams"), {}}};
    for (int index = 0; index < camItems.size(); ++index)
        connect(addItem(cams, QString("mnuCamItem(%1)").arg(index), camItems[index].first,
                        camItems[index].second),
                &QAction::triggered, this, [this, index] { chooseCamItem(index); });
    connect(addItem(cams, "startAllAction", tr("Start &All")), &QAction::triggered, this,
            &MainMenus::startAllRequested);
    connect(addItem(cams, "retryAllAction", tr("&Retry All"), QKeySequence(Qt::CTRL | Qt::Key_R)),
            &QAction::triggered, this, &MainMenus::retryAllRequested);
    cams->addSeparator();
    connect(addItem(cams, "exportTimelapseAction", tr("Export &Time-lapse...")),
            &QAction::triggered, this, &MainMenus::exportTimelapseRequested);
    connect(addItem(cams, "dailyFilmsAction", tr("Daily &Films...")), &QAction::triggered, this,
            &MainMenus::dailyFilmsRequested);

    QMenu* view = addMenu(bar, "mnuView", tr("&View"));
    connect(addItem(view, "zoomInAction", tr("Zoom &In"), QKeySequence(Qt::CTRL | Qt::Key_Plus)),
            &QAction::triggered, this, &MainMenus::zoomInRequested);
    view->actions().last()->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(addItem(view, "zoomOutAction", tr("Zoom &Out"), QKeySequence(Qt::CTRL | Qt::Key_Minus)),
            &QAction::triggered, this, &MainMenus::zoomOutRequested);
    connect(addItem(view, "fitAction", tr("&Fit / Zoom 1"), QKeySequence(Qt::CTRL | Qt::Key_0)),
            &QAction::triggered, this, &MainMenus::fitRequested);
    view->addSeparator();
    connect(addItem(view, "fullScreenAction", tr("F&ull Screen"), QKeySequence(Qt::Key_F11)),
            &QAction::triggered, this, &MainMenus::fullScreenRequested);
    connect(
        addItem(view, "nextCamAction", tr("&Next Cam"), QKeySequence(Qt::CTRL | Qt::Key_PageDown)),
        &QAction::triggered, this, [this] { emit stepCamRequested(1); });
    connect(addItem(view, "previousCamAction", tr("&Previous Cam"),
                    QKeySequence(Qt::CTRL | Qt::Key_PageUp)),
            &QAction::triggered, this, [this] { emit stepCamRequested(-1); });
    QMenu* cycle = view->addMenu(tr("&Cycle in Full Screen"));
    cycle->setObjectName("mnuCycle");
    auto* cycleChoices = new QActionGroup(cycle);
    for (const int seconds : {0, 5, 10, 30, 60}) {
        QAction* choice =
            cycle->addAction(seconds == 0 ? tr("&Off") : tr("Every %n s", nullptr, seconds));
        choice->setObjectName(QString("cycleAction(%1)").arg(seconds));
        choice->setCheckable(true);
        choice->setChecked(seconds == 0);
        cycleChoices->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, seconds] { emit cycleChosen(seconds); });
    }

    QMenu* help = addMenu(bar, "mnuHelp", tr("&Help"));
    connect(addItem(help, "mnuHelpItem(0)", tr("&View Help"), QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, [this] { chooseHelpItem(0); });

    QMenu* about = addMenu(bar, "mnuAbout", tr("A&bout"));
    connect(addItem(about, "mnuAboutItem", tr("&About this software")), &QAction::triggered, this,
            &MainMenus::chooseAboutItem);
}

void MainMenus::chooseFileItem(int index) {
    if (index == 0)
        emit exitRequested();
}

void MainMenus::chooseCamItem(int index) {
    switch (index) {
    case 0:
        emit addCamRequested();
        break;
    case 1:
        emit deleteCamRequested();
        break;
    case 2:
        emit editCamRequested();
        break;
    case 3:
        emit startCamRequested();
        break;
    case 4:
        emit stopAllRequested();
        break;
    default:
        break;
    }
}
