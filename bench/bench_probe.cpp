// Prints what one connection probe costs on this machine's interfaces.
#include "logic/connectionprobe.h"
#include "platform/remoteaccess.h"

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
    const auto access = createRemoteAccess();
    // NetworkManager is asked without waiting: its first answer arrives with the events, or
    // there is none to wait for.
    QEventLoop answered;
    access->setChangedHandler([&answered] { answered.quit(); });
    QTimer::singleShot(2000, &answered, &QEventLoop::quit);
    answered.exec();
    Corvath::setRemoteAccess(access.get());
    RemoteAccess::Handle first = 0;
    const std::uint32_t status = access->enumConnections(first);
    std::printf("probe: listing status %u, first connection %s, state 0x%x\n", status,
                first ? "present" : "none", access->connectState(first));

    bool connected = false;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < rounds; ++i)
        connected = Corvath::IsConnected();
    const double micros = double(clock.nsecsElapsed()) / 1e3 / rounds;
    std::printf("probe: %.1f us per IsConnected over %d rounds (answer %s; goal well under "
                "1000 us)\n",
                micros, rounds, connected ? "connected" : "not connected");
    return 0;
}
