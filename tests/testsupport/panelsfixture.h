#pragma once

#include "camlist/camlistmodel.h"
#include "common/background.h"
#include "imaging/picturedecoder.h"
#include "net/camfetcher.h"
#include "panels/campanel.h"
#include "panels/campanelset.h"
#include "config/certificatepins.h"
#include "config/camcredentials.h"
#include "config/settings.h"
#include "ui/windowlock.h"

#include "camlistbytes.h"
#include "sandbox.h"
#include "scriptedprompter.h"

#include <QDir>
#include <QTest>

// A panel's picture whole: a fetched one decoded again from its bytes, a plain one as it is.
inline QImage pictureOf(const CamPanel* panel) {
    return panel->pictureBytes().isEmpty() ? panel->shownPicture()
                                           : DecodePicture(panel->pictureBytes()).picture;
}

// The panel area on its own, in a frame, over a sandboxed cam list and cam folder: what the
// fetch tests drive instead of a whole main window.
struct PanelsFixture {
    Sandbox box;
    BackgroundQueue files{1};
    QWidget frame;
    WindowLock lock{&frame};
    ScriptedPrompter prompter;
    SettingsStore settings{"Tarvique Software", "Tarvique Webcams", prompter};
    CertificatePins pins{settings, "Tarvique Webcams"};
    CamCredentials credentials{"Tarvique Webcams tests", settings, "Tarvique Webcams"};
    CamListModel listModel{box.fsPath("00camlist.txt")};
    CamPanelSet* set = nullptr; // owned by the frame
    QString status;             // the status bar's last text

    explicit PanelsFixture(const QByteArray& list) {
        box.writeFile("00camlist.txt", list);
        listModel.load(false);
        QDir().mkpath(box.path("cam"));
        set = new CamPanelSet(&frame, listModel, box.path("cam"), lock, prompter, pins, credentials,
                              files);

        set->setNotFoundPicture(QImage(8, 6, QImage::Format_RGB32));
        QObject::connect(set, &CamPanelSet::statusText, &frame,
                         [this](const QString& text) { status = text; });
    }

    // Starts a cam as a double click on its name in the list would.
    void start(const QByteArray& name) { set->StartSelectedCam(name.toStdString()); }

    CamPanel* panel(int index) const { return set->panel(index); }
    CamFetcher* fetcher(int index) const { return set->fetcher(index); }

    QList<int> runningPanels() const {
        QList<int> running;
        for (int i = 0; i < CamPanelSet::panelCount; ++i)
            if (set->isRunning(i))
                running.append(i);
        return running;
    }
};
