#include "engine/autosave.h"

#include "common/background.h"
#include "common/datetimetext.h"
#include "config/desktopnotifier.h"
#include "engine/camengine.h"
#include "engine/camfollower.h"
#include "engine/motionwatch.h"
#include "imaging/picturesave.h"
#include "imaging/savepath.h"
#include "motion/motionkeeper.h"
#include "source/picturesource.h"

#include <QDateTime>

namespace {

// Pictures waiting to be saved, at most: of one place, and in bytes of all places together.
constexpr int maxSavesPending = 8;
constexpr qint64 maxSaveBytesPending = 256 * 1024 * 1024;

} // namespace

AutoSave::AutoSave(CamEngine& engine, QString camFolder, BackgroundQueue& files, QObject* parent)
    : QObject(parent), m_engine(engine), m_camFolder(std::move(camFolder)), m_files(files) {
    m_engine.addSink(this);
    // a running cam takes its changed rule at once
    connect(&m_engine.settings(), &CamSettings::changed, this,
            [this](const QByteArray& cam, const QString& section) {
                if (section != "Saving" && section != "Motion")
                    return;
                for (int index = 0; index < CamEngine::placeCount; ++index)
                    if (m_engine.isRunning(index) && m_engine.source(index)->name() == cam)
                        followRule(m_engine.place(index));
            });
}

AutoSave::~AutoSave() {
    m_engine.removeSink(this);
}

void AutoSave::setOn(bool on) {
    m_on = on;
    m_engine.setPicturesKeptWhole(on); // saved at the cam's own size
}

bool AutoSave::isBusyWith(const CamPlace& place) const {
    return m_pending.at(size_t(place.index)) > 0;
}

void AutoSave::completed(const CamPlace& place, const Completion& completion) {
    // a picture overtaken before its decode is never shown, but saved when it was new
    const bool picture = completion.kind == Completion::Kind::Picture ||
                         completion.kind == Completion::Kind::SamePicture ||
                         completion.kind == Completion::Kind::Overtaken;
    if (m_on && picture && completion.fetched.pictureChanged)
        keep(place, completion);
}

void AutoSave::keep(const CamPlace& place, const Completion& completion) {
    Rule& rule = m_rules.at(size_t(place.index));
    const FetchedPicture& fetched = completion.fetched;
    const QDateTime now = QDateTime::currentDateTime();
    switch (rule.rule.kind) {
    case SaveRule::Kind::Off:
        return;
    case SaveRule::Kind::AtMost:
        if (rule.lastSaved.isValid() && rule.lastSaved <= now &&
            rule.lastSaved.secsTo(now) < rule.rule.seconds)
            return;
        rule.lastSaved = now;
        break;
    case SaveRule::Kind::OnlyMotion:
        if (m_motion && rule.hold) {
            // a picture overtaken before its decode was never looked at: a quiet one
            const MotionReading reading = completion.kind == Completion::Kind::Picture
                                              ? m_motion->reading(place.index)
                                              : MotionReading{};
            for (const MotionPicture& kept :
                 rule.hold->take({fetched.body, now, fetched.format}, reading))
                save(place, kept.bytes, kept.format, kept.taken);
            return;
        }
        break;
    case SaveRule::Kind::Every:
        break;
    }
    save(place, fetched.body, fetched.format, now);
}

void AutoSave::followRule(const CamPlace& place) {
    Rule& rule = m_rules.at(size_t(place.index));
    const QByteArray cam = place.source->name();
    const SaveRule wanted = m_engine.settings().value(saveRuleKey, cam);
    const MotionSettings motion = m_engine.settings().value(motionSettingsKey, cam);
    if (wanted == rule.rule && (wanted.kind != SaveRule::Kind::OnlyMotion || rule.hold))
        return;
    rule = {wanted, {}, nullptr};
    if (wanted.kind == SaveRule::Kind::OnlyMotion)
        rule.hold =
            std::make_shared<MotionPictureHold>(motion.picturesBefore, motion.picturesAfter);
}

void AutoSave::camStarted(const CamPlace& place) {
    m_rules.at(size_t(place.index)) = {};
    followRule(place);
}

void AutoSave::camEdited(const CamPlace& place, bool) {
    followRule(place);
}

void AutoSave::save(const CamPlace& place, const QByteArray& bytes, const QByteArray& format,
                    const QDateTime& now) {
    const int index = place.index;
    const QString time = longTimeText(now.time());
    const QString cam = QString::fromLocal8Bit(place.caption);
    if (m_pending.at(size_t(index)) >= maxSavesPending ||
        m_bytesPending + bytes.size() > maxSaveBytesPending) {
        emit statusText(
            tr("%1 a new picture of %2 was not saved: the disk does not keep up").arg(time, cam));
        return;
    }
    const QString path = SavePath(m_camFolder, place.caption, now);
    const QSize panelSize = place.pictureSize;
    const quint64 shown = place.shownCount;
    ++m_pending.at(size_t(index));
    m_bytesPending += bytes.size();
    m_files.run(
        this,
        [bytes, format, path, panelSize, decode = m_engine.registry().decoder()] {
            // a coded picture (a video's) is decoded whole, at the stream's own size
            const PictureToSave picture =
                format.isEmpty() ? PictureToSave{{}, bytes}
                                 : PictureToSave{decode(format, bytes, {}).picture, {}};
            if (picture.isEmpty()) {
                SavedPicture failed;
                failed.path = path;
                failed.error = tr("the picture could not be decoded");
                return failed;
            }
            return SavePictureAsJpeg(picture, FreeSavePath(path), panelSize);
        },
        [this, index, shown, time, cam = place.caption,
         size = bytes.size()](const SavedPicture& result) {
            --m_pending.at(size_t(index));
            m_bytesPending -= size;
            saved(index, cam, time, result, shown);
        });
}

void AutoSave::saved(int index, const QByteArray& cam, const QString& time,
                     const SavedPicture& saved, quint64 shown) {
    QString& trouble = m_trouble.at(size_t(index));
    const bool wasFailing = !trouble.isEmpty();
    if (!saved.ok) {
        // lost pictures are said whichever cam they are of
        const QString name = QString::fromLocal8Bit(cam);
        emit statusText(tr("%1 a new picture of %2 could not be saved as %3: %4")
                            .arg(time, name, saved.path, saved.error));
        trouble = tr("its pictures cannot be saved: %1").arg(saved.error);
        if (!wasFailing && m_notifier)
            m_notifier->notify(tr("Pictures of %1 are not saved").arg(name),
                               tr("%1 cannot be written: %2").arg(saved.path, saved.error));
        m_engine.troubleChanged(index);
        return;
    }
    trouble.clear();
    if (wasFailing)
        m_engine.troubleChanged(index);
    emit pictureSaved(cam, saved.path);
    // the place shows the picture as it was saved, while it still shows that picture
    m_engine.showSavedCopy(index, shown, saved.reloaded, saved.bytes);
    if (index == m_engine.selection().place())
        emit statusText(tr("%1 new picture saved as %2").arg(time, saved.path));
}

QString AutoSave::trouble(const CamPlace& place) const {
    return m_trouble.at(size_t(place.index));
}

void AutoSave::camStopped(const CamPlace& place) {
    m_trouble.at(size_t(place.index)).clear();
    m_rules.at(size_t(place.index)) = {};
}
