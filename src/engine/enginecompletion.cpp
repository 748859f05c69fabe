// What the places do with what their sources bring: pictures are decoded off the window's
// thread, and every completion of a place (a picture, the same picture again, a page that is no
// picture, "unchanged", a failure) is taken in by the place and handed to the sinks in the
// order the fetches ended.
#include "engine/camengine.h"

#include "engine/decodequeue.h"
#include "imaging/picturecheck.h"
#include "net/receptionbudget.h"
#include "source/picturesource.h"

#include <algorithm>

namespace {

// answers larger than this are cut to their picture's own bytes as they arrive
constexpr qsizetype largeAnswer = 4 * 1024 * 1024;

int placeOf(quint64 ticket) {
    return int(ticket & 0xff);
}

} // namespace

quint64 CamEngine::nextTicket(int index) {
    return (++m_tickets << 8) | quint64(index);
}

void CamEngine::pictureArrived(int index, const FetchedPicture& fetched) {
    CamPlace& place = placeAt(index);
    Completion completion;
    completion.fetched = fetched;
    FetchedPicture& arrived = completion.fetched;
    // A large answer keeps only the picture's own bytes from here on: what a server sends after
    // its end (a gzip bomb's zeros) is never held.
    if (arrived.format.isEmpty() && arrived.body.size() > largeAnswer)
        if (const PictureCheck check = CheckPicture(
                {arrived.body.constData(), size_t(arrived.body.size())}, arrived.announcedLength);
            check.end > 0 && qsizetype(check.end) < arrived.body.size())
            arrived.body = arrived.body.left(qsizetype(check.end)); // in storage of its size
    // The same picture as the one shown (its own bytes again, a picture file's followed by
    // anything), and nothing else on its way to the place: nothing to decode, nothing to draw.
    const bool samePicture = !place.shownBody.isEmpty() && arrived.format == place.fileFormat &&
                             (arrived.format.isEmpty() ? arrived.body.startsWith(place.shownBody)
                                                       : arrived.body == place.shownBody);
    if (place.completions.size() == 0 && samePicture) {
        completion.kind = Completion::Kind::SamePicture;
        queueCompletion(index, std::move(completion));
        return;
    }
    // The place shows the picture small; a follower that shows it large, whole.
    const bool whole = isWantedWhole(index);
    const quint64 ticket = nextTicket(index);
    DecodeQueue::Order order{index,
                             ticket,
                             arrived.body,
                             arrived.announcedLength,
                             whole ? m_largestShown : place.pictureSize,
                             place.pictureSize,
                             false,
                             arrived.format,
                             m_motionFrames.at(size_t(index))};
    place.completions.add(ticket, std::move(completion), false);
    // a picture still waiting for its decode is overtaken by this one: it is never shown, but
    // the sinks hear of it when it was new
    if (const std::optional<quint64> replaced = m_decodes->submit(std::move(order)))
        if (std::optional<Completion> overtaken = place.completions.forget(*replaced)) {
            overtaken->kind = Completion::Kind::Overtaken;
            for (PictureSink* sink : m_sinks)
                sink->completed(place, *overtaken);
        }
    keepInBudget(index);
}

void CamEngine::keepInBudget(int index) {
    const CamPlace& place = placeAt(index);
    if (!place.source || !m_registry.services().budget)
        return;
    // the place's copies of the picture are often one and the same bytes
    std::vector<const char*> counted;
    int64_t bytes = place.completions.heldBytes();
    for (const QByteArray* kept : {&place.shownBody, &place.fileBytes})
        if (std::find(counted.begin(), counted.end(), kept->constData()) == counted.end()) {
            counted.push_back(kept->constData());
            bytes += kept->size();
        }
    m_registry.services().budget->keep(place.source, bytes);
}

void CamEngine::pictureDecoded(quint64 ticket, const PlaceDecode& decoded) {
    const int index = placeOf(ticket);
    CamPlace& place = placeAt(index);
    if (ticket == place.wholeTicket) {
        wholePictureDecoded(index, decoded);
        return;
    }
    if (place.completions.decoded(ticket, decoded))
        showCompletions(index);
}

void CamEngine::queueCompletion(int index, Completion completion) {
    placeAt(index).completions.add(nextTicket(index), std::move(completion), true);
    showCompletions(index);
}

void CamEngine::showCompletions(int index) {
    CamPlace& place = placeAt(index);
    while (std::optional<Completion> completion = place.completions.takeReady()) {
        // the indicator goes when the place's latest fetch has ended
        if (!place.source->isFetching())
            showFetching(index, false);
        if (completion->kind == Completion::Kind::Picture &&
            completion->decoded.decoded.picture.isNull())
            completion->kind = Completion::Kind::Unreadable;
        takeIn(index, *completion);
        if (completion->kind != Completion::Kind::Failure)
            place.details = completion->details;
        for (PictureSink* sink : m_sinks)
            sink->completed(place, *completion);
        if (completion->kind == Completion::Kind::Picture)
            emit pictureShown(index);
        updateMark(index);
        if (completion->kind == Completion::Kind::Failure)
            emit ticked(index); // the next attempt at once: a held cam ticks no more
        emit detailsChanged(index);
    }
    keepInBudget(index);
}

