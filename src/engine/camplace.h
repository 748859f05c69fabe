#pragma once

#include "camlist/camrecord.h"
#include "common/camdetails.h"
#include "common/camnames.h"
#include "engine/completionqueue.h"
#include "engine/freshness.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

class PictureSource;

// One of the places cams run in, and what the cam running there has: whether one runs, its
// record and id, its source, how fresh its picture is, the picture shown and the work still to
// come for it. Views show it; they keep none of it.
struct CamPlace {
    int index = 0;
    PictureSource* source = nullptr; // owned by the engine
    bool running = false;
    // The caption as exact bytes: the cam's name while it runs, "[WebCam]" before the place
    // was first used, "[webcam]" after a stop. A cam is running when a caption names it.
    QByteArray caption = "[WebCam]";
    CamRecord record; // the cam as started, or as last edited
    CamId id = 0;

    FreshnessTracker freshness;
    float progress = 0; // of the transfer under way, 0 to 100

    // The picture shown: its own bytes as they came (to know the same picture again), the
    // file bytes the whole picture is decoded from (the saved copy once it is saved), its own
    // size, the copy made at the size the place is shown at (or a plain picture of the
    // program's own, whole), and the whole picture while somebody follows the place.
    QByteArray shownBody;
    QByteArray fileBytes;
    QByteArray fileFormat; // empty: a picture file; else a coded picture of that kind
    QSize shownSize;
    QImage shownPicture;
    QImage wholePicture;
    QSize pictureSize{84, 60}; // where the place is shown
    quint64 shownCount = 0;    // counts the pictures shown: work done for an older one is dropped

    CompletionQueue completions; // fetches ended, in order, some waiting for their decode
    quint64 wholeTicket = 0;     // a whole decode for a follower under way,
    quint64 wholeFor = 0;        // of the picture shown then (shownCount)
    quint64 starts = 0;          // counts the starts: credentials read for an earlier one wait not
    QString lastRefusal;         // why the last picture was not shown, said once
    CamDetails details;          // the source's texts as its last picture or answer left them

    bool hasPicture() const { return !shownPicture.isNull(); }
};
