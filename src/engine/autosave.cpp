#include "engine/autosave.h"

#include "common/background.h"
#include "common/datetimetext.h"
#include "engine/camengine.h"
#include "engine/camfollower.h"
#include "imaging/picturesave.h"
#include "imaging/savepath.h"

#include <QDateTime>

namespace {

// Pictures waiting to be saved, at most: of one place, and in bytes of all places together.
constexpr int maxSavesPending = 8;
constexpr qint64 maxSaveBytesPending = 256 * 1024 * 1024;

} // namespace

AutoSave::AutoSave(CamEngine& engine, QString camFolder, BackgroundQueue& files, QObject* parent)
    : QObject(parent), m_engine(engine), m_camFolder(std::move(camFolder)), m_files(files) {
    m_engine.addSink(this);
}

AutoSave::~AutoSave() {
    m_engine.removeSink(this);
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
        save(place, completion.fetched.body);
}

void AutoSave::save(const CamPlace& place, const QByteArray& bytes) {
    const int index = place.index;
    const QDateTime now = QDateTime::currentDateTime();
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
        [bytes, path, panelSize] {
            return SavePictureAsJpeg({{}, bytes}, FreeSavePath(path), panelSize);
        },
        [this, index, shown, time, cam = place.caption,
         size = bytes.size()](const SavedPicture& saved) {
            --m_pending.at(size_t(index));
            m_bytesPending -= size;
            const bool selected = index == m_engine.selection().place();
            if (!saved.ok) {
                if (selected)
                    emit statusText(tr("%1 the new picture could not be saved as %2: %3")
                                        .arg(time, saved.path, saved.error));
                return;
            }
            emit pictureSaved(cam, saved.path);
            // the place shows the picture as it was saved, while it still shows that picture
            m_engine.showSavedCopy(index, shown, saved.reloaded, saved.bytes);
            if (selected)
                emit statusText(tr("%1 new picture saved as %2").arg(time, saved.path));
        });
}
