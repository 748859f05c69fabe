// The viewer's pictures on the disk: the shown cam's history, read off the window's thread and
// followed as pictures are saved, and the picture shown saved on demand.
#include "viewer/viewerpane.h"

#include "common/background.h"
#include "common/datetimetext.h"
#include "common/filechooser.h"
#include "engine/followedcam.h"
#include "imaging/savepath.h"
#include "ui/imagecontrol.h"
#include "viewer/historystrip.h"

#include <QDateTime>

void ViewerPane::readHistory(const CamNames& cam) {
    const quint64 read = ++m_historyReads;
    m_historyReader->clear(); // a listing for a cam selected before is not wanted any more
    m_savedDuringRead.clear();
    m_historyReading = true;
    if (cam != m_history->history().names()) { // another cam's pictures go at once
        const bool wasShown = !m_history->history().empty();
        m_history->setHistory(CamHistory(cam, {}));
        readMotionChoices();
        if (m_arranged && wasShown)
            arrange(m_layout);
    }
    m_historyReader->run(
        this, [folder = m_camFolder, cam] { return CamHistory::read(folder, cam); },
        [this, read](CamHistory history) {
            if (read != m_historyReads)
                return; // another cam was selected meanwhile
            m_historyReading = false;
            const bool wasShown = !m_history->history().empty();
            m_history->setHistory(std::move(history));
            for (const QString& path : std::exchange(m_savedDuringRead, {}))
                m_history->addSaved(path); // saved while the folder was listed
            if (m_arranged && wasShown != !m_history->history().empty())
                arrange(m_layout);
        });
}

void ViewerPane::noteSavedPicture(const QByteArray& cam, const QString& path) {
    if (cam != m_history->history().cam() || cam.isEmpty())
        return;
    if (m_historyReading)
        m_savedDuringRead.append(path); // in case the listing under way passed it by
    const bool wasShown = !m_history->history().empty();
    m_history->addSaved(path);
    if (m_arranged && !wasShown && !m_history->history().empty())
        arrange(m_layout);
}

void ViewerPane::readHistoryAgain() {
    if (m_source.hasPlace() && isVisible())
        readHistory(m_source.names());
}

void ViewerPane::saveShownPicture() {
    if (m_source.hasPlace() && m_hasPicture)
        savePictureTo(SavePath(m_camFolder, m_source.name(), QDateTime::currentDateTime()), true);
}

void ViewerPane::saveShownPictureAs() {
    if (!m_source.hasPlace() || !m_chooser || !m_hasPicture)
        return;
    const QString path =
        m_chooser->fileToSave(this, tr("Save Image As"),
                              SavePath(m_camFolder, m_source.name(), QDateTime::currentDateTime()),
                              tr("JPEG pictures (*.jpg *.jpeg)"));
    if (!path.isEmpty())
        savePictureTo(path);
}

void ViewerPane::savePictureTo(const QString& path, bool unique) {
    // the saved picture the history shows as it is shown, the running cam's whole
    const PictureToSave picture =
        m_savedShown ? PictureToSave{m_image->picture(), {}} : m_source.picture();
    ++m_saving;
    // ahead of the auto-saves that wait: the user is waiting for this one
    m_files.run(
        this,
        [picture, path, unique] {
            return SavePictureAsJpeg(picture, unique ? FreeSavePath(path) : path);
        },
        [this, shown = m_pictures](const SavedPicture& saved) {
            --m_saving;
            const QString time = longTimeText(QTime::currentTime());
            if (!saved.ok) {
                emit statusText(tr("%1 the picture could not be saved as %2: %3")
                                    .arg(time, saved.path, saved.error));
                return;
            }
            // still the one shown (a huge JPEG is saved as it came, so as it is shown)
            if (shown == m_pictures && !m_history->isBrowsing() && !saved.whole.isNull())
                m_image->setPicture(saved.whole);
            emit statusText(tr("%1 saved as %2").arg(time, saved.path));
            noteSavedPicture(m_history->history().cam(), saved.path);
        },
        true);
}
