#pragma once

#include "engine/changerate.h"
#include "engine/picturesink.h"

#include <QByteArray>
#include <array>

class CamEngine;

// How often each running cam's picture really changes, learned from its completions; the
// viewer's details show it and the edit dialog of a running cam suggests it.
class LearnedRates : public PictureSink {
  public:
    explicit LearnedRates(CamEngine& engine);
    ~LearnedRates() override;

    // What a running cam of that name has learned; nothing when none runs.
    const ChangeRate* rateOf(const QByteArray& cam) const;

    void completed(const CamPlace& place, const Completion& completion) override;
    void camEdited(const CamPlace& place, bool otherAddress) override;
    void camStopped(const CamPlace& place) override;
    void addDetails(const CamPlace& place, CamDetails& details) const override;

  private:
    struct Learned {
        ChangeRate rate;
        QByteArray lastBody; // the bytes of the last picture the rate saw
    };
    CamEngine& m_engine;
    std::array<Learned, 26> m_places;
};
