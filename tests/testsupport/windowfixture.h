#pragma once

#include "app/camservices.h"
#include "app/mainwindow.h"
#include "common/appidentity.h"
#include "config/settings.h"
#include "engine/camengine.h"
#include "engine/camfollower.h"
#include "listpane/camlistpane.h"
#include "net/camfetcher.h"
#include "net/networkclock.h"
#include "panels/campanel.h"
#include "panels/panelarea.h"

#include "camlistbytes.h"
#include "sandbox.h"
#include "scriptedprompter.h"

#include <QListWidget>
#include <QTest>
#include <memory>

// A loaded main window over a sandboxed program folder holding the given cam list. Its time
// server is a closed local port, so no test reaches the internet.
struct WindowFixture {
    Sandbox box;
    ScriptedPrompter prompter;
    std::unique_ptr<MainWindow> window;
    int processEnds = 0; // how often the window asked to end the process

    explicit WindowFixture(const QByteArray& list) {
        box.writeFile("00camlist.txt", list);
        window = std::make_unique<MainWindow>(LoadAppIdentity(), box.programFolder(), prompter);
        window->clock().setTimeServer("127.0.0.1", 1);
        window->setProcessEnd([this] { ++processEnds; });
        window->load();
    }

    QListWidget* list() const { return window->camList().list(); }
    CamEngine& engine() const { return window->engine(); }
    PanelArea& area() const { return window->panelArea(); }
    CamFetcher* fetcher(int index) const {
        return qobject_cast<CamFetcher*>(window->engine().source(index));
    }
    CamPanel* panel(int index) const { return window->panelArea().panel(index); }

    // Selects the cam in the list.
    void select(const QString& name) {
        const auto items = list()->findItems(name, Qt::MatchExactly);
        QVERIFY2(!items.isEmpty(), qPrintable(name));
        list()->setCurrentItem(items.first());
    }

    // Selects the cam in the list and presses "Start Cam".
    void start(const QString& name) {
        select(name);
        window->startListedCam();
    }
};
