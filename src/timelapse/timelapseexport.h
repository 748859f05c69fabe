#pragma once

#include "common/atomicfile.h"
#include "history/savedpictures.h"
#include "imaging/picturelikeness.h"
#include "timelapse/aviwriter.h"

#include "motion/motionmask.h"
#include "motion/motionsettings.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QSize>
#include <QString>
#include <chrono>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Mp4Writer;

struct TimelapseOptions {
    QString camFolder;
    QByteArray camName;
    std::vector<QByteArray> formerNames; // what the cam was called before: its pictures too
    QString output;                      // the .avi file
    int framesPerSecond = 10;
    std::optional<QDateTime> from, to; // the pictures' moments, both ends included
    std::vector<QByteArray> otherCams; // the list's cams: pictures that read as theirs are left
    uint64_t partLimit = uint64_t(1) << 30;
    // Pictures darker than `darkBelow` (mean brightness, 0 to 255) are left out.
    bool skipDark = false;
    int darkBelow = 40;
    // Pictures nearly the same as the one before (a mean difference of brightness below
    // `repeatBelow` on a very small copy) are left out.
    bool skipRepeats = false;
    double repeatBelow = 2.0;
    // Only the pictures with motion (and a few around each event), judged from the pictures
    // themselves by the cam's motion choices and mask.
    bool onlyMotion = false;
    MotionSettings motion;
    MotionMask mask;
};

// What an export did, for the user.
struct TimelapseSummary {
    int written = 0;            // frames in the film
    int damaged = 0;            // pictures skipped: unreadable, cut short or not a JPEG
    int rescaled = 0;           // pictures of another size, scaled and encoded again
    int dark = 0;               // pictures left out as too dark
    int repeated = 0;           // pictures left out as nearly the same as the one before
    int withoutMotion = 0;      // pictures left out as showing no motion
    QSize size;                 // the film's frame size: the first good picture's
    QString error;              // why there is no film; empty when it was written
    bool nothingToFilm = false; // no film because no picture was fit for one (not a failure)
    bool cancelled = false;
};

// Makes one Motion-JPEG film of a cam's saved pictures, a picture a step, so a window can show
// progress between steps and a command line can run it through. The film is written under a
// temporary name beside `output` and takes that name only when it is complete; a cancelled or
// failed export leaves nothing behind.
class TimelapseExport {
    Q_DECLARE_TR_FUNCTIONS(TimelapseExport)

  public:
    explicit TimelapseExport(TimelapseOptions options);
    ~TimelapseExport();

    // Finds the pictures and opens the film's file; false (with summary().error) when there is
    // no picture to export or the file cannot be made.
    bool start();
    int total() const { return int(m_pictures.size()); }
    int done() const { return int(m_next); }
    // Adds the next picture; false once every picture is in, or on a failure.
    bool step();
    // After the last step: writes the indexes and gives the film its name.
    bool finish();
    void cancel();
    const TimelapseSummary& summary() const { return m_summary; }
    const TimelapseOptions& options() const { return m_options; }

    // Asked right before the finished film takes its name: false drops it instead, as a cancel
    // would (the one moment that decides whether a film a user cancels is kept).
    void setCommitCheck(std::function<bool()> mayCommit) { m_mayCommit = std::move(mayCommit); }

    // Runs start, every step and finish; `progress` hears (done, total) after each step and
    // may answer false to cancel.
    TimelapseSummary run(const std::function<bool(int, int)>& progress = {});

  private:
    class FileSink;
    bool fail(const QString& why);
    bool nothingToFilm(const QString& why);
    bool addPicture(const QByteArray& bytes);
    // The same for an MP4 film: decoded, and encoded in H.264.
    bool addToMp4(const QByteArray& bytes, QSize size);
    bool hasWriter() const { return m_writer || m_mp4; }
    // Keeps only the pictures with motion; false when none is left or the judging was stopped.
    bool keepMotion();
    // Whether the picture is one the options leave out (counted as such).
    bool leftOut(const QByteArray& bytes);

    TimelapseOptions m_options;
    TimelapseSummary m_summary;
    std::function<bool()> m_mayCommit;
    std::function<bool(int, int)> m_progress; // also hears the motion judging, before the steps
    std::vector<CamPictureFile> m_pictures;
    size_t m_next = 0;
    std::unique_ptr<ReplacementFile> m_file;
    std::unique_ptr<FileSink> m_sink;
    std::unique_ptr<MjpegAviWriter> m_writer;
    std::unique_ptr<Mp4Writer> m_mp4; // instead, for a film named ".mp4"
    PictureSketch m_lastKept;         // of the last picture in the film, for repeats
};

// Removes what a crash during an export can leave in `folder`: the temporaries of ".avi" and
// ".mp4" films (".<name>.avi.XXXXXX") older than `age` (a younger one may be an export under way).
int RemoveStaleFilmTemporaries(const QString& folder, std::chrono::seconds age);

// The summary in words: where the film went, its frames and rate, what was skipped or scaled.

QString TimelapseReport(const TimelapseSummary& summary, const QString& path, int framesPerSecond);
