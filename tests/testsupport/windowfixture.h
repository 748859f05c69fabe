#pragma once

#include "app/mainwindow.h"
#include "listpane/camlistpane.h"
#include "common/appidentity.h"
#include "net/networkclock.h"
#include "panels/campanel.h"
#include "panels/campanelset.h"

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
    CamPanelSet& panels() const { return window->panels(); }
    CamPanel* panel(int index) const { return window->panels().panel(index); }

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
