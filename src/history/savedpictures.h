#pragma once

#include "common/camnames.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct SaveMoment;

// The pictures of one cam in the cam folder, found by their save names: today's
// ("Harbour~2026-12-07_10-24-37.jpg", read exactly), and the older ones of the cam's name,
// then the date and the time of the save in the locale's short date and long time, with
// blanks, slashes and colons left out ("Harbour1272026102437AM.jpg").

// The moments a save name's date-and-time part can stand for. Without its separators, the
// part can be read more than one way ("1272026" is 12/7 or 1/27), so every reading that is a
// real moment is returned. `dateFormat` and `timeFormat` are Qt formats; month, day and AM/PM
// names come from `locale`.
std::vector<QDateTime> SaveNameMoments(const QString& dateTimePart, const QString& dateFormat,
                                       const QString& timeFormat, const QLocale& locale);

// A save name's moment as a local time (invalid when it is none).
QDateTime MomentOf(const SaveMoment& moment);

struct CamPictureFile {
    QString path;
    QDateTime taken;    // the moment in the name
    QDateTime modified; // the file's time
    int sameSecond = 1; // of several saved in the moment's second, which one
    // An older name form that a cam whose name begins with this cam's could have written too
    // ("Cam11272020102437AM.jpg" is Cam's at 11/27/2020 or a cam "Cam1"'s at 12/7/2020).
    bool nameShared = false;
};

// The cam's saved JPEGs in `camFolder`, in the order they were taken: by the moment in the
// name (of several readings, the one nearest the file's time), then by the file's time.
// `from` and `to` limit the moments, both ends included. A name that another cam's name begins
// ("Harbour2" for "Harbour") can make the same file name with another moment; a file whose
// reading as one of `otherCams` is nearer its file time than this cam's reading is theirs.
std::vector<CamPictureFile> FindSavedPictures(const QString& camFolder, const QByteArray& camName,
                                              std::optional<QDateTime> from = std::nullopt,
                                              std::optional<QDateTime> to = std::nullopt,
                                              const std::vector<QByteArray>& otherCams = {});

// The same under all of a cam's names, the ones it had before too, in the order taken.
std::vector<CamPictureFile> FindCamPictures(const QString& camFolder, const CamNames& names,
                                            std::optional<QDateTime> from = std::nullopt,
                                            std::optional<QDateTime> to = std::nullopt,
                                            const std::vector<QByteArray>& otherCams = {});
