// Prints the CPU time that a pause of the launch interval uses while it waits, in a pass and in
// Corvath::Pause, next to a loop that busy-polls processEvents for the same time (the plain way
// to wait with events flowing).
#include "logic/launchsequencer.h"
#include "logic/pause.h"
#include "platform/programstarter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

template<typename Wait> void measure(const char *what, double seconds, Wait wait)
{
    QElapsedTimer wall;
    const double cpuBefore = cpuSeconds();
    wall.start();
    wait(seconds);
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("pause   %-34s wall %6.3f s  CPU %7.4f s  (%6.3f%% of wall)\n", what, elapsed, cpu,
                100.0 * cpu / elapsed);
}

// Starts nothing: the pass's pause alone is measured.
class NoStarter final : public ProgramStarter
{
public:
    StartResult start(const QString &) override { return {}; }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    measure("a pass of one entry", seconds, [](double s) {
        const QStringList list {QStringLiteral("entry")};
        NoStarter starter;
        LaunchSequencer sequencer(list, starter, [s](const Interval &) { return s; });
        QEventLoop loop;
        QObject::connect(&sequencer, &LaunchSequencer::passEnded, &loop, &QEventLoop::quit);
        sequencer.runPass();
        loop.exec();
    });
    measure("Corvath::Pause", seconds, [](double s) { Corvath::Pause(s); });
    measure("reference: busy processEvents loop", seconds, [](double s) {
        QElapsedTimer clock;
        clock.start();
        while (double(clock.nsecsElapsed()) / 1e9 < s)
            QCoreApplication::processEvents();
    });
    std::printf("pause   goal: below 1%% of wall\n");
    return 0;
}
