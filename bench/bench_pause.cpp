// Prints the CPU time that a pause of the launch interval uses while it waits.
#include "shell/pause.h"

#include <QCoreApplication>
#include <QElapsedTimer>

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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    QElapsedTimer wall;
    const double cpuBefore = cpuSeconds();
    wall.start();
    Corvath::Pause(seconds);
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("pause of %.1f s: wall %.3f s, CPU %.4f s (%.3f%% of wall; goal below 1%%)\n",
                seconds, elapsed, cpu, 100.0 * cpu / elapsed);
    return 0;
}
