#pragma once

#include "common/camdetails.h"

#include <QString>
#include <QtGlobal>

struct CamPlace;
struct Completion;

// What the engine tells about each cam's pictures, to whoever registered for them: a view
// showing the places, a follower showing one cam large, auto-save, the dark watch, the learned
// rate. Each completion (a new picture, the same again, unchanged, a failure) reaches every
// sink in the order they were added, after the place's own state took it in, and in the order
// the place's fetches ended.
class PictureSink {
  public:
    virtual ~PictureSink();

    virtual void camStarted(const CamPlace&) {}
    // The running cam's record was edited (to another address, maybe).
    virtual void camEdited(const CamPlace&, bool otherAddress) { Q_UNUSED(otherAddress); }
    virtual void completed(const CamPlace& place, const Completion& completion) = 0;
    // A second of the place's cycle went by.
    virtual void ticked(const CamPlace&) {}
    virtual void camStopped(const CamPlace&) {}

    // What the sink knows of the place's state, in words, for its mark and the viewer ("no
    // picture for 12 min"); empty when nothing.
    virtual QString stateNote(const CamPlace&) const { return {}; }
    // The place shows motion now: its mark says so, unless an error says more.
    virtual bool showsMotion(const CamPlace&) const { return false; }
    // Something the sink could not do for the place, in words (its pictures could not be
    // saved, say): the place's mark shows an error while there is one.
    virtual QString trouble(const CamPlace&) const { return {}; }
    // The sink's part of the place's details (the learned rate, say).
    virtual void addDetails(const CamPlace&, CamDetails&) const {}
    // Work for the place is still under way (a picture being saved, say).
    virtual bool isBusyWith(const CamPlace&) const { return false; }
};
