// What the panels do with what their fetches bring: pictures are decoded off the window's
// thread, and every completion of a place (a picture, the same picture again, a page that is no
// picture, "unchanged", a failure) is shown in the order the fetches ended. New pictures are
// saved on the file thread, one after the other.
#include "panels/campanelset.h"

#include "common/background.h"
#include "common/datetimetext.h"
#include "imaging/picturecheck.h"
#include "imaging/savepath.h"
#include "net/camfetcher.h"
#include "panels/campanel.h"
#include "panels/decodequeue.h"
#include "ui/windowlock.h"

#include <QDateTime>

namespace {

// Pictures waiting to be saved, at most: of one place, and in bytes of all places together. A
// disk that cannot keep up loses the newest ones, said in the status bar, rather than holding
// ever more of them in memory.
constexpr int maxSavesPending = 8;
constexpr qint64 maxSaveBytesPending = 256 * 1024 * 1024;

int placeOf(quint64 ticket) {
    return int(ticket & 0xff);
}

} // namespace

quint64 CamPanelSet::nextTicket(int index) {
    return (++m_tickets << 8) | quint64(index);
}

void CamPanelSet::pictureArrived(int index, const FetchedPicture& arrived) {
    CamSlot& place = slotAt(index);
    PanelCompletion completion;
    completion.fetched = arrived;
    FetchedPicture& fetched = completion.fetched;
    // what follows the picture's end is not the picture's, and is not kept
    const PictureCheck check =
        CheckPicture(std::string_view(fetched.body.constData(), size_t(fetched.body.size())), 0);
    if (check.end > 0 && check.end < size_t(fetched.body.size()))
        fetched.body = fetched.body.left(qsizetype(check.end));
    // The same bytes as the picture shown, and nothing else on its way to the panel: nothing
    // to decode, nothing to draw again.
    if (place.completions.size() == 0 && !place.shownBody.isEmpty() &&
        fetched.body == place.shownBody) {
        completion.kind = PanelCompletion::Kind::SamePicture;
        queueCompletion(index, std::move(completion));
        return;
    }
    const QByteArray body = fetched.body;
    const int64_t announced = fetched.announcedLength;
    // The panel shows the picture small; the viewer, once it shows this place, whole.
    const bool whole = index == m_selected && m_viewerShown;
    const QSize panelSize = place.view->pictureSize();
    const quint64 ticket = nextTicket(index);
    place.completions.add(ticket, std::move(completion), false);
    // a picture still waiting for its decode is overtaken by this one: it is never shown, but
    // saved when it was new
    if (const std::optional<quint64> replaced = m_decodes->submit(
            {index, ticket, body, announced, whole ? QSize() : panelSize, panelSize, false}))
        if (const std::optional<PanelCompletion> overtaken = place.completions.forget(*replaced))
            if (m_autoSave && overtaken->fetched.pictureChanged)
                autoSave(index, overtaken->fetched.body);
}

void CamPanelSet::pictureDecoded(quint64 ticket, const PanelDecode& decoded) {
    const int index = placeOf(ticket);
    CamSlot& place = slotAt(index);
    if (ticket == place.wholeTicket) {
        wholePictureDecoded(index, decoded);
        return;
    }
    if (place.completions.decoded(ticket, decoded))
        showCompletions(index);
}

void CamPanelSet::queueCompletion(int index, PanelCompletion completion) {
    slotAt(index).completions.add(nextTicket(index), std::move(completion), true);
    showCompletions(index);
}

void CamPanelSet::showCompletions(int index) {
    CamSlot& place = slotAt(index);
    while (std::optional<PanelCompletion> completion = place.completions.takeReady()) {
        // the indicator goes when the place's latest fetch has ended
        if (!place.fetcher->isFetching())
            showFetching(index, false);
        switch (completion->kind) {
        case PanelCompletion::Kind::Picture:
            if (completion->decoded.decoded.picture.isNull())
                showUnreadable(index, *completion);
            else
                showPicture(index, *completion);
            break;
        case PanelCompletion::Kind::SamePicture:
            showSamePicture(index, *completion);
            break;
        case PanelCompletion::Kind::NotPicture:
            showNotAPicture(index, completion->details);
            break;
        case PanelCompletion::Kind::Unchanged:
            showUnchanged(index, completion->details);
            break;
        case PanelCompletion::Kind::Failure:
            showFailure(index, completion->reason, completion->failure);
            break;
        }
    }
}

