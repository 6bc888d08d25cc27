#include "logic/pause.h"
#include "logic/program.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cmath>

namespace Corvath {

void Pause(double seconds)
{
    // Monotonic: a pause across midnight or a clock change still lasts what it should.
    QElapsedTimer clock;
    clock.start();
    if (IsEnding())
        return;
    if (!(seconds > 0) || !std::isfinite(seconds)) {
        // Even no pause lets the waiting window events through once.
        QCoreApplication::processEvents();
        return;
    }

    using namespace std::chrono;
    // Long pauses wake once a day to re-arm the timer.
    constexpr double longestStepSeconds = 24 * 60 * 60;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&loop] { loop.quit(); });

    for (;;) {
        const double left = seconds - duration<double>(nanoseconds(clock.nsecsElapsed())).count();
        if (left <= 0)
            return;
        const double step = left < longestStepSeconds ? left : longestStepSeconds;
        timer.start(ceil<milliseconds>(duration<double>(step)));
        // After QCoreApplication::exit a new loop returns at once (-1): the program is
        // ending, and waiting on would only spin.
        if (loop.exec() != 0 || IsEnding())
            return;
    }
}

} // namespace Corvath
