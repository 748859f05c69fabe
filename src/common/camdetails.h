#pragma once

#include <QString>

// What the viewer's details block shows of a cam, as its panel holds it.
struct CamDetails {
    QString name;          // txtName
    QString refresh;       // txtRefresh, the seconds as typed
    QString lastChanged;   // txtUpdated: the Last-Modified value
    QString lastRefreshed; // txtRefreshed: when that value was first seen
    QString source;        // where the picture really came from, after redirects
    QString age;           // how old the picture is ("12 s old"), and the panel's state
    QString updateRate;    // how often the picture really changes, once that is known
    QString motion;        // the motion level and the threshold, while motion is watched
};
