#pragma once

#include "common/ticker.h"

#include <QList>
#include <QPointer>

// Tickers the test ticks by hand: a cam's seconds pass when the test says so, never by waiting.
class ManualTicker : public Ticker {
    Q_OBJECT
  public:
    using Ticker::Ticker;
    void start() override { m_active = true; }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    void fire() {
        if (m_active)
            emit tick();
    }

  private:
    bool m_active = false;
};

// Makes the tickers of a test's sources and ticks them all at once.
class ManualTickers {
  public:
    TickerMaker maker() {
        return [this](QObject* parent) {
            auto* ticker = new ManualTicker(parent);
            m_made.append(ticker);
            return ticker;
        };
    }
    // One second for every source that counts.
    void tick(int seconds = 1) {
        for (int i = 0; i < seconds; ++i)
            for (const QPointer<ManualTicker>& ticker : QList(m_made))
                if (ticker)
                    ticker->fire();
    }

  private:
    QList<QPointer<ManualTicker>> m_made;
};
