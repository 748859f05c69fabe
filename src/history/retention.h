#pragma once

#include "common/camnames.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <map>
#include <vector>

// How long saved pictures are kept: for `days` days and/or `gigabytes` at most (0: no bound).
struct KeepRule {
    int days = 0;
    double gigabytes = 0;
    bool bounds() const { return days > 0 || gigabytes > 0; }
    bool operator==(const KeepRule&) const = default;
};

// One saved picture, as retention weighs it.
struct KeptPicture {
    QString path;
    QDateTime taken;
    qint64 bytes = 0;
    QDateTime modified; // the file's time: a young file stays whatever its name says
};

// What goes: for each cam its own rule, then the overall rule over all the cams' pictures
// together; the oldest go first, and never a picture taken or written less than an hour before
// `now`.
// When `now` is more than a day past the newest picture, the clock is taken to have jumped:
// nothing goes by its age until the clock and the pictures agree again (sizes still count).
struct RemovalPlan {
    std::vector<QString> paths;
    qint64 bytes = 0;
    bool clockAhead = false;
};
RemovalPlan PlanRemoval(const std::map<QByteArray, std::vector<KeptPicture>>& camsPictures,
                        const std::map<QByteArray, KeepRule>& camRules, const KeepRule& overall,
                        const QDateTime& now);

// The pictures the program saved for each of `cams` in `camFolder` (under the names each had
// too), by each cam's name, with their sizes; no other file is ever listed.
std::map<QByteArray, std::vector<KeptPicture>> ListKeptPictures(const QString& camFolder,
                                                                const std::vector<CamNames>& cams);

// The cam folder kept within the rules: the plan carried out, off the window's thread.
struct RemovalResult {
    int removed = 0;
    qint64 bytes = 0;
    int failed = 0;
    bool clockAhead = false;
};
RemovalResult KeepWithinRules(const QString& camFolder, const std::vector<CamNames>& cams,
                              const std::map<QByteArray, KeepRule>& camRules,
                              const KeepRule& overall, const QDateTime& now);
