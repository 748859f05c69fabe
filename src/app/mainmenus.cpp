#include "app/mainmenus.h"

#include <QMenuBar>

namespace {

QAction* addItem(QMenu* menu, const QString& name, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    return item;
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

} // namespace

MainMenus::MainMenus(QMenuBar* bar, QObject* parent) : QObject(parent) {
    QMenu* file = addMenu(bar, "mnuFile", "File");
    connect(addItem(file, "mnuFileItem(0)", "Exit"), &QAction::triggered, this,
            [this] { mnuFileItem_Click(0); });

    QMenu* cams = addMenu(bar, "mnuCams", "Cams");
    const QStringList camItems = {"Add a Cam", "Delete Selected Cam", "Edit Selected Cam",
                                  "Start Selected Cam", "Stop All Cams"};
    for (int index = 0; index < camItems.size(); ++index)
        connect(addItem(cams, QString("mnuCamItem(%1)").arg(index), camItems[index]),
                &QAction::triggered, this, [this, index] { mnuCamItem_Click(index); });

    QMenu* help = addMenu(bar, "mnuHelp", "Help");
    connect(addItem(help, "mnuHelpItem(0)", "View Help"), &QAction::triggered, this,
            [this] { mnuHelpItem_Click(0); });

    QMenu* about = addMenu(bar, "mnuAbout", "About");
    connect(addItem(about, "mnuAboutItem", "About this software"), &QAction::triggered, this,
            &MainMenus::mnuAboutItem_Click);
}

void MainMenus::mnuFileItem_Click(int index) {
    if (index == 0)
        emit exitRequested();
}

void MainMenus::mnuCamItem_Click(int index) {
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
