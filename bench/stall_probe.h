#pragma once
// The longest time the user-interface thread's event loop went without turning, seen by a 1 ms
// timer on that thread: what a user would feel as the window freezing.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <algorithm>

struct StallProbe {
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    int over16 = 0;  // pauses longer than a frame of 60 Hz
    StallProbe() {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            if (now - last > 16'000'000) ++over16;
            last = now;
        });
    }
    void start() {
        clock.start();
        last = 0;
        longest = 0;
        over16 = 0;
        timer.start();
    }
    double stopMs() {
        timer.stop();
        return static_cast<double>(longest) / 1e6;
    }
};

// The user-interface thread's event loop, without the sleeps of a test's waits that the probe
// would take for stalls.
inline void runEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
