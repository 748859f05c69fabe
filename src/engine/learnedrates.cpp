#include "engine/learnedrates.h"

#include "engine/camengine.h"
#include "source/picturesource.h"

LearnedRates::LearnedRates(CamEngine& engine) : m_engine(engine) {
    m_engine.addSink(this);
}

LearnedRates::~LearnedRates() {
    m_engine.removeSink(this);
}

const ChangeRate* LearnedRates::rateOf(const QByteArray& cam) const {
    for (int index = 0; index < CamEngine::placeCount; ++index)
        if (m_engine.isRunning(index) && m_engine.source(index)->name() == cam)
            return &m_places.at(size_t(index)).rate;
    return nullptr;
}

void LearnedRates::completed(const CamPlace& place, const Completion& completion) {
    Learned& learned = m_places.at(size_t(place.index));
    const int64_t now = m_engine.now();
    if (completion.kind == Completion::Kind::Picture) {
        // new for the rate only when its bytes differ from the last picture's: a picture shown
        // again after an error page, or while earlier ones were decoded, is no change
        const FetchedPicture& fetched = completion.fetched;
        learned.rate.observe(now, fetched.lastModifiedTime, fetched.body != learned.lastBody);
        learned.lastBody = fetched.body;
    } else if (completion.kind == Completion::Kind::SamePicture ||
               completion.kind == Completion::Kind::Unchanged) {
        learned.rate.observe(now, std::nullopt, false);
    }
}

void LearnedRates::camEdited(const CamPlace& place, bool otherAddress) {
    if (otherAddress) // another picture, another rate
        m_places.at(size_t(place.index)).rate.reset();
}

void LearnedRates::camStopped(const CamPlace& place) {
    m_places.at(size_t(place.index)) = {};
}

void LearnedRates::addDetails(const CamPlace& place, CamDetails& details) const {
    details.updateRate = QString::fromStdString(m_places.at(size_t(place.index)).rate.text());
}
