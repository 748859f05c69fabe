#include "common/ticker.h"

#include <QTimer>

Ticker::~Ticker() = default;

TimerTicker::TimerTicker(int periodMs, QObject* parent)
    : Ticker(parent), m_timer(new QTimer(this)) {
    m_timer->setInterval(periodMs);
    connect(m_timer, &QTimer::timeout, this, &Ticker::tick);
}

void TimerTicker::start() {
    m_timer->start();
}

void TimerTicker::stop() {
    m_timer->stop();
}

bool TimerTicker::isActive() const {
    return m_timer->isActive();
}

Ticker* MakeSecondTicker(const TickerMaker& maker, QObject* parent) {
    return maker ? maker(parent) : new TimerTicker(1000, parent);
}
