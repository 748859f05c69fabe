#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

// A timer that should tick every `interval` ms, and the largest gap seen between its ticks:
// how long the event loop was kept from running.
struct TickWatch {
    QTimer timer;
    QElapsedTimer since;
    qint64 worstGapMs = 0;
    int ticks = 0;

    explicit TickWatch(int interval) {
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
            worstGapMs = std::max(worstGapMs, since.restart());
            ++ticks;
        });
        since.start();
        timer.start(interval);
    }
};
