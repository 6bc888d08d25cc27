#include "platform/linux/childprocess_linux.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <spawn.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace ChildProcess {
namespace {

// Collects the children this process started. A pidfd becomes readable when its child ends;
// all of them sit in one epoll set behind one notifier, so a start adds no object of its own.
// Pidfds take at most a quarter of the descriptors the process may open, so that a long list
// of programs that keep running leaves the program its sockets, windows and files. Beyond
// that, and where no pidfd can be had (kernels before 5.3), the child is polled for instead,
// only while such children exist.
class Reaper
{
public:
    static Reaper &instance()
    {
        // Static: one per process reaps every child started here, also while the program ends.
        static auto *reaper = new Reaper;
        return *reaper;
    }

    void watch(pid_t pid)
    {
        const int fd
            = m_epoll >= 0 && m_pidfds < pidfdCap() ? int(::syscall(SYS_pidfd_open, pid, 0)) : -1;
        if (fd >= 0) {
            epoll_event event {};
            event.events = EPOLLIN;
            event.data.u64 = (std::uint64_t(std::uint32_t(fd)) << 32) | std::uint32_t(pid);
            if (::epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event) == 0) {
                ++m_pidfds;
                return;
            }
            ::close(fd);
        }
        m_polled.push_back(pid);
        if (!m_poll.isActive())
            m_poll.start();
    }

private:
    Reaper()
        : m_epoll(::epoll_create1(EPOLL_CLOEXEC))
    {
        if (m_epoll >= 0) {
            m_notifier = new QSocketNotifier(m_epoll, QSocketNotifier::Read);
            QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier,
                             [this] { reapEnded(); });
        }
        // Short enough that a zombie does not stay long, long enough to cost nothing.
        m_poll.setInterval(250);
        QObject::connect(&m_poll, &QTimer::timeout, &m_poll, [this] { reapPolled(); });
    }

    // Read at each start: the limit can change while the program runs.
    static std::size_t pidfdCap()
    {
        rlimit limit {};
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
            return 65536;
        return std::size_t(limit.rlim_cur / 4);
    }

    // Whether the child is gone: reaped now, or already by someone else's wait.
    static bool reaped(pid_t pid)
    {
        pid_t result = 0;
        do
            result = ::waitpid(pid, nullptr, WNOHANG);
        while (result < 0 && errno == EINTR);
        return result != 0;
    }

    void reapEnded()
    {
        epoll_event events[64];
        int ready = 0;
        do {
            ready = ::epoll_wait(m_epoll, events, 64, 0);
            for (int i = 0; i < ready; ++i) {
                reaped(pid_t(events[i].data.u64 & 0xffffffffu));
                // Closing the last descriptor of the pidfd takes it out of the set as well.
                ::close(int(events[i].data.u64 >> 32));
                --m_pidfds;
            }
        } while (ready == 64 || (ready < 0 && errno == EINTR));
    }

    void reapPolled()
    {
        std::erase_if(m_polled, reaped);
        if (m_polled.empty())
            m_poll.stop();
    }

    int m_epoll;
    std::size_t m_pidfds = 0; // in the epoll set
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_poll;
    std::vector<pid_t> m_polled;
};

} // namespace

Started start(const QString &program, const QStringList &arguments, const QString &folder)
{
    const QByteArray file = QFile::encodeName(program);
    QByteArrayList words {file};
    for (const QString &argument : arguments)
        words.append(argument.toLocal8Bit());
    std::vector<char *> argv;
    argv.reserve(std::size_t(words.size()) + 1);
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    // The program starts as from a fresh session, with nothing of ours: no blocked or ignored
    // signal, no descriptor beyond the standard three.
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    ::posix_spawnattr_setsigmask(&attributes, &none);
    ::posix_spawnattr_setsigdefault(&attributes, &all);
    ::posix_spawnattr_setflags(&attributes,
                               POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    const QByteArray directory = QFile::encodeName(folder);
    if (!folder.isEmpty())
        ::posix_spawn_file_actions_addchdir_np(&actions, directory.constData());
    ::posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    pid_t pid = 0;
    // glibc's child shares our memory until the exec and hands back the exec's failure.
    const int error
        = ::posix_spawnp(&pid, file.constData(), &actions, &attributes, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
    if (error != 0)
        return {Failure {qt_error_string(error)}, error};
    Reaper::instance().watch(pid);
    return {};
}

} // namespace ChildProcess
