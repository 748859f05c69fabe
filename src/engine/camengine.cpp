#include "engine/camengine.h"

#include "camlist/camlistmodel.h"
#include "common/localtext.h"
#include "common/numbertext.h"
#include "config/camsettings.h"
#include "engine/camfollower.h"
#include "engine/decodequeue.h"
#include "engine/placekeeping.h"
#include "source/picturesource.h"

#include <QDateTime>

PictureSink::~PictureSink() = default;

CamEngine::CamEngine(CamListModel& camList, CamSettings& settings, SourceServices services,
                     QObject* parent)
    : QObject(parent), m_camList(camList), m_settings(settings), m_registry(std::move(services)),
      m_now([] { return QDateTime::currentSecsSinceEpoch(); }) {
    setObjectName("camEngine");
    m_decodes = new DecodeQueue(this);
    m_decodes->setCodedDecoder(m_registry.decoder());
    connect(m_decodes, &DecodeQueue::decoded, this, &CamEngine::pictureDecoded);
    // changed credentials reach the places that run the cam
    connect(&m_settings.credentials(), &CamCredentials::changed, this,
            [this](const QByteArray& cam) {
                for (const CamPlace& place : m_places)
                    if (place.running && place.record.name == cam.toStdString())
                        giveCredentials(place.index);
            });
    // a cam whose owner now waits for word of it runs while unseen, and one no more watched
    // rests
    connect(&m_settings, &CamSettings::changed, this,
            [this](const QByteArray& cam, const QString& section) {
                if (section != "Alerts" || !m_resting)
                    return;
                for (CamPlace& place : m_places) {
                    if (!place.running || place.source->name() != cam)
                        continue;
                    if (m_settings.alerts().read(cam).on)
                        place.source->beginCycle();
                    else
                        place.source->stop();
                }
            });
    for (int index = 0; index < placeCount; ++index) {
        CamPlace& place = m_places[size_t(index)];
        place.index = index;
        m_keeping.push_back(std::make_unique<PlaceKeeping>(
            m_settings, [this, index] { return source(index)->name(); }));
        makeSource(index, m_registry.kindOf({}));
    }
    m_selection = new CamFollower(*this, this);
    m_selection->setObjectName("selection");
}

CamEngine::~CamEngine() {
    // the selection leaves the sinks while they are there, and late decodes are not waited for
    delete m_selection;
    delete m_decodes;
}

void CamEngine::makeSource(int index, const QByteArray& kind) {
    CamPlace& place = placeAt(index);
    delete place.source;
    place.source = m_registry.make(kind, this);
    place.source->setObjectName(QString("camFetcher(%1)").arg(index));
    place.source->setKeeping(m_keeping[size_t(index)].get());
    m_kinds[size_t(index)] = kind;
    connectSource(index);
}

void CamEngine::connectSource(int index) {
    PictureSource* source = this->source(index);
    connect(source, &PictureSource::fetchStarted, this, [this, index] { fetchStarted(index); });
    connect(source, &PictureSource::ticked, this, [this, index] { tick(index); });
    connect(source, &PictureSource::progressed, this,
            [this, index](float percent, const QString& file) { progress(index, percent, file); });
    connect(source, &PictureSource::pictureArrived, this,
            [this, index](const FetchedPicture& fetched) { pictureArrived(index, fetched); });
    connect(source, &PictureSource::notAPicture, this, [this, index] {
        Completion completion;
        completion.kind = Completion::Kind::NotPicture;
        completion.details = this->source(index)->details();
        queueCompletion(index, std::move(completion));
    });
    connect(source, &PictureSource::problem, this, &CamEngine::statusText);
    connect(source, &PictureSource::unchanged, this, [this, index](const CamDetails& details) {
        Completion completion;
        completion.kind = Completion::Kind::Unchanged;
        completion.details = details;
        queueCompletion(index, std::move(completion));
    });
    connect(source, &PictureSource::failed, this,
            [this, index](const QString& reason, FetchFailure kind) {
                Completion completion;
                completion.kind = Completion::Kind::Failure;
                completion.reason = reason;
                completion.failure = kind;
                queueCompletion(index, std::move(completion));
            });
    connect(source, &PictureSource::serverReached, this,
            [this, index] { placeAt(index).freshness.connected(); });
    connect(source, &PictureSource::halted, this, [this, index](const QString& text) {
        showFetching(index, false);
        emit statusText(text);
    });
    connect(source, &PictureSource::actionsChanged, this,
            [this, index] { emit actionsChanged(index); });
    connect(source, &PictureSource::otherKind, this,
            [this, index](const QByteArray& type) { anotherKind(index, type); });
}

void CamEngine::anotherKind(int index, const QByteArray& contentType) {
    const QByteArray kind = m_registry.kindOfAnswer(contentType, {});
    CamPlace& place = placeAt(index);
    if (kind.isEmpty() || kind == m_kinds[size_t(index)] || !place.running)
        return;
    // the address answered as a cam of another kind: its own source takes the place
    place.source->stop();
    place.source->deleteLater();
    place.source = nullptr;
    makeSource(index, kind);
    const CamRecord& record = place.record;
    place.source->setRecord(QByteArray::fromStdString(record.name),
                            QByteArray::fromStdString(record.url),
                            QByteArray::fromStdString(record.refresh));
    place.source->setWantedSize(place.pictureSize, isWantedWhole(index));
    place.source->beginCycle();
    giveCredentials(index);
    emit actionsChanged(index);
}

void CamEngine::addSink(PictureSink* sink, SinkOrder order) {
    if (order == SinkOrder::First)
        m_sinks.insert(m_sinks.begin(), sink);
    else
        m_sinks.push_back(sink);
}