// The place's own state first: what it shows and how fresh it is.
void CamEngine::takeIn(int index, Completion& completion) {
    CamPlace& place = placeAt(index);
    const int64_t now = m_now();
    switch (completion.kind) {
    case Completion::Kind::Picture: {
        const FetchedPicture& fetched = completion.fetched;
        const DecodedPicture& decoded = completion.decoded.decoded;
        ++place.shownCount;
        // what followed the picture's end is not kept
        place.shownBody = decoded.end > 0 ? fetched.body.left(decoded.end) : fetched.body;
        completion.fetched.body = place.shownBody;
        place.fileBytes = place.shownBody;
        place.fileFormat = fetched.format;
        place.shownPicture = completion.decoded.panelPicture;
        place.shownSize = decoded.fullSize.isValid() ? decoded.fullSize : decoded.picture.size();
        place.wholePicture =
            coversLargestShown(decoded) && isWantedWhole(index) ? decoded.picture : QImage();
        place.lastRefusal.clear();
        place.freshness.newPicture(now);
        completion.details = fetched.details;
        break;
    }
    case Completion::Kind::Unreadable: {
        // the place keeps its previous picture, and its mark says why the new one is not
        // shown; a picture not shown is no news
        place.source->refusePicture(completion.fetched);
        const DecodedPicture& decoded = completion.decoded.decoded;
        completion.reason = decoded.bound != PictureBound::None
                                ? decoded.refusal
                                : tr("the picture could not be read");
        place.freshness.failed(completion.reason.toStdString(), false, now);
        if (decoded.bound == PictureBound::TooCostly && decoded.refusal != place.lastRefusal)
            emit statusText(
                tr("%1: %2").arg(QString::fromLocal8Bit(place.source->name()), completion.reason));
        place.lastRefusal = decoded.refusal;
        completion.details = place.source->details();
        break;
    }
    case Completion::Kind::SamePicture:
        place.freshness.samePicture();
        completion.details = completion.fetched.details;
        break;
    case Completion::Kind::Unchanged:
        place.freshness.samePicture();
        if (!place.hasPicture())
            place.source->forgetValidators(); // nothing to keep: ask for the picture itself
        break;
    case Completion::Kind::Failure:
        place.freshness.failed(completion.reason.toStdString(),
                               completion.failure == FetchFailure::Connection, now);
        // what the user can act on goes to the status bar too
        if (completion.failure == FetchFailure::Certificate ||
            completion.failure == FetchFailure::Protocol ||
            completion.failure == FetchFailure::Refused ||
            completion.failure == FetchFailure::PlainPassword ||
            completion.failure == FetchFailure::Address)
            emit statusText(
                (completion.failure == FetchFailure::PlainPassword
                     ? tr("%1: %2 (right-click the panel to send it all the same)")
                     : tr("%1: %2"))
                    .arg(QString::fromLocal8Bit(place.source->name()), completion.reason));
        break;
    case Completion::Kind::NotPicture:
        place.shownBody.clear(); // the next picture shows again, same or not
        place.fileBytes.clear();
        place.fileFormat.clear();
        place.shownSize = m_notFound.size();
        place.shownPicture = m_notFound;
        place.wholePicture = {};
        ++place.shownCount;
        break;
    case Completion::Kind::Overtaken:
        break;
    }
}

void CamEngine::requestWholePicture(int index) {
    CamPlace& place = placeAt(index);
    if (place.fileBytes.isEmpty()) {
        if (place.hasPicture()) // a plain picture is whole already
            emit wholePictureReady(index, place.shownPicture);
        return;
    }
    place.wholeTicket = nextTicket(index);
    place.wholeFor = place.shownCount;
    m_decodes->submit({index, place.wholeTicket, place.fileBytes, 0, m_largestShown, QSize(), true,
                       place.fileFormat, false});
}

bool CamEngine::coversLargestShown(const DecodedPicture& decoded) const {
    if (decoded.whole)
        return true;
    const QSize own = decoded.fullSize;
    return m_largestShown.isValid() && own.isValid() && !decoded.picture.isNull() &&
           decoded.picture.width() >= std::min(own.width(), m_largestShown.width()) &&
           decoded.picture.height() >= std::min(own.height(), m_largestShown.height());
}

void CamEngine::wholePictureDecoded(int index, const PlaceDecode& decoded) {
    CamPlace& place = placeAt(index);
    place.wholeTicket = 0;
    // a picture that came meanwhile, or nobody following any more, makes this one late
    if (!isWantedWhole(index) || place.shownCount != place.wholeFor ||
        decoded.decoded.picture.isNull())
        return;
    place.wholePicture = decoded.decoded.picture;
    emit wholePictureReady(index, place.wholePicture);
}
