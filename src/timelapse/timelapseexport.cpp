#include "timelapse/timelapseexport.h"

#include "motion/motionjudge.h"

#include "common/localtext.h"
#include "imaging/dibsection.h"
#include "imaging/imagingerror.h"
#include "imaging/jpegwriter.h"
#include "imaging/picturecheck.h"
#include "imaging/picturedecoder.h"
#include "video/mp4writer.h"

#include <QFile>
#include <QPainter>
#include <filesystem>
#include <sys/stat.h>
#include <turbojpeg.h>

namespace {

constexpr size_t maxPictureBytes = 64u * 1024u * 1024u;

struct JpegFrame {
    bool readable = false;
    QSize size;
    bool storable = false; // players can show it as it is (not CMYK)
};

// Whether the bytes are one whole JPEG: its header read and every scan decoded (at the
// smallest scale, which still reads all of it), with a warning such as a cut-short file
// counting as damage.
JpegFrame checkJpeg(const QByteArray& bytes) {
    JpegFrame frame;
    if (SniffPicture(std::string_view(bytes.constData(), size_t(bytes.size()))) !=
        PictureFormat::Jpeg)
        return frame;
    tjhandle handle = tjInitDecompress();
    if (!handle)
        return frame;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = static_cast<unsigned long>(bytes.size());
    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
    if (tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colourSpace) == 0 &&
        width > 0 && height > 0 && width <= maxPictureSide && height <= maxPictureSide) {
        const QSize small = JpegDecodeSize(width, height, QSize(1, 1));
        const int pixelFormat =
            colourSpace == TJCS_CMYK || colourSpace == TJCS_YCCK ? TJPF_CMYK : TJPF_BGRX;
        std::vector<unsigned char> pixels(size_t(small.width()) * size_t(small.height()) * 4);
        if (tjDecompress2(handle, data, size, pixels.data(), small.width(), 0, small.height(),
                          pixelFormat, TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS) == 0) {
            frame.readable = true;
            frame.size = QSize(width, height);
            frame.storable = pixelFormat == TJPF_BGRX;
        }
    }
    tjDestroy(handle);
    return frame;
}

// The picture scaled to fit `size`, centred on black.
QImage fitted(const QImage& picture, QSize size) {
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    const QImage scaled = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&canvas);
    painter.drawImage((size.width() - scaled.width()) / 2, (size.height() - scaled.height()) / 2,
                      scaled);
    return canvas;
}

} // namespace

// The film's bytes go to the temporary file.
class TimelapseExport::FileSink : public ByteSink {
  public:
    explicit FileSink(ReplacementFile& file) : m_file(file) {}
    bool append(std::string_view bytes) override { return keep(m_file.append(bytes)); }
    bool patch(uint64_t offset, std::string_view bytes) override {
        return keep(m_file.writeAt(offset, bytes));
    }
    uint64_t size() const override { return m_file.size(); }
    std::string error() const override { return m_error; }

  private:
    bool keep(const FileResult& result) {
        if (!result.ok)
            m_error = result.error;
        return result.ok;
    }
    ReplacementFile& m_file;
    std::string m_error;
};

TimelapseExport::TimelapseExport(TimelapseOptions options) : m_options(std::move(options)) {}

TimelapseExport::~TimelapseExport() = default; // an unfinished film's file goes with it

bool TimelapseExport::fail(const QString& why) {
    m_summary.error = why;
    m_writer.reset();
    m_mp4.reset();
    m_sink.reset();
    if (m_file)
        m_file->discard();
    m_file.reset();
    return false;
}

