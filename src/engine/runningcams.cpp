// The life of the cams in their places: started into a free place from the cam list, stopped,
// refreshed, edited while they run, resting while nobody sees them.
#include "engine/camengine.h"

#include "camlist/camlistmodel.h"
#include "common/localtext.h"
#include "common/numbertext.h"
#include "config/camsettings.h"
#include "engine/camchoices.h"
#include "engine/decodequeue.h"
#include "engine/placekeeping.h"
#include "source/picturesource.h"

void CamEngine::StartSelectedCam(const std::string& name) {
    if (m_activeCams >= maxRunningCams)
        return;
    const QByteArray asCaption(name.data(), qsizetype(name.size()));
    // Idle places count too: their captions are "[WebCam]" or "[webcam]".
    for (const CamPlace& place : m_places)
        if (place.caption == asCaption)
            return;
    StartCamByName(name);
}

void CamEngine::StartCamByName(const std::string& name) {
    if (name.empty())
        return;
    const std::optional<CamRecord> record = m_camList.find(name);
    if (!record) {
        emit statusText(tr("%1 was not found in the cam list file").arg(localText(name)));
        return;
    }
    if (!parseLong(record->refresh)) {
        emit statusText(tr("%1 has an invalid refresh interval: \"%2\"")
                            .arg(localText(record->name), localText(record->refresh)));
        return;
    }
    startCam(*record, -1);
}

void CamEngine::StartAllCams() {
    for (const std::string& name : m_camList.names()) {
        if (m_activeCams >= maxRunningCams)
            return;
        StartSelectedCam(name);
    }
}

