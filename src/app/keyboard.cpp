#include "app/keyboard.h"

#include "listpane/camlistpane.h"
#include "viewer/historystrip.h"
#include "viewer/viewerpane.h"

#include <QAction>
#include <QKeySequence>
#include <QListWidget>
#include <QWidget>
#include <functional>

namespace {

// An action of the window, alive while the viewer shows a picture.
void addViewerAction(QWidget& window, ViewerPane& viewer, const char* name,
                     const QList<QKeySequence>& keys, std::function<void()> run) {
    auto* action = new QAction(&window);
    action->setObjectName(name);
    action->setShortcuts(keys);
    QObject::connect(action, &QAction::triggered, &window, [&viewer, run = std::move(run)] {
        if (viewer.isVisible())
            run();
    });
    window.addAction(action);
}

} // namespace

void InstallShortcuts(QWidget& window, CamListPane& camList, ViewerPane& viewer) {
    addViewerAction(window, viewer, "actionSaveImage", {QKeySequence(Qt::CTRL | Qt::Key_S)},
                    [&viewer] { viewer.saveShownPicture(); });
    addViewerAction(window, viewer, "actionSaveImageAs",
                    {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
                    [&viewer] { viewer.saveShownPictureAs(); });
    // from motion event to motion event in the history of the day shown
    addViewerAction(window, viewer, "actionPreviousEvent", {QKeySequence(Qt::CTRL | Qt::Key_Left)},
                    [&viewer] { viewer.historyStrip()->stepEvent(-1); });
    addViewerAction(window, viewer, "actionNextEvent", {QKeySequence(Qt::CTRL | Qt::Key_Right)},
                    [&viewer] { viewer.historyStrip()->stepEvent(1); });

    // Tab walks the commands, then the list, then the panels and the viewer
    QWidget* previous = nullptr;
    for (const char* name : {"cmdAdd", "cmdRemove", "cmdEdit", "cmdStartCam", "cmdStopAll",
                             "Command2", "chkSave", "List1"}) {
        QWidget* next = window.findChild<QWidget*>(name);
        if (previous && next)
            QWidget::setTabOrder(previous, next);
        previous = next ? next : previous;
    }
    camList.list()->setFocus();
}