bool TimelapseExport::start() {
    if (m_options.framesPerSecond < 1 || m_options.framesPerSecond > 120)
        return fail(tr("The frame rate must be from 1 to 120 frames a second."));
    m_pictures = FindCamPictures(m_options.camFolder, {m_options.camName, m_options.formerNames},
                                 m_options.from, m_options.to, m_options.otherCams);
    if (m_pictures.empty())
        return nothingToFilm(
            (m_options.from || m_options.to
                 ? tr("There are no saved pictures of %1 in that time range in %2.")
                 : tr("There are no saved pictures of %1 in %2."))
                .arg(localText(m_options.camName), m_options.camFolder));
    if (m_options.onlyMotion && !keepMotion())
        return m_summary.cancelled
                   ? false
                   : nothingToFilm(tr("None of the saved pictures of %1 shows motion.")
                                       .arg(localText(m_options.camName)));
    // the film takes the output's place: only a regular file is replaced, never a device or a
    // FIFO given as the output
    const std::filesystem::path output = QFile::encodeName(m_options.output).toStdString();
    struct stat status {};
    if (::stat(output.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
        return fail(
            tr("%1 is not a regular file: the film is not written there.").arg(m_options.output));
    removeStaleTemporaries(output, std::chrono::hours(1)); // of an export a crash ended
    m_file = std::make_unique<ReplacementFile>(output);
    const FileResult opened = m_file->open();
    if (!opened.ok)
        return fail(localText(opened.error));
    m_sink = std::make_unique<FileSink>(*m_file);
    return true;
}

bool TimelapseExport::keepMotion() {
    QStringList paths;
    for (const CamPictureFile& picture : m_pictures)
        paths << picture.path;
    MotionSettings settings = m_options.motion;
    settings.on = true;
    const MotionJudgement judged =
        JudgeSavedPictures(paths, settings, m_options.mask, [this](qsizetype done, qsizetype all) {
            return !m_progress || m_progress(int(done), int(all));
        });
    if (judged.stopped) {
        cancel();
        return false;
    }
    std::vector<CamPictureFile> kept;
    for (const qsizetype place : judged.kept)
        kept.push_back(m_pictures[size_t(place)]);
    m_summary.withoutMotion = int(m_pictures.size() - kept.size());
    m_pictures = std::move(kept);
    return !m_pictures.empty();
}

bool TimelapseExport::leftOut(const QByteArray& bytes) {
    if (!m_options.skipDark && !m_options.skipRepeats)
        return false;
    // decoded small: a sketch needs few pixels
    const PictureSketch sketch(DecodePicture(bytes, QSize(64, 48)).picture);
    if (sketch.isNull())
        return false; // the film's own checks say what is wrong with it
    if (m_options.skipDark && sketch.brightness() < m_options.darkBelow) {
        ++m_summary.dark;
        return true;
    }
    if (m_options.skipRepeats && !m_lastKept.isNull() &&
        sketch.differenceFrom(m_lastKept) < m_options.repeatBelow) {
        ++m_summary.repeated;
        return true;
    }
    m_lastKept = sketch;
    return false;
}

bool TimelapseExport::addPicture(const QByteArray& bytes) {
    const JpegFrame frame = checkJpeg(bytes);
    if (!frame.readable) {
        ++m_summary.damaged;
        return true;
    }
    if (leftOut(bytes))
        return true;
    if (m_options.output.endsWith(".mp4", Qt::CaseInsensitive))
        return addToMp4(bytes, frame.size);
    if (!m_writer) { // the first good picture sets the film's size
        m_summary.size = frame.size;
        MjpegAviWriter::Format format;
        format.width = uint32_t(frame.size.width());
        format.height = uint32_t(frame.size.height());
        format.framesPerSecond = uint32_t(m_options.framesPerSecond);
        format.partLimit = m_options.partLimit;
        m_writer = std::make_unique<MjpegAviWriter>(*m_sink, format);
        if (!m_writer->begin())
            return fail(localText(m_writer->error()));
    }
    if (frame.size == m_summary.size && frame.storable) {
        if (!m_writer->addFrame(std::string_view(bytes.constData(), size_t(bytes.size()))))
            return fail(localText(m_writer->error()));
        ++m_summary.written;
        return true;
    }
    // another size (or colours players cannot show): made to fit and encoded once more
    const QImage picture = DecodePicture(bytes).picture;
    if (picture.isNull()) {
        ++m_summary.damaged;
        return true;
    }
    QByteArray encoded;
    try {
        cDIBSection dib;
        dib.CreateFromPicture(fitted(picture, m_summary.size));
        int code = 0;
        encoded = encodeJpeg(dib, 90, code);
    } catch (const ImagingError&) {
    }
    if (encoded.isEmpty()) {
        ++m_summary.damaged;
        return true;
    }
    if (!m_writer->addFrame(std::string_view(encoded.constData(), size_t(encoded.size()))))
        return fail(localText(m_writer->error()));
    ++m_summary.written;
    ++m_summary.rescaled;
    return true;
}

bool TimelapseExport::addToMp4(const QByteArray& bytes, QSize size) {
    if (!m_mp4) { // the first good picture sets the film's size
        m_summary.size = size;
        FilmBytes film{
            [this](std::string_view bytes) { return m_sink->append(bytes); },
            [this](uint64_t at, std::string_view bytes) { return m_sink->patch(at, bytes); },
            [this] { return m_sink->size(); }};
        m_mp4 = std::make_unique<Mp4Writer>(std::move(film), size, m_options.framesPerSecond);
        if (!m_mp4->begin())
            return fail(localText(m_mp4->error()));
    }
    const QImage picture = DecodePicture(bytes).picture;
    if (picture.isNull()) {
        ++m_summary.damaged;
        return true;
    }
    if (!m_mp4->addPicture(picture))
        return fail(localText(m_mp4->error()));
    ++m_summary.written;
    m_summary.rescaled += size != m_summary.size ? 1 : 0;
    return true;
}

bool TimelapseExport::step() {
    if (!m_sink || m_next >= m_pictures.size())
        return false;
    const CamPictureFile& picture = m_pictures[m_next++];
    const ReadResult read =
        readWholeFile(QFile::encodeName(picture.path).toStdString(), maxPictureBytes);
    if (!read.ok || read.missing) {
        ++m_summary.damaged; // gone or unreadable since it was found
        return m_next < m_pictures.size();
    }
    if (!addPicture(QByteArray::fromStdString(read.bytes)))
        return false;
    return m_next < m_pictures.size();
}

bool TimelapseExport::nothingToFilm(const QString& why) {
    m_summary.nothingToFilm = true;
    return fail(why);
}

bool TimelapseExport::finish() {
    if (!m_sink)
        return false;
    if ((!hasWriter() || m_summary.written == 0) && m_summary.dark + m_summary.repeated > 0)
        return nothingToFilm(tr("Every picture of %1 was left out as dark or repeated.")
                                 .arg(localText(m_options.camName)));
    if (!hasWriter() || m_summary.written == 0)
        return nothingToFilm(tr("None of the %n pictures of %1 could be read.", nullptr, total())
                                 .arg(localText(m_options.camName)));
    if (m_mp4 ? !m_mp4->finish() : !m_writer->finish())
        return fail(localText(m_mp4 ? m_mp4->error() : m_writer->error()));
    if (m_mayCommit && !m_mayCommit()) {
        cancel();
        return false;
    }
    const FileResult committed = m_file->commit(Durability::Synced);
    m_writer.reset();
    m_mp4.reset();
    m_sink.reset();
    m_file.reset();
    if (!committed.ok)
        return fail(localText(committed.error));
    return true;
}

void TimelapseExport::cancel() {
    fail(tr("The export was cancelled."));
    m_summary.cancelled = true;
}

TimelapseSummary TimelapseExport::run(const std::function<bool(int, int)>& progress) {
    m_progress = progress;
    if (!start())
        return m_summary;
    while (step())
        if (progress && !progress(done(), total())) {
            cancel();
            return m_summary;
        }
    if (m_summary.error.isEmpty())
        finish();
    return m_summary;
}

QString TimelapseReport(const TimelapseSummary& summary, const QString& path, int framesPerSecond) {
    // English has a text of its own for one; %n gives other languages their plural forms
    const int written = summary.written, rescaled = summary.rescaled, damaged = summary.damaged;
    const QString pictures = written == 1 ? TimelapseExport::tr("1 picture")
                                          : TimelapseExport::tr("%n pictures", nullptr, written);
    const QString frames = framesPerSecond == 1
                               ? TimelapseExport::tr("1 frame")
                               : TimelapseExport::tr("%n frames", nullptr, framesPerSecond);
    //: %2 is "1 picture" or "%n pictures", %3 and %4 the width and height, %5 "1 frame" or
    //: "%n frames"
    QString text = TimelapseExport::tr("The time-lapse film %1 holds %2 of %3x%4 at %5 a second.")
                       .arg(path, pictures, QString::number(summary.size.width()),
                            QString::number(summary.size.height()), frames);
    if (rescaled > 0)
        text += " " + (rescaled == 1 ? TimelapseExport::tr("1 of another size was scaled to fit.")
                                     : TimelapseExport::tr("%n of another size were scaled to fit.",
                                                           nullptr, rescaled));
    if (damaged > 0)
        text += " " + (damaged == 1 ? TimelapseExport::tr("1 damaged picture was left out.")
                                    : TimelapseExport::tr("%n damaged pictures were left out.",
                                                          nullptr, damaged));
    if (summary.dark > 0)
        text += " " + TimelapseExport::tr("Dark pictures left out: %1.").arg(summary.dark);
    if (summary.repeated > 0)
        text += " " + TimelapseExport::tr("Repeated pictures left out: %1.").arg(summary.repeated);
    if (summary.withoutMotion > 0)
        text +=
            " " +
            TimelapseExport::tr("Pictures without motion left out: %1.").arg(summary.withoutMotion);
    return text;
}

int RemoveStaleFilmTemporaries(const QString& folder, std::chrono::seconds age) {
    std::error_code error;
    int removed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(QFile::encodeName(folder).toStdString()), error)) {
        const std::string name = entry.path().filename().string();
        size_t film = name.rfind(".avi.");
        if (film == std::string::npos)
            film = name.rfind(".mp4.");
        // ".<name>.avi." (or ".mp4.") and the six characters the temporary's maker chose
        if (!name.starts_with('.') || film == std::string::npos || film < 2 ||
            name.size() != film + 5 + 6)
            continue;
        removed +=
            removeStaleTemporaries(entry.path().parent_path() / name.substr(1, film + 3), age);
    }
    return removed;
}