bool CamEngine::StartCamInPanel(const std::string& name, int wanted, QString* why) {
    for (const CamPlace& place : m_places)
        if (place.running && place.record.name == name)
            return true; // it runs already
    const std::optional<CamRecord> record = m_camList.find(name);
    const auto refuse = [why](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (!record)
        return refuse(tr("no longer in the cam list"));
    if (!parseLong(record->refresh))
        return refuse(
            tr("its refresh interval \"%1\" is not a number").arg(localText(record->refresh)));
    if (m_activeCams >= maxRunningCams)
        return refuse(tr("24 cams run already"));
    return startCam(*record, wanted);
}

bool CamEngine::startCam(const CamRecord& record, int wanted) {
    // Places are reused lowest number first, unless a free one is asked for.
    int index = wanted >= 0 && wanted < maxRunningCams && !isRunning(wanted) ? wanted : -1;
    for (int free = 0; index < 0 && free < placeCount; ++free)
        if (!isRunning(free))
            index = free;
    if (index < 0)
        return false;
    CamPlace& place = placeAt(index);
    ++m_activeCams;
    place.running = true;
    place.record = record;
    place.id = m_camList.idOf(record.name);
    const QByteArray kind = m_registry.kindOf(QByteArray::fromStdString(record.url));
    if (kind != m_kinds[size_t(index)])
        makeSource(index, kind);
    PictureSource* source = place.source;
    source->setRecord(QByteArray::fromStdString(record.name), QByteArray::fromStdString(record.url),
                      QByteArray::fromStdString(record.refresh));
    // a place with no picture to show asks for the picture itself, not whether it changed
    if (!place.hasPicture())
        source->forgetValidators();
    source->setCredentials(std::nullopt);
    source->setKeeping(m_keeping[size_t(index)].get());
    source->setChoices(m_settings.value(sourceChoicesKey, QByteArray::fromStdString(record.name)));
    tellWantedSize(index);
    emit camStarted(index);
    for (PictureSink* sink : m_sinks)
        sink->camStarted(place);
    source->beginCycle();
    giveCredentials(index); // the keyring answers a moment later; the fetch takes them then
    return true;
}

void CamEngine::setResting(bool resting) {
    if (resting == m_resting)
        return;
    m_resting = resting;
    for (const CamPlace& place : m_places) {
        // a place rests while nobody sees the cams, unless its owner waits for word of it
        if (!place.running || m_settings.alerts().read(place.source->name()).on)
            continue;
        if (resting) {
            place.source->stop(); // a fetch under way or a stream is let go
            showFetching(place.index, false);
        } else if (!place.source->isHalted() && !place.source->isWaitingForCredentials()) {
            // a refused password is not sent again, a halted cam stays halted
            place.source->beginCycle();
        }
    }
}

void CamEngine::refreshNow(int index) {
    source(index)->refreshNow();
}

void CamEngine::stopCam(int index) {
    CamPlace& place = placeAt(index);
    place.source->stop();
    showFetching(index, false);
    // what was still to come for this place is dropped: queued decodes, late results, the
    // picture kept whole; saves already asked for are still written
    m_decodes->cancel(index);
    place.completions.clear();
    place.wholeTicket = 0;
    place.freshness = {};
    place.shownBody.clear();
    place.fileBytes.clear();
    place.fileFormat.clear();
    place.shownSize = {};
    place.shownPicture = {};
    place.wholePicture = {};
    place.progress = 0;
    ++place.shownCount;
    keepInBudget(index);
    emit shownPictureChanged(index);
    emit markChanged(index, Freshness::Idle, QString());
    const bool wasRunning = std::exchange(place.running, false);
    place.caption = "[webcam]";
    emit captionChanged(index, place.caption);
    if (wasRunning)
        for (PictureSink* sink : m_sinks)
            sink->camStopped(place);
    emit placeStopped(index);
    emit actionsChanged(index);
    if (wasRunning) {
        --m_activeCams;
        emit camStopped(place.record.name, place.id);
    }
}

void CamEngine::stopAllCams() {
    for (int index = 0; index < placeCount; ++index)
        stopCam(index);
}

void CamEngine::UpdateOpenPanels(const std::string& oldName, const CamRecord& edited) {
    const QByteArray caption = QByteArray::fromStdString(oldName);
    for (CamPlace& place : m_places) {
        if (place.caption != caption)
            continue;
        const QByteArray name = QByteArray::fromStdString(edited.name);
        const bool otherAddress = place.record.url != edited.url;
        place.record = edited;
        place.id = m_camList.idOf(edited.name);
        if (otherAddress) // not one request with them to where they were not given for
            place.source->setCredentials(std::nullopt);
        place.source->setRecord(name, QByteArray::fromStdString(edited.url),
                                QByteArray::fromStdString(edited.refresh));
        place.source->setChoices(m_settings.value(sourceChoicesKey, name));
        place.caption = name;
        emit captionChanged(place.index, name);
        for (PictureSink* sink : m_sinks)
            sink->camEdited(place, otherAddress);
        if (otherAddress)
            giveCredentials(place.index);
        // a running place takes the new values at its next cycle; one that stopped for a bad
        // interval has no next cycle, so it begins one now
        if (place.source->isHalted() && parseLong(edited.refresh))
            place.source->beginCycle();
    }
}

bool CamEngine::perform(int index, const SourceAction& action) {
    PictureSource* source = this->source(index);
    if (!isRunning(index) || source->name() != action.cam)
        return true; // the cam went meanwhile: nothing is left to do
    return source->perform(action);
}

void CamEngine::giveCredentials(int index) {
    CamPlace& place = placeAt(index);
    const quint64 start = ++place.starts;
    // those given for the origin of the address it fetches from, if any
    const CredentialCam cam{place.id, QByteArray::fromStdString(place.record.name),
                            QByteArray::fromStdString(place.record.url)};
    m_settings.credentials().read(cam, [this, index, start](CredentialStore::Outcome,
                                                            std::optional<Credentials> found,
                                                            const QString&) {
        const CamPlace& place = this->place(index);
        if (place.starts != start || !place.running)
            return; // stopped, started again or given another address meanwhile
        place.source->setCredentials(std::move(found));
    });
}
