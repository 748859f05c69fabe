#pragma once

#include "engine/camengine.h"
#include "net/camfetcher.h"
#include "panels/campanel.h"

#include "camlistbytes.h"
#include "panelsfixture.h"
#include "scriptedserver.h"

#include <QTest>

// A cam "Cam" on one scripted server; fetches are driven one at a time.
struct OneCam : PanelsFixture {
    ScriptedServer server;
    explicit OneCam(const QByteArray& refresh = "300", const QString& path = "/c.jpg",
                    bool manualSeconds = false)
        : PanelsFixture(camList({}), manualSeconds) {
        box.writeFile("00camlist.txt",
                      camList({{"Cam", "http://" + server.address(path), refresh}}));
        fetcher(0)->setJitter([] { return 1.0; });
    }

    // Answers the next fetch with `answer` and waits until it ended and its picture, if any,
    // is shown.
    void fetch(const QByteArray& answer) {
        fetchOnly(answer);
        QTRY_VERIFY_WITH_TIMEOUT(engine->isSettled(0), 5000);
    }

    // The same, waiting only for the fetch: decodes may still be on their way.
    void fetchOnly(const QByteArray& answer) {
        server.setScript(ScriptedServer::answer(answer));
        if (engine->isRunning(0))
            engine->refreshNow(0);
        else
            start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(!fetcher(0)->isFetching(), 5000);
    }
};
