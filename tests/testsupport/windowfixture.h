#pragma once

#include "appidentity.h"
#include "campanel.h"
#include "mainwindow.h"
#include "sandbox.h"
#include "scriptedprompter.h"

#include <QListWidget>
#include <QTest>
#include <memory>
#include <tuple>

using CamLine = std::tuple<QByteArray, QString, QByteArray>; // name, address, refresh

// The bytes of a cam list holding the given cams.
inline QByteArray camList(const QList<CamLine>& cams) {
    QByteArray text = "\r\n";
    for (const auto& [name, url, refresh] : cams)
        text += "[name]" + name + "\r\n" + url.toUtf8() + "\r\n" + refresh + "\r\n\r\n";
    return text;
}

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
        window->setTimeServer("127.0.0.1", 1);
        window->setProcessEnd([this] { ++processEnds; });
        window->Form_Load();
    }

    // Selects the cam in the list and presses "Start Cam".
    void start(const QString& name) {
        const auto items = window->List1->findItems(name, Qt::MatchExactly);
        QVERIFY2(!items.isEmpty(), qPrintable(name));
        window->List1->setCurrentItem(items.first());
        window->cmdStartCam_Click();
    }

    QList<int> runningPanels() const {
        QList<int> running;
        for (int i = 0; i < MainWindow::panelCount; ++i)
            if (window->panel(i)->isRunning())
                running.append(i);
        return running;
    }
};
