#include "logic/launchsequencer.h"
#include "logic/program.h"
#include "platform/programstarter.h"

#include <QTimerEvent>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>
#include <utility>

namespace {

double secondsSince(const QElapsedTimer &clock)
{
    // Monotonic: a pause across midnight or a clock change still lasts what it should.
    return double(clock.nsecsElapsed()) / 1e9;
}

} // namespace

LaunchSequencer::LaunchSequencer(const QStringList &list, ProgramStarter &starter, Timing timing,
                                 QObject *parent)
    : QObject(parent)
    , m_list(list)
    , m_starter(starter)
    , m_timing(std::move(timing))
{
    connect(&m_starter, &ProgramStarter::settled, this, &LaunchSequencer::settled);
}

LaunchSequencer::~LaunchSequencer() = default;

void LaunchSequencer::settled(quint64 start, const QString &entry, const QString &reason)
{
    // In the notice of the pass that still runs; else in one more notice for the pass it
    // belongs to, once the last of that pass's starts has been decided.
    if (m_pass.pending.remove(start)) {
        if (!reason.isEmpty())
            m_pass.failures.add(entry, reason);
        return;
    }
    for (auto pass = m_ended.begin(); pass != m_ended.end(); ++pass) {
        if (!pass->pending.remove(start))
            continue;
        if (!reason.isEmpty())
            pass->failures.add(entry, reason);
        if (pass->pending.isEmpty()) {
            Failures failures = std::move(pass->failures);
            m_ended.erase(pass);
            tell(failures);
        }
        return;
    }
}

void LaunchSequencer::Failures::add(const QString &entry, const QString &reason)
{
    if (++count > MaxNoticeLines)
        return;
    QString line = QStringLiteral("Could not start %1: %2").arg(entry, reason);
    if (line.size() > MaxLineLength) {
        // Both ends tell most: the program's folder and name, and the reason.
        const qsizetype keep = (MaxLineLength - 1) / 2;
        line = line.left(keep) + QChar(0x2026) + line.right(keep);
    }
    lines.append(line);
}

Notice LaunchSequencer::Failures::notice() const
{
    if (count == 1)
        return {lines.constFirst(), {}};
    Notice notice {QStringLiteral("%1 entries could not start").arg(count), lines};
    if (count > lines.size())
        notice.lines.append(QStringLiteral("and %1 more").arg(count - lines.size()));
    return notice;
}

void LaunchSequencer::tell(Failures &failures)
{
    const Failures told = std::exchange(failures, {});
    if (told.count > 0 && !Corvath::IsEnding())
        Q_EMIT notice(told.notice());
}

quint64 LaunchSequencer::runPass()
{
    Run &run = m_runs.emplace_back();
    const quint64 number = run.number = ++m_lastPass;
    run.count = m_list.size();
    // The first entry starts at once: a new connection's list starts without a turn's delay.
    step(std::prev(m_runs.end()));
    return number;
}

bool LaunchSequencer::isRunning(quint64 pass) const
{
    return std::any_of(m_runs.begin(), m_runs.end(),
                       [pass](const Run &run) { return run.number == pass; });
}

void LaunchSequencer::timerEvent(QTimerEvent *event)
{
    for (auto run = m_runs.begin(); run != m_runs.end(); ++run) {
        if (run->timer != event->timerId())
            continue;
        step(run);
        return;
    }
    QObject::timerEvent(event);
}

void LaunchSequencer::step(std::list<Run>::iterator run)
{
    if (Corvath::IsEnding()) {
        // Nothing more starts, and nothing is told or latched for what was left undone.
        drop(run);
        return;
    }
    if (run->paused.isValid() && secondsSince(run->paused) < run->pause) {
        wait(*run); // a pause longer than a timer's reach
        return;
    }
    QElapsedTimer turn;
    turn.start();
    while (run->next < run->count) {
        const QString entry = m_list.value(run->next++);
        if (entry.isEmpty())
            continue;
        startEntry(entry);
        // The last entry gets its pause too, on purpose: a pass lasts k intervals.
        const double seconds = m_timing(Interval::setting.get());
        run->pause = seconds > 0 && std::isfinite(seconds) ? seconds : 0;
        run->paused.start();
        // At interval 0 the next entry follows in the same turn for a tenth of a millisecond:
        // a turn of the event loop for each would cost a long pass a third more, and the menu
        // and "Exit" still answer between two turns.
        if (run->pause == 0 && turn.nsecsElapsed() < 100'000)
            continue;
        wait(*run);
        return;
    }
    ended(run);
}

void LaunchSequencer::startEntry(const QString &entry)
{
    if (const StartResult started = m_starter.start(entry); !started)
        m_pass.failures.add(entry, started.reason());
    else if (started.pending != 0)
        m_pass.pending.insert(started.pending);
}

void LaunchSequencer::wait(Run &run)
{
    using namespace std::chrono;
    // Wakes at least once a day, to re-arm within the timer's reach. No pause still gives the
    // events waiting a turn, so that the menu and "Exit" answer during a pass at interval 0.
    constexpr double longestStep = 24 * 60 * 60;
    const double left = std::min(run.pause - secondsSince(run.paused), longestStep);
    const auto step = left > 0 ? ceil<milliseconds>(duration<double>(left)) : milliseconds(0);
    // A pass at interval 0 keeps one timer firing at every turn instead of one a step.
    if (run.timer != 0 && step == milliseconds(0) && run.everyTurn)
        return;
    if (run.timer != 0)
        killTimer(run.timer);
    run.timer = startTimer(step, Qt::PreciseTimer);
    run.everyTurn = step == milliseconds(0);
}

void LaunchSequencer::drop(std::list<Run>::iterator run)
{
    if (run->timer != 0)
        killTimer(run->timer);
    m_runs.erase(run);
}

void LaunchSequencer::ended(std::list<Run>::iterator run)
{
    const quint64 number = run->number;
    drop(run);
    if (m_runs.empty()) {
        // One notice for the passes that ran together: one per pass would replace the other.
        tell(m_pass.failures);
        if (!m_pass.pending.isEmpty())
            m_ended.push_back({{}, std::move(m_pass.pending)});
        m_pass = {};
    }
    Q_EMIT passEnded(number);
}
