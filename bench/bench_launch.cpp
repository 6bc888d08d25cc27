// Prints how fast a launch pass starts 1,000 entries of /bin/true at interval 0, next to a loop
// of posix_spawn calls starting the same program as often.
#include "settings/settingsstore.h"
#include "shell/desktopstarter.h"
#include "shell/launchsequencer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>

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

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home(QDir::currentPath() + QStringLiteral("/launch-bench.XXXXXX"));
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);

    WriteSetting(QStringLiteral("Interval"), QStringLiteral("0"));
    const QStringList list(count, QStringLiteral("/bin/true"));
    DesktopStarter starter;
    LaunchSequencer sequencer(list, starter);
    int failures = 0;
    sequencer.setNotifier([&failures](const QString &) { ++failures; });
    QElapsedTimer clock;
    clock.start();
    sequencer.runPass();
    const double pass = double(clock.nsecsElapsed()) / 1e6;
    const int passStarted = reapAll();

    char program[] = "/bin/true";
    char *arguments[] = {program, nullptr};
    int spawnFailures = 0;
    clock.restart();
    for (int i = 0; i < count; ++i) {
        pid_t pid = 0;
        if (::posix_spawn(&pid, program, nullptr, nullptr, arguments, environ) != 0)
            ++spawnFailures;
    }
    const double spawn = double(clock.nsecsElapsed()) / 1e6;
    reapAll();

    std::printf("launch  pass of %d x /bin/true at interval 0: %8.1f ms (%.0f starts/s, %d failed, "
                "%d seen running)\n",
                count, pass, 1000.0 * count / pass, failures, passStarted);
    std::printf("launch  reference: posix_spawn loop:            %8.1f ms (%.0f starts/s, %d "
                "failed)\n",
                spawn, 1000.0 * count / spawn, spawnFailures);
    std::printf("launch  ratio %.2fx (goal: at most 2x)\n", pass / spawn);
    return 0;
}
