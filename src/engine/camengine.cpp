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
#include <utility>

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
    connect(&m_settings.credentials(), &CamCredentials::changed, this, [this](CamId cam) {
        for (const CamPlace& place : m_places)
            if (place.running && place.id == cam)
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
        placeAt(index).freshness.failed(text.toStdString(), false, m_now()); // the mark says why
        updateMark(index);
        emit statusText(text);
    });
    connect(source, &PictureSource::actionsChanged, this,
            [this, index] { emit actionsChanged(index); });
    connect(source, &PictureSource::otherKind, this,
            [this, index](const QByteArray& type, const QByteArray& first) {
                anotherKind(index, type, first);
            });
}

void CamEngine::anotherKind(int index, const QByteArray& contentType,
                            const QByteArray& firstBytes) {
    const QByteArray kind = m_registry.kindOfAnswer(
        contentType, std::string_view(firstBytes.constData(), size_t(firstBytes.size())));
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
    tellWantedSize(index);
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
    tellWantedSize(index);
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
    for (const PictureSink* sink : m_sinks) {
        if (const QString note = sink->stateNote(place); !note.isEmpty())
            text = tr("%1; %2").arg(text, note);
        if (const QString trouble = sink->trouble(place); !trouble.isEmpty())
            text = tr("%1; %2").arg(text, trouble);
    }
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
    Freshness state = place.freshness.state(m_now(), place.source->refreshSecs());
    for (const PictureSink* sink : m_sinks) {
        const bool fine = state == Freshness::New || state == Freshness::Unchanged ||
                          state == Freshness::Stale || state == Freshness::Fetching;
        if (place.running && fine && sink->showsMotion(place))
            state = Freshness::Motion;
        if (place.running && !sink->trouble(place).isEmpty())
            state = Freshness::Error;
    }
    emit markChanged(index, state, ageText(index));
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
    if (QString& said = m_downloadTexts.at(size_t(index)); !on && !said.isEmpty())
        emit statusTextEnded(std::exchange(said, {}));
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
    QString& said = m_downloadTexts.at(size_t(index));
    said = tr("Downloading %1 [%2]")
               .arg(fileName, QString::fromStdString(formatGeneral(place.progress, 7)));
    emit statusText(said);
}

void CamEngine::wantWhole(int index, bool on) {
    int& wanted = m_wholeWanted.at(size_t(index));
    wanted = std::max(0, wanted + (on ? 1 : -1));
    if (wanted == 0)
        placeAt(index).wholePicture = {}; // kept whole only while somebody shows it
    tellWantedSize(index);
}

void CamEngine::troubleChanged(int index) {
    updateMark(index);
    emit detailsChanged(index);
}

void CamEngine::showSavedCopy(int index, quint64 shownCount, const QImage& picture,
                              const QByteArray& bytes) {
    CamPlace& place = placeAt(index);
    if (place.shownCount != shownCount || picture.isNull())
        return; // a newer picture is shown meanwhile
    place.shownPicture = picture;
    place.fileBytes = bytes;
    place.fileFormat.clear();
    keepInBudget(index);
    emit shownPictureChanged(index);
}

void CamEngine::showPlainPicture(int index, const QImage& picture) {
    CamPlace& place = placeAt(index);
    ++place.shownCount;
    place.shownBody.clear();
    place.fileBytes.clear();
    place.fileFormat.clear();
    place.shownPicture = picture;
    place.shownSize = picture.size();
    place.wholePicture = {};
    emit shownPictureChanged(index);
}

void CamEngine::setPicturesKeptWhole(bool whole) {
    m_keptWhole = whole;
    for (int index = 0; index < placeCount; ++index)
        tellWantedSize(index);
}

void CamEngine::tellWantedSize(int index) {
    const CamPlace& place = this->place(index);
    place.source->setWantedSize(place.pictureSize, m_keptWhole || isWantedWhole(index));
}