void CamPanelSet::showPicture(int index, const PanelCompletion& completion) {
    CamSlot& place = slotAt(index);
    const FetchedPicture& fetched = completion.fetched;
    const DecodedPicture& decoded = completion.decoded.decoded;
    const bool selected = index == m_selected;
    m_lock.lock(true);
    place.view->showPicture(completion.decoded.panelPicture, fetched.body);
    ++place.shownCount;
    place.shownBody = fetched.body;
    place.shownSize = decoded.fullSize.isValid() ? decoded.fullSize : decoded.picture.size();
    place.wholePicture = selected && decoded.whole ? decoded.picture : QImage();
    if (selected && (decoded.whole || !m_viewerShown))
        emit selectedPictureArrived(decoded.picture);
    m_lock.lock(false);
    if (selected && m_viewerShown && m_selectedWithoutPicture)
        selectPanel(index); // the viewer measures its first picture as a click would
    else if (selected && m_viewerShown && !decoded.whole)
        deliverWholePicture(index); // selected while it was decoded small
    if (m_autoSave && fetched.pictureChanged)
        autoSave(index, fetched.body);
    place.lastRefusal.clear();
    place.freshness.newPicture(m_now());
    place.dark.pictureCame(m_now(), true);
    // new for the rate only when its bytes differ from the last picture's: a picture shown
    // again after an error page, or while earlier ones were decoded, is no change
    place.rate.observe(m_now(), fetched.lastModifiedTime, fetched.body != place.rateBody);
    place.rateBody = fetched.body;
    emit pictureShown(index);
    updateMark(index);
    if (selected)
        emit selectedDetailsChanged(withFreshness(index, fetched.details));
}

void CamPanelSet::showUnreadable(int index, const PanelCompletion& completion) {
    // the panel keeps its previous picture, and its mark says why the new one is not shown; a
    // picture not shown is no news, and not saved
    CamSlot& place = slotAt(index);
    place.fetcher->refusePicture(completion.fetched);
    const QString& refusal = completion.decoded.decoded.refusal;
    const PictureBound bound = completion.decoded.decoded.bound;
    const QString why = bound != PictureBound::None ? refusal : tr("the picture could not be read");
    place.freshness.failed(why.toStdString(), false);
    place.dark.fetchFailed();
    if (bound == PictureBound::TooCostly && refusal != place.lastRefusal)
        emit statusText(tr("%1: %2").arg(QString::fromLocal8Bit(place.fetcher->name()), why));
    place.lastRefusal = refusal;
    updateMark(index);
    if (index == m_selected)
        emit selectedDetailsChanged(withFreshness(index, place.fetcher->details()));
}

void CamPanelSet::showSamePicture(int index, const PanelCompletion& completion) {
    CamSlot& place = slotAt(index);
    place.freshness.samePicture();
    place.dark.pictureCame(m_now(), false);
    place.rate.observe(m_now(), std::nullopt, false);
    updateMark(index);
    if (m_autoSave && completion.fetched.pictureChanged)
        autoSave(index, completion.fetched.body);
    if (index == m_selected)
        emit selectedDetailsChanged(withFreshness(index, completion.fetched.details));
}

void CamPanelSet::showUnchanged(int index, const CamDetails& details) {
    CamSlot& place = slotAt(index);
    place.freshness.samePicture();
    place.dark.pictureCame(m_now(), false);
    place.rate.observe(m_now(), std::nullopt, false);
    if (!place.view->hasPicture())
        place.fetcher->forgetValidators(); // nothing to keep: ask for the picture itself
    updateMark(index);
    if (index == m_selected)
        emit selectedDetailsChanged(withFreshness(index, details));
}

