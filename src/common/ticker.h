#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QTimer;

// Counts periods while it runs: a cam's one-second cycle counts with one. Tests give their own
// and tick it by hand, so they never wait for the clock.
class Ticker : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~Ticker() override;
    // Starts counting, or starts the period again when it runs.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

  signals:
    void tick();
};

// A ticker over a timer of the event loop.
class TimerTicker : public Ticker {
    Q_OBJECT
  public:
    explicit TimerTicker(int periodMs, QObject* parent = nullptr);
    void start() override;
    void stop() override;
    bool isActive() const override;

  private:
    QTimer* m_timer;
};

// Makes a one-second ticker for `parent`; empty: a timer of the event loop.
using TickerMaker = std::function<Ticker*(QObject* parent)>;
Ticker* MakeSecondTicker(const TickerMaker& maker, QObject* parent);
