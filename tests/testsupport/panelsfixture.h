#pragma once

#include "camlist/camlistmodel.h"
#include "common/background.h"
#include "config/camsettings.h"
#include "config/settings.h"
#include "engine/autosave.h"
#include "engine/camengine.h"
#include "engine/camfollower.h"
#include "engine/learnedrates.h"
#include "imaging/picturedecoder.h"
#include "net/camfetcher.h"
#include "panels/campanel.h"
#include "panels/panelarea.h"

#include "camlistbytes.h"
#include "manualticker.h"
#include "sandbox.h"
#include "scriptedprompter.h"

#include <QDir>
#include <QTest>

// A panel's picture whole: a fetched one decoded again from its bytes, a plain one as it is.
inline QImage pictureOf(const CamPanel* panel) {
    return panel->pictureBytes().isEmpty() ? panel->shownPicture()
                                           : DecodePicture(panel->pictureBytes()).picture;
}

// The engine and its panel area, in a frame, over a sandboxed cam list and cam folder: what the
// fetch tests drive instead of a whole main window.
struct PanelsFixture {
    Sandbox box;
    BackgroundQueue files{1};
    QWidget frame;
    ScriptedPrompter prompter;
    SettingsStore settings{"Tarvique Software", "Tarvique Webcams", prompter};
    CamSettings camSettings{settings, "Tarvique Webcams", "Tarvique Webcams tests"};
    CertificatePins& pins = camSettings.pins();
    CamCredentials& credentials = camSettings.credentials();
    CamListModel listModel{box.fsPath("00camlist.txt")};
    ManualTickers tickers;       // the cams' seconds, when the test counts them itself
    CamEngine* engine = nullptr; // owned by the frame
    PanelArea* area = nullptr;
    AutoSave* autoSave = nullptr;
    std::unique_ptr<LearnedRates> rates;
    QString status; // the status bar's last text

    // With `manualSeconds` the cams' seconds pass only when the test ticks them.
    explicit PanelsFixture(const QByteArray& list, bool manualSeconds = false) {
        box.writeFile("00camlist.txt", list);
        listModel.load(false);
        QDir().mkpath(box.path("cam"));
        SourceServices services;
        if (manualSeconds)
            services.tickers = tickers.maker();
        engine = new CamEngine(listModel, camSettings, services, &frame);
        area = new PanelArea(&frame, *engine, prompter);
        autoSave = new AutoSave(*engine, box.path("cam"), files, &frame);
        rates = std::make_unique<LearnedRates>(*engine);
        engine->setNotFoundPicture(QImage(8, 6, QImage::Format_RGB32));
        QObject::connect(engine, &CamEngine::statusText, &frame,
                         [this](const QString& text) { status = text; });
        QObject::connect(autoSave, &AutoSave::statusText, &frame,
                         [this](const QString& text) { status = text; });
    }
    ~PanelsFixture() {
        rates.reset();
        delete autoSave;
        delete area;
        delete engine;
    }

    // Starts a cam as a double click on its name in the list would.
    void start(const QByteArray& name) { engine->StartSelectedCam(name.toStdString()); }

    CamPanel* panel(int index) const { return area->panel(index); }
    CamFetcher* fetcher(int index) const {
        return qobject_cast<CamFetcher*>(engine->source(index));
    }
    CamFollower& selection() const { return engine->selection(); }

    QList<int> runningPanels() const {
        QList<int> running;
        for (int i = 0; i < CamEngine::placeCount; ++i)
            if (engine->isRunning(i))
                running.append(i);
        return running;
    }
};