void CamEngine::removeSink(PictureSink* sink) {
    std::erase(m_sinks, sink);
}

bool CamEngine::isSettled(int index) const {
    const CamPlace& place = this->place(index);
    if (place.source->isFetching() || place.completions.size() != 0 || place.wholeTicket != 0)
        return false;
    for (const PictureSink* sink : m_sinks)
        if (sink->isBusyWith(place))
            return false;
    return true;
}

void CamEngine::setPictureSize(int index, QSize size) {
    CamPlace& place = placeAt(index);
    if (size.isEmpty() || size == place.pictureSize)
        return;
    place.pictureSize = size;
    place.source->setWantedSize(size, isWantedWhole(index));
}

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
    source->setWantedSize(place.pictureSize, isWantedWhole(index));
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
    source(index)->beginCycle();
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
    place.arrivedBody.clear();
    place.fileBytes.clear();
    place.shownSize = {};
    place.shownPicture = {};
    place.wholePicture = {};
    place.progress = 0;
    ++place.shownCount;
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
        emit camStopped(place.record.name);
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
        place.source->setRecord(name, QByteArray::fromStdString(edited.url),
                                QByteArray::fromStdString(edited.refresh));
        place.caption = name;
        emit captionChanged(place.index, name);
        for (PictureSink* sink : m_sinks)
            sink->camEdited(place, otherAddress);
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
    m_settings.credentials().read(QByteArray::fromStdString(place.record.name),
                                  [this, index, start](CredentialStore::Outcome,
                                                       std::optional<Credentials> found,
                                                       const QString&) {
                                      const CamPlace& place = this->place(index);
                                      if (place.starts != start || !place.running)
                                          return; // stopped or started again meanwhile
                                      place.source->setCredentials(std::move(found));
                                  });
}

QString CamEngine::nextRefreshText(int index) const {
    const PictureSource* source = this->source(index);
    if (source->isStreaming())
        return tr("a stream");
    if (source->isWaitingForCredentials()) // asked again only at the user's word
        return tr("after a new password or a refresh");
    if (source->failures() > 0) // waiting longer after failures
        return QString::number(source->waitSecs() - source->elapsedSecs());
    const std::optional<double> refresh = parseNumber(source->refreshText().toStdString());
    if (!refresh)
        return {};
    return QString::fromStdString(formatGeneral(*refresh - source->elapsedSecs(), 15));
}

QString CamEngine::ageText(int index) const {
    const CamPlace& place = this->place(index);
    const int64_t now = m_now();
    QString text = QString::fromStdString(FreshnessText(
        place.freshness.state(now, place.source->refreshSecs()), place.freshness.reason()));
    if (const auto age = place.freshness.ageSeconds(now))
        text = tr("%1, %2").arg(QString::fromStdString(AgeText(*age)), text);
    if (place.source->sendsPasswordUnencrypted())
        text = tr("%1; its password travels unencrypted").arg(text);
    for (const PictureSink* sink : m_sinks)
        if (const QString note = sink->stateNote(place); !note.isEmpty())
            text = tr("%1; %2").arg(text, note);
    return text;
}

CamDetails CamEngine::detailsOf(int index) const {
    return detailsOf(index, source(index)->details());
}

CamDetails CamEngine::detailsOf(int index, CamDetails details) const {
    details.age = ageText(index);
    for (const PictureSink* sink : m_sinks)
        sink->addDetails(place(index), details);
    return details;
}

void CamEngine::updateMark(int index) {
    const CamPlace& place = this->place(index);
    emit markChanged(index, place.freshness.state(m_now(), place.source->refreshSecs()),
                     ageText(index));
}

void CamEngine::fetchStarted(int index) {
    CamPlace& place = placeAt(index);
    place.freshness.fetchStarted();
    updateMark(index);
    showFetching(index, true);
    place.caption = place.source->name();
    emit captionChanged(index, place.caption);
}

void CamEngine::showFetching(int index, bool on) {
    emit fetchingChanged(index, on);
}

void CamEngine::tick(int index) {
    for (PictureSink* sink : m_sinks)
        sink->ticked(place(index));
    updateMark(index); // a picture grows old
    emit ticked(index);
}

void CamEngine::progress(int index, float percent, const QString& fileName) {
    CamPlace& place = placeAt(index);
    if (percent >= 0 && percent <= 100) // a value outside is refused and the last one kept
        place.progress = percent;
    emit progressed(index, percent);
    emit statusText(tr("Downloading %1 [%2]")
                        .arg(fileName, QString::fromStdString(formatGeneral(place.progress, 7))));
}

void CamEngine::wantWhole(int index, bool on) {
    int& wanted = m_wholeWanted.at(size_t(index));
    wanted = std::max(0, wanted + (on ? 1 : -1));
    if (wanted == 0)
        placeAt(index).wholePicture = {}; // kept whole only while somebody shows it
    source(index)->setWantedSize(place(index).pictureSize, wanted > 0);
}

void CamEngine::showSavedCopy(int index, quint64 shownCount, const QImage& picture,
                              const QByteArray& bytes) {
    CamPlace& place = placeAt(index);
    if (place.shownCount != shownCount || picture.isNull())
        return; // a newer picture is shown meanwhile
    place.shownPicture = picture;
    place.fileBytes = bytes;
    emit shownPictureChanged(index);
}

void CamEngine::showPlainPicture(int index, const QImage& picture) {
    CamPlace& place = placeAt(index);
    ++place.shownCount;
    place.shownBody.clear();
    place.arrivedBody.clear();
    place.fileBytes.clear();
    place.shownPicture = picture;
    place.shownSize = picture.size();
    place.wholePicture = {};
    emit shownPictureChanged(index);
}
