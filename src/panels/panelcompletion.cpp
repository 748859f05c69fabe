// What the panels do with what their fetches bring: pictures are decoded on the decode pool,
// and every completion of a panel (a picture, the same picture again, a page that is no
// picture, "unchanged", a failure) is shown in the order the fetches ended.
#include "panels/campanelset.h"

#include "common/datetimetext.h"
#include "panels/autosave.h"
#include "net/camfetcher.h"
#include "panels/campanel.h"
#include "panels/completionorder.h"
#include "panels/decodequeue.h"
#include "ui/windowlock.h"

#include <QDateTime>

void CamPanelSet::pictureArrived(int index, const FetchedPicture& fetched) {
    PanelRecord& record = m_records[index];
    PanelCompletion completion;
    completion.fetched = fetched;
    // The same bytes as the picture shown, and nothing else on its way to the panel: nothing
    // to decode, nothing to draw again.
    if (m_order->waiting(index) == 0 && !record.shownBody.isEmpty() &&
        fetched.body == record.shownBody) {
        completion.kind = PanelCompletion::Kind::SamePicture;
        m_order->add(index, std::move(completion), true);
        showCompletions(index);
        return;
    }
    // The whole picture is needed only by the viewer (once it shows) and for saving; the
    // panel itself shows it small, and keeps the bytes for whoever asks for it whole later.
    completion.wantedWhole =
        (index == m_selected && m_viewerShown) || (m_autoSave && fetched.pictureChanged);
    const QSize fit = completion.wantedWhole ? QSize() : m_panels[index]->pictureSize();
    const quint64 ticket = m_order->add(index, std::move(completion), false);
    m_decodes->submit(ticket, fetched.body, fetched.announcedLength, fit);
}

void CamPanelSet::pictureDecoded(quint64 ticket, const DecodedPicture& decoded) {
    if (const std::optional<int> index = m_order->decoded(ticket, decoded))
        showCompletions(*index);
}

void CamPanelSet::queueCompletion(int index, PanelCompletion completion) {
    m_order->add(index, std::move(completion), true);
    showCompletions(index);
}

void CamPanelSet::showCompletions(int index) {
    while (std::optional<PanelCompletion> completion = m_order->takeReady(index)) {
        // the indicator goes when the panel's latest fetch has ended
        if (!m_fetchers[index]->isFetching())
            m_panels[index]->showFetching(false);
        switch (completion->kind) {
        case PanelCompletion::Kind::Picture:
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
    CamPanel* panel = m_panels[index];
    const FetchedPicture& fetched = completion.fetched;
    const bool selected = index == m_selected;
    const bool saving = m_autoSave && fetched.pictureChanged;
    QImage picture = completion.decoded.picture;
    if (!picture.isNull() && ((selected && m_viewerShown) || saving) && !completion.decoded.whole)
        picture = DecodePicture(fetched.body).picture; // selected while it was decoded small
    m_lock.lock(true);
    if (!picture.isNull())
        panel->showPicture(picture, fetched.body);
    if (!picture.isNull() && selected)
        emit selectedPictureArrived(picture);
    if (saving)
        autoSave(index, picture.isNull() ? panel->picture() : picture); // the whole picture here
    m_lock.lock(false);
    if (!picture.isNull()) {
        m_records[index].shownBody = fetched.body;
        m_records[index].freshness.newPicture(m_now());
        // new for the rate only when its bytes differ from the last picture's: a picture shown
        // again after an error page, or while earlier ones were decoded, is no change
        PanelRecord& record = m_records[index];
        record.rate.observe(m_now(), fetched.lastModifiedTime, fetched.body != record.rateBody);
        record.rateBody = fetched.body;
        emit pictureShown(index);
    }
    updateMark(index);
    if (selected)
        emit selectedDetailsChanged(withFreshness(index, fetched.details));
}

void CamPanelSet::showSamePicture(int index, const PanelCompletion& completion) {
    m_records[index].freshness.samePicture();
    m_records[index].rate.observe(m_now(), std::nullopt, false);
    updateMark(index);
    if (m_autoSave && completion.fetched.pictureChanged)
        autoSave(index, m_panels[index]->picture());
    if (index == m_selected)
        emit selectedDetailsChanged(withFreshness(index, completion.fetched.details));
}

void CamPanelSet::showUnchanged(int index, const CamDetails& details) {
    m_records[index].freshness.samePicture();
    m_records[index].rate.observe(m_now(), std::nullopt, false);
    if (!m_panels[index]->hasPicture())
        m_fetchers[index]->forgetValidators(); // nothing to keep: ask for the picture itself
    updateMark(index);
    if (index == m_selected)
        emit selectedDetailsChanged(withFreshness(index, details));
}

void CamPanelSet::showFailure(int index, const QString& reason, FetchFailure kind) {
    CamPanel* panel = m_panels[index];
    CamFetcher* fetcher = m_fetchers[index];
    m_records[index].freshness.failed(reason.toStdString(), kind == FetchFailure::Connection);
    panel->offerCertificateTrust(kind == FetchFailure::Certificate &&
                                 !fetcher->certificateTrouble().fingerprint.isEmpty());
    updateMark(index);
    // errors of the server's own making speak in the mark; what the user can act on in the
    // status bar too
    if (kind == FetchFailure::Certificate || kind == FetchFailure::Protocol)
        emit statusText(QString::fromLocal8Bit(fetcher->name()) + ": " + reason);
}

void CamPanelSet::showNotAPicture(int index, const CamDetails& details) {
    m_records[index].shownBody.clear(); // the next picture shows again, same or not
    m_lock.lock(true);
    m_panels[index]->showPlainPicture(m_notFound);
    m_lock.lock(false);
    if (index == m_selected)
        emit selectedDetailsChanged(withFreshness(index, details));
}

void CamPanelSet::autoSave(int index, const QImage& picture) {
    const QDateTime now = QDateTime::currentDateTime();
    const QString time = longTimeText(now.time());
    const SavedPicture saved =
        AutoSavePicture(picture, m_panels[index]->frameCaption(), m_camFolder, now);
    const bool selected = index == m_selected;
    if (!saved.ok) {
        if (selected)
            emit statusText(QString("%1 the new picture could not be saved as %2: %3")
                                .arg(time, saved.path, saved.error));
        return;
    }
    // the panel shows the picture as it was saved
    if (!saved.reloaded.isNull())
        m_panels[index]->showPicture(saved.reloaded, saved.bytes);
    if (selected)
        emit statusText(time + " new picture saved as " + saved.path);
}
