// Prints what one connection probe costs on this machine's interfaces.
#include "logic/launchmonitor.h"
#include "platform/connectionsource.h"
#include "platform/programstarter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5000;
    const auto access = createConnectionSource();
    // NetworkManager is asked without waiting: its first answer arrives with the events, or
    // there is none to wait for.
    QEventLoop answered;
    QObject::connect(access.get(), &ConnectionSource::changed, &answered, &QEventLoop::quit);
    QTimer::singleShot(2000, &answered, &QEventLoop::quit);
    answered.exec();
    const ConnectionSource::Answer answer = access->firstConnection();
    std::printf("probe: listing status %u, first connection %s\n", answer.error,
                answer.listing != ConnectionSource::Listing::Listed ? "none"
                    : answer.connected                              ? "connected"
                                                                    : "not connected");

    const auto starter = createProgramStarter();
    LaunchMonitor monitor(*access, *starter);
    bool connected = false;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < rounds; ++i)
        connected = monitor.IsConnected();
    const double micros = double(clock.nsecsElapsed()) / 1e3 / rounds;
    std::printf("probe: %.1f us per IsConnected over %d rounds (answer %s; goal well under "
                "1000 us)\n",
                micros, rounds, connected ? "connected" : "not connected");
    return 0;
}