void CamPanelSet::showFailure(int index, const QString& reason, FetchFailure kind) {
    CamSlot& place = slotAt(index);
    place.freshness.failed(reason.toStdString(), kind == FetchFailure::Connection);
    place.dark.fetchFailed();
    place.view->offerCertificateTrust(kind == FetchFailure::Certificate &&
                                      !place.fetcher->certificateTrouble().fingerprint.isEmpty());
    place.view->offerUnencryptedPassword(kind == FetchFailure::PlainPassword);
    ticked(
        index); // the mark, and for the viewer the next attempt, at once: a held cam ticks no more
    // errors of the server's own making speak in the mark; what the user can act on in the
    // status bar too
    if (kind == FetchFailure::Certificate || kind == FetchFailure::Protocol ||
        kind == FetchFailure::Refused || kind == FetchFailure::PlainPassword)
        emit statusText((kind == FetchFailure::PlainPassword
                             ? tr("%1: %2 (right-click the panel to send it all the same)")
                             : tr("%1: %2"))
                            .arg(QString::fromLocal8Bit(place.fetcher->name()), reason));
}

void CamPanelSet::showNotAPicture(int index, const CamDetails& details) {
    CamSlot& place = slotAt(index);
    place.shownBody.clear(); // the next picture shows again, same or not
    place.shownSize = m_notFound.size();
    place.wholePicture = {};
    ++place.shownCount;
    m_lock.lock(true);
    place.view->showPlainPicture(m_notFound);
    m_lock.lock(false);
    if (index == m_selected)
        emit selectedDetailsChanged(withFreshness(index, details));
}

void CamPanelSet::deliverWholePicture(int index) {
    CamSlot& place = slotAt(index);
    const QByteArray& bytes = place.view->pictureBytes();
    if (bytes.isEmpty()) {
        if (place.view->hasPicture()) // a plain picture is whole already
            emit selectedPictureArrived(place.view->shownPicture());
        return;
    }
    place.wholeTicket = nextTicket(index);
    place.wholeFor = place.shownCount;
    m_decodes->submit({index, place.wholeTicket, bytes, 0, QSize(), QSize(), true});
}

void CamPanelSet::wholePictureDecoded(int index, const PanelDecode& decoded) {
    CamSlot& place = slotAt(index);
    place.wholeTicket = 0;
    // a picture that came meanwhile, or a click elsewhere, makes this one late
    if (index != m_selected || place.shownCount != place.wholeFor ||
        decoded.decoded.picture.isNull())
        return;
    place.wholePicture = decoded.decoded.picture;
    emit selectedPictureArrived(place.wholePicture);
}

void CamPanelSet::autoSave(int index, const QByteArray& bytes) {
    CamSlot& place = slotAt(index);
    const QDateTime now = QDateTime::currentDateTime();
    const QString time = longTimeText(now.time());
    const QString cam = QString::fromLocal8Bit(place.caption);
    if (place.savesPending >= maxSavesPending ||
        m_saveBytesPending + bytes.size() > maxSaveBytesPending) {
        emit statusText(
            tr("%1 a new picture of %2 was not saved: the disk does not keep up").arg(time, cam));
        return;
    }
    const QString path = SavePath(m_camFolder, place.caption, now);
    const QSize panelSize = place.view->pictureSize();
    const quint64 shown = place.shownCount;
    ++place.savesPending;
    m_saveBytesPending += bytes.size();
    m_files.run(
        this,
        [bytes, path, panelSize] {
            return SavePictureAsJpeg({{}, bytes}, FreeSavePath(path), panelSize);
        },
        [this, index, shown, time, cam = place.caption,
         size = bytes.size()](const SavedPicture& saved) {
            CamSlot& place = slotAt(index);
            --place.savesPending;
            m_saveBytesPending -= size;
            const bool selected = index == m_selected;
            if (!saved.ok) {
                if (selected)
                    emit statusText(tr("%1 the new picture could not be saved as %2: %3")
                                        .arg(time, saved.path, saved.error));
                return;
            }
            emit pictureSaved(cam, saved.path);
            // the panel shows the picture as it was saved, while it still shows that picture
            if (place.shownCount == shown && !saved.reloaded.isNull())
                place.view->showPicture(saved.reloaded, saved.bytes);
            if (selected)
                emit statusText(tr("%1 new picture saved as %2").arg(time, saved.path));
        });
}
