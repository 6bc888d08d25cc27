// Prints how fast a launch pass starts 1,000 entries of /bin/true at interval 0, next to a loop
// of posix_spawn calls starting the same program as often, then the same with the longest list
// loaded from the store; and a pass over the longest list with the list in the store, next to
// the same pass with the list in memory only.
#include "logic/interval.h"
#include "logic/launchsequencer.h"
#include "platform/programstarter.h"
#include "settings/settingsstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

// The started programs are detached; as their subreaper this process collects them.
int reapAll()
{
    int reaped = 0;
    for (;;) {
        if (::waitpid(-1, nullptr, 0) > 0)
            ++reaped;
        else if (errno != EINTR)
            return reaped;
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One pass, run to its end.
void runPass(LaunchSequencer &sequencer)
{
    QEventLoop loop;
    QObject::connect(&sequencer, &LaunchSequencer::passEnded, &loop, &QEventLoop::quit);
    if (sequencer.isRunning(sequencer.runPass()))
        loop.exec();
}

// Starts nothing, so that the pass's own cost shows.
class NoStarter final : public ProgramStarter
{
public:
    StartResult start(const QString &) override { return {}; }
};

// The longest list the store holds, of entries as long as real ones.
QStringList longestList()
{
    QStringList list;
    for (int i = 1; i <= SettingsStore::MaxEntries; ++i)
        list.append(QStringLiteral("/usr/local/bin/program-%1 --profile \"work %1\"").arg(i));
    return list;
}

// Passes of the sequencer's COUNT starts of /bin/true against a loop of posix_spawn calls
// starting it as often, taken in turns, so that a passing load on the machine weighs on both
// alike.
void measureLaunch(LaunchSequencer &sequencer, int count, int rounds, const char *what)
{
    int failures = 0;
    const auto counting
        = QObject::connect(&sequencer, &LaunchSequencer::notice, [&failures] { ++failures; });
    char program[] = "/bin/true";
    char *arguments[] = {program, nullptr};
    int spawnFailures = 0;
    std::vector<double> pass, spawn;
    int seenRunning = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        runPass(sequencer);
        pass.push_back(double(clock.nsecsElapsed()) / 1e6);
        seenRunning += reapAll();

        clock.restart();
        for (int i = 0; i < count; ++i) {
            pid_t pid = 0;
            if (::posix_spawn(&pid, program, nullptr, nullptr, arguments, environ) != 0)
                ++spawnFailures;
        }
        spawn.push_back(double(clock.nsecsElapsed()) / 1e6);
        reapAll();
    }
    QObject::disconnect(counting);
    const double p = median(pass), s = median(spawn);
    std::printf("launch  pass of %d x /bin/true at interval 0%s: %8.1f ms (median of %d; "
                "%.0f starts/s, %d failed, %d of %d seen running)\n",
                count, what, p, rounds, 1000.0 * count / p, failures, seenRunning, rounds * count);
    std::printf("launch  reference: posix_spawn loop:            %8.1f ms (%.0f starts/s, %d "
                "failed)\n",
                s, 1000.0 * count / s, spawnFailures);
    std::printf("launch  ratio %.2fx (goal: at most 1.3x)\n", p / s);
}

// A pass over the longest list at interval 0, reading "Interval" from the store before every
// pause: with the list itself in the store, against the same pass with the list held only in
// memory and a store that holds the interval alone. Reading one key must not cost more for
// a long list.
void storePass(int rounds)
{
    const QStringList list = longestList();
    NoStarter starter;
    LaunchSequencer sequencer(list, starter);
    auto timedPass = [&sequencer] {
        QElapsedTimer clock;
        clock.start();
        runPass(sequencer);
        return double(clock.nsecsElapsed()) / 1e6;
    };
    std::vector<double> stored, memory;
    for (int round = 0; round < rounds; ++round) {
        if (!SaveLaunchList(list)) {
            std::printf("pass    FAILED: the store could not be written\n");
            return;
        }
        stored.push_back(timedPass());
        SaveLaunchList({});
        memory.push_back(timedPass());
    }
    const double s = median(stored), m = median(memory);
    std::printf("pass    %d entries at interval 0, the list in the store:  %8.1f ms "
                "(median of %d)\n",
                SettingsStore::MaxEntries, s, rounds);
    std::printf("pass    reference: the list in memory only:              %8.1f ms\n", m);
    std::printf("pass    ratio %.2fx (goal: at most 1.5x)\n", s / m);
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home(QDir::currentPath() + QStringLiteral("/launch-bench.XXXXXX"));
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);

    Interval::setting.set(Interval(QStringLiteral("0")));
    const QStringList list(count, QStringLiteral("/bin/true"));
    const auto starter = createProgramStarter();
    LaunchSequencer sequencer(list, *starter);
    measureLaunch(sequencer, count, rounds, "");
    // A start must not cost more in a program that holds the longest list.
    SaveLaunchList(longestList());
    QStringList loaded;
    LoadLaunchList(loaded);
    measureLaunch(sequencer, count, rounds, ", 32,767 entries loaded");

    storePass(rounds);
    return 0;
}
