#pragma once

#include "camlist/camrecord.h"
#include "panels/changerate.h"
#include "panels/completionqueue.h"
#include "panels/darkwatch.h"
#include "panels/freshness.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

class CamFetcher;
class CamPanel;

// One of the 26 places of the panel area, and everything the cam running there needs: whether
// one runs, its record, its fetcher, how fresh its picture is, how often it changes, the
// picture shown and the work still to come for it. The panel widget only shows it.
struct CamSlot {
    int index = 0;
    CamPanel* view = nullptr;
    CamFetcher* fetcher = nullptr; // owned by the panel set
    bool running = false;
    // The frame's caption as exact bytes: the cam's name while it runs, "[WebCam]" before the
    // place was first used, "[webcam]" after a stop. A cam is running when a caption names it.
    QByteArray caption = "[WebCam]";
    CamRecord record; // the cam as started, or as last edited

    FreshnessTracker freshness;
    DarkWatch dark;
    ChangeRate rate;
    QByteArray rateBody; // the bytes of the last picture the rate saw

    // The picture shown: the fetched bytes (to know the same picture again), its own size, and
    // the whole picture once the viewer asked for it.
    QByteArray shownBody;
    QSize shownSize;
    QImage wholePicture;
    quint64 shownCount = 0; // counts the pictures shown: work done for an older one is dropped

    CompletionQueue completions; // fetches ended, in order, some waiting for their decode
    quint64 wholeTicket = 0;     // a whole decode for the viewer under way,
    quint64 wholeFor = 0;        // of the picture shown then (shownCount)
    int savesPending = 0;        // auto-saves not yet written
    quint64 starts = 0;          // counts the starts: credentials read for an earlier one wait not

    QString lastRefusal; // why the last picture was not shown, said once

    // No fetch runs and nothing waits to be shown or saved.
    bool settled() const;
};
